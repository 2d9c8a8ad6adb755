// From the window under the cursor to its process's file name and its parameter set.
#include "engine_test_support.h"

#include "config/config_document.h"

namespace {

using S = SmoothScroller;
using nlohmann::json;

class ParamResolution : public EngineTest {};

TEST_F(ParamResolution, FileNameIsTheLastComponentOfTheImagePath)
{
    const HWND app = addApp(L"C:\\Program Files\\Deep\\Er\\App.Viewer.EXE");
    EXPECT_EQ(S::processFileNameOfWindow(app), L"App.Viewer.EXE");
    EXPECT_EQ(sim().lastOpenProcessAccess(), DWORD{PROCESS_QUERY_LIMITED_INFORMATION});
    EXPECT_EQ(sim().lastOpenProcessInherit(), FALSE);
    EXPECT_EQ(sim().openHandleCount(), 0);
    EXPECT_EQ(sim().openedHandleTotal(), 1);

    const HWND bare = sim().addWindow(sim().addProcess(L"bare.exe"), {0, 0, 10, 10});
    EXPECT_EQ(S::processFileNameOfWindow(bare), L"bare.exe");

    // A 300-character path, longer than MAX_PATH, still gives its file name.
    const std::wstring deep = L"C:\\" + std::wstring(283, L'd') + L"\\Long.Name.exe";
    ASSERT_EQ(deep.size(), 300u);
    EXPECT_EQ(S::processFileNameOfWindow(addApp(deep)), L"Long.Name.exe");
    EXPECT_EQ(sim().openHandleCount(), 0);
}

TEST_F(ParamResolution, UndeterminableNamesAreEmptyAndEveryHandleIsClosed)
{
    EXPECT_EQ(S::processFileNameOfWindow(nullptr), L"");
    EXPECT_EQ(S::processFileNameOfWindow(reinterpret_cast<HWND>(0xDEADBEEF)), L"");
    const HWND orphan = sim().addWindow(0, {0, 0, 10, 10});
    EXPECT_EQ(S::processFileNameOfWindow(orphan), L"");

    const DWORD locked = sim().addProcess(L"C:\\Admin\\elevated.exe", false);
    EXPECT_EQ(S::processFileNameOfWindow(sim().addWindow(locked, {0, 0, 10, 10})), L"");
    EXPECT_EQ(sim().openedHandleTotal(), 0);

    const DWORD failing = sim().addProcess(L"C:\\x\\failing.exe");
    sim().setImageNameQueryError(failing, ERROR_GEN_FAILURE);
    EXPECT_EQ(S::processFileNameOfWindow(sim().addWindow(failing, {0, 0, 10, 10})), L"");
    EXPECT_EQ(sim().openedHandleTotal(), 1);
    EXPECT_EQ(sim().openHandleCount(), 0);
    EXPECT_EQ(sim().badCloseCount(), 0);
}

TEST_F(ParamResolution, SetIsChosenByExactNameWithLetterCase)
{
    json snapshot = initialConfig();
    snapshot["parameters"]["app.exe"] = defaultParameters();
    snapshot["parameters"]["app.exe"]["accelUp"] = 3;

    const json *chosen = S::resolveParamSet(L"app.exe", snapshot);
    EXPECT_EQ(S::s_currentParamSet, "app.exe");
    ASSERT_NE(chosen, nullptr);
    EXPECT_EQ(chosen, &snapshot["parameters"]["app.exe"]);

    EXPECT_EQ(S::resolveParamSet(L"App.exe", snapshot), &snapshot["parameters"]["default"]);
    EXPECT_EQ(S::s_currentParamSet, "default");
    EXPECT_EQ(S::resolveParamSet(L"default", snapshot), &snapshot["parameters"]["default"]);
    EXPECT_EQ(S::resolveParamSet(L"", snapshot), &snapshot["parameters"]["default"]);
    EXPECT_EQ(logLines("process name"),
              (std::vector<std::string>{"process name ->  app.exe", "process name ->  App.exe",
                                        "process name ->  default", "process name ->  "}));
}

TEST_F(ParamResolution, NonAsciiNamesMatchByTheirUtf8Bytes)
{
    const std::string utf8 = "B\xC3\xBC" "cher \xE6\xB5\x8F\xE8\xA7\x88.exe"; // Bücher 浏览.exe
    set(utf8)["accelUp"] = 2;
    addApp(L"C:\\Apps\\B\u00FCcher \u6D4F\u89C8.exe");
    EXPECT_TRUE(wheel(120).swallowed());
    EXPECT_EQ(S::s_currentParamSet, utf8);
    EXPECT_EQ(S::s_vertical.targetPos, 240);
}

TEST_F(ParamResolution, HookChoosesTheApplicationsOwnSet)
{
    set("app.exe")["accelUp"] = 2;
    set("App.exe")["accelUp"] = 5;
    addApp(L"C:\\one\\app.exe");
    wheel(120);
    EXPECT_EQ(S::s_vertical.targetPos, 240);

    S::s_vertical.isAnimating = false;
    addApp(L"C:\\two\\APP.exe");
    wheel(120);
    EXPECT_EQ(S::s_currentParamSet, "default");
    EXPECT_EQ(S::s_vertical.targetPos, 1200);
}

TEST_F(ParamResolution, ProcessThatCannotBeOpenedGetsTheDefaultSet)
{
    set("locked.exe")["accelUp"] = 1;
    sim().addWindow(sim().addProcess(L"C:\\locked.exe", false), {0, 0, 1000, 800});
    EXPECT_TRUE(wheel(120).swallowed());
    EXPECT_EQ(S::s_currentParamSet, "default");
    EXPECT_EQ(S::s_vertical.targetPos, 1200);
    EXPECT_TRUE(logged("process name ->  "));
}

TEST_F(ParamResolution, HookNeverChangesThePublishedDocument)
{
    addApp();
    // A set that lacks keys the hook reads: the notch passes on and nothing is filled in.
    config()["parameters"]["app.exe"] = json{{"accelUp", 4}};
    const json before = config();
    EXPECT_TRUE(wheel(120).passedOn());
    EXPECT_EQ(S::s_currentParamSet, "app.exe");
    EXPECT_EQ(sharedConfig(), before);

    config()["parameters"].erase("app.exe");
    const json healthy = config();
    EXPECT_TRUE(wheel(120).swallowed());
    runAnimation();
    EXPECT_EQ(sharedConfig(), healthy);
}

} // namespace
