// The configuration document: its built-in text, its defaults and the order of its members.
#include "config/config_document.h"
#include "config/parameter_keys.h"

#include <gtest/gtest.h>

#include <string>

using nlohmann::json;

namespace {

const char *const kTenKeysInOrder[] = {
    "accelDown",        "accelDurationEnd",   "accelDurationStart",    "accelUp",
    "rapidIntervalDown", "rapidIntervalUp",   "scrollDirectionNormal", "scrollDistanceDown",
    "scrollDistanceUp", "smoothScrollEnabled"};

TEST(ConfigDocument, BuiltInTextIsExactly623BytesEndingInALineBreakAndEightSpaces)
{
    const std::string_view text = defaultConfigText();
    EXPECT_EQ(text.size(), 623u);
    EXPECT_EQ(text.substr(0, 2), "{\n");
    const std::string_view tail = "\"smoothScrollEnabled\": true\n                  }\n"
                                  "                }\n            }\n        ";
    ASSERT_GT(text.size(), tail.size());
    EXPECT_EQ(text.substr(text.size() - tail.size()), tail);
    EXPECT_NE(text.find("\n                      \"accelDown\": 10,\n"), std::string_view::npos);
}

TEST(ConfigDocument, BuiltInTextParsesToAFreshlyBuiltDocument)
{
    const json parsed = json::parse(defaultConfigText());
    EXPECT_EQ(parsed, initialConfig());
    EXPECT_EQ(parsed.dump(4), initialConfig().dump(4));
    // The shared document starts as the built-in text; it is never read before here.
    EXPECT_EQ(sharedConfig(), parsed);
    EXPECT_EQ(&sharedConfig(), &sharedConfig());
}

TEST(ConfigDocument, BuiltInTextHoldsEachKeyOfTheTableWithItsDefault)
{
    const json set = json::parse(defaultConfigText())["parameters"][kDefaultProfileName];
    ASSERT_EQ(set.size(), kParameterKeys.size());
    for (const ParameterKey &key : kParameterKeys) {
        ASSERT_TRUE(set.contains(key.name)) << key.name;
        if (key.isFlag)
            EXPECT_EQ(set[key.name], json(key.defaultValue != 0)) << key.name;
        else
            EXPECT_EQ(set[key.name], json(key.defaultValue)) << key.name;
        EXPECT_EQ(key.isFlag, key.unit == nullptr) << key.name << ": only integer keys have a row";
    }
}

TEST(ConfigDocument, DefaultParametersHoldTheTenKeysWithTheirDefaults)
{
    const json set = defaultParameters();
    ASSERT_EQ(set.size(), 10u);
    size_t i = 0;
    for (const auto &item : set.items())
        EXPECT_EQ(item.key(), kTenKeysInOrder[i++]);
    EXPECT_EQ(set["accelUp"], 10);
    EXPECT_EQ(set["accelDown"], 10);
    EXPECT_EQ(set["rapidIntervalUp"], 5);
    EXPECT_EQ(set["rapidIntervalDown"], 5);
    EXPECT_EQ(set["accelDurationStart"], 100);
    EXPECT_EQ(set["accelDurationEnd"], 100);
    EXPECT_EQ(set["scrollDistanceUp"], 4);
    EXPECT_EQ(set["scrollDistanceDown"], 4);
    EXPECT_EQ(set["scrollDirectionNormal"], true);
    EXPECT_EQ(set["smoothScrollEnabled"], true);
    for (const auto &item : set.items()) {
        if (!item.value().is_boolean()) {
            EXPECT_TRUE(item.value().is_number_integer()) << item.key();
        }
    }
    // Each call hands out a new object.
    json changed = defaultParameters();
    changed["accelUp"] = 1;
    EXPECT_EQ(defaultParameters()["accelUp"], 10);
}

TEST(ConfigDocument, MembersFollowAscendingByteOrder)
{
    json doc = initialConfig();
    const std::string text = doc.dump(4);
    EXPECT_LT(text.find("\"autorunEnabled\""), text.find("\"parameters\""));
    EXPECT_EQ(doc["autorunEnabled"], false);

    // Upper case sorts before lower case, and UTF-8 names after every ASCII name.
    doc["parameters"]["zeta.exe"] = defaultParameters();
    doc["parameters"]["Alpha.exe"] = defaultParameters();
    doc["parameters"]["\xC3\xA9" "diteur.exe"] = defaultParameters(); // éditeur.exe
    std::vector<std::string> names;
    for (const auto &item : doc["parameters"].items())
        names.push_back(item.key());
    EXPECT_EQ(names, (std::vector<std::string>{"Alpha.exe", "default", "zeta.exe",
                                               "\xC3\xA9" "diteur.exe"}));
    const json reparsed = json::parse(doc.dump(4));
    EXPECT_TRUE(reparsed["parameters"].contains("\xC3\xA9" "diteur.exe"));
}

} // namespace
