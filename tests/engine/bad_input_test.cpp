// Nothing the engine is handed may crash it, make it throw or change the shared document:
// odd documents, odd hook events, odd handles.
#include "engine_test_support.h"

#include "config/config_document.h"
#include "engine/animation_math.h"

#include <cmath>
#include <limits>
#include <random>

namespace {

using S = SmoothScroller;
using nlohmann::json;

class BadInput : public EngineTest {};

std::vector<json> oddDocuments()
{
    std::vector<json> docs = {json(), json::array({1, 2}), json("text"), json(3.5),
                              json::object(), json{{"parameters", nullptr}},
                              json{{"parameters", json::array()}},
                              json{{"parameters", {{"default", 7}}}},
                              json{{"parameters", {{"default", json::array()}}}},
                              json{{"parameters", {{"app.exe", defaultParameters()}}}}};
    const std::vector<json> oddValues = {nullptr, "10", true, json::array(), json::object(),
                                         -1, -2147483649LL, 1e300, -1e300, 0.5,
                                         18446744073709551615ULL};
    const json defaults = defaultParameters();
    for (const auto &item : defaults.items()) {
        const std::string key = item.key();
        for (const json &odd : oddValues) {
            json doc = initialConfig();
            doc["parameters"]["default"][key] = odd;
            docs.push_back(doc);
        }
        json lacking = initialConfig();
        lacking["parameters"]["default"].erase(key);
        docs.push_back(lacking);
    }
    return docs;
}

TEST_F(BadInput, AnyDocumentLeavesTheEngineWorkingAndTheDocumentUnchanged)
{
    addApp();
    for (const json &doc : oddDocuments()) {
        config() = doc;
        for (short delta : {120, -120, -32760, 32760}) {
            EXPECT_NO_THROW(wheel(delta)) << doc.dump();
            EXPECT_NO_THROW(tilt(static_cast<short>(-delta))) << doc.dump();
            EXPECT_NO_THROW(runAnimation(4000)) << doc.dump();
            EXPECT_FALSE(timerRunning()) << doc.dump();
            EXPECT_EQ(sharedConfig(), doc);
        }
        // A tick that finds this document under an animation begun with a sound one.
        config() = initialConfig();
        wheel(120);
        tilt(-120);
        config() = doc;
        EXPECT_LE(runAnimation(1000), 999) << doc.dump();
        EXPECT_EQ(sharedConfig(), doc);
        S::stopAnimation(WheelAxis::Vertical);
        S::stopAnimation(WheelAxis::Horizontal);
    }
}

TEST_F(BadInput, AnyHookEventIsAnsweredWithoutFailing)
{
    addApp();
    std::mt19937 random(20261208);
    std::uniform_int_distribution<int> anyInt(std::numeric_limits<int>::min(),
                                              std::numeric_limits<int>::max());
    std::uniform_int_distribution<int> anyMessage(0, 0x0400);
    for (int i = 0; i < 3000; ++i) {
        const int nCode = i % 4 == 0 ? anyInt(random) : HC_ACTION;
        const UINT message = i % 3 == 0 ? (i % 2 ? UINT{WM_MOUSEWHEEL} : UINT{WM_MOUSEHWHEEL})
                                        : static_cast<UINT>(anyMessage(random));
        const POINT pt{anyInt(random), anyInt(random)};
        sim().injectMouse(message, pt, static_cast<DWORD>(anyInt(random)), nCode);
        if (i % 50 == 0)
            sim().runTimers(5);
    }
    // A wheel message without its event record is passed on.
    EXPECT_EQ(S::LLMouseProc(HC_ACTION, WM_MOUSEWHEEL, 0), 0);
    EXPECT_EQ(S::LLMouseProc(HC_ACTION, WM_MOUSEHWHEEL, 0), 0);
    sim().runTimers(100000);
    EXPECT_FALSE(timerRunning());
    EXPECT_EQ(sharedConfig(), initialConfig());
}

TEST_F(BadInput, ExtremeMultipliersNeverWrapTheTargetAndStillArrive)
{
    set()["accelUp"] = 2147483647;
    set()["accelDown"] = 2147483647;
    addApp();
    // The largest whole notches a delta holds (273 of them); any other delta is fine input.
    EXPECT_TRUE(wheel(32760).swallowed());
    EXPECT_EQ(S::s_vertical.targetPos, kLargestTarget);
    EXPECT_TRUE(wheel(120).swallowed());
    EXPECT_EQ(S::s_vertical.targetPos, kLargestTarget);
    // 32-bit floats count this far only to within a few units, yet the animation arrives
    // having posted exactly its target.
    EXPECT_LT(runAnimation(), 1000);
    EXPECT_EQ(postedSum(), kLargestTarget);

    // Both ways, on either axis.
    for (UINT message : {WM_MOUSEWHEEL, WM_MOUSEHWHEEL}) {
        sim().clearPosted();
        EXPECT_TRUE(sim().injectWheel(-32760, kCursor, message).swallowed());
        EXPECT_LT(runAnimation(), 1000);
        EXPECT_EQ(postedSum(message), -kLargestTarget);
        for (int delta : postedDeltas())
            EXPECT_LT(delta, 0);
    }
    sim().clearPosted();
    EXPECT_TRUE(tilt(32760).swallowed());
    EXPECT_EQ(S::s_horizontal.targetPos, kLargestTarget);
    EXPECT_LT(runAnimation(), 1000);
    EXPECT_EQ(postedSum(WM_MOUSEHWHEEL), kLargestTarget);
}

} // namespace
