// The profile store alone: what it shows of a profile, what it collects back, adding and
// removing profiles, the list's entries, and loading and saving config.json with autorun.
#include "config/autorun.h"
#include "config/config_document.h"
#include "config/config_file.h"
#include "config/param_reading.h"
#include "config/profile_store.h"
#include "platform/registry.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <climits>

using nlohmann::json;

namespace {

class ProfileStoreTest : public ::testing::Test {
protected:
    void SetUp() override { setConfigDirectory(m_folder.path()); }
    void TearDown() override { setConfigDirectory(QString()); }

    void writeFile(const QByteArray &bytes)
    {
        QFile file(configFilePath());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(bytes);
    }

    static QString runValue()
    {
        return openRegistryKey(QString::fromLatin1(kRunKey))->value(kAutorunValueName).toString();
    }

    QTemporaryDir m_folder;
};

} // namespace

TEST_F(ProfileStoreTest, ShowsEachKeyOrItsFallbackAndCollectsExactlyTheTenKeys)
{
    writeFile(R"({"autorunEnabled": true, "parameters": {"app.exe": {
        "accelUp": "fast", "accelDown": 1e300, "rapidIntervalUp": true, "rapidIntervalDown": null,
        "accelDurationEnd": 7.9, "scrollDistanceUp": [1], "scrollDistanceDown": -5e20,
        "scrollDirectionNormal": 0, "smoothScrollEnabled": false, "older": 1}}})");
    ProfileStore store;
    ASSERT_TRUE(store.load());
    EXPECT_TRUE(store.autorunEnabled());
    EXPECT_FALSE(store.valuesOf("missing.exe"));
    EXPECT_FALSE(store.valuesOf("默认")) << "entry texts are not profile names";

    const ProfileValues shown = *store.valuesOf("app.exe");
    const std::array<std::int32_t, 8> expected = {10, INT_MAX, 1, 5, 200, 7, 4, INT_MIN};
    EXPECT_EQ(shown.integers, expected);
    EXPECT_TRUE(shown.scrollDirectionNormal);
    EXPECT_FALSE(shown.smoothScrollEnabled);
    EXPECT_EQ(store.valuesOf("default")->integers, (std::array<std::int32_t, 8>{10, 10, 5, 5, 100, 100, 4, 4}))
        << "default was added with the defaults";

    store.collect("app.exe", shown, false);
    const json &collected = store.document()["parameters"]["app.exe"];
    EXPECT_EQ(collected.size(), 10u);
    EXPECT_FALSE(collected.contains("older"));
    EXPECT_EQ(collected["accelDurationStart"], 200);
    EXPECT_EQ(collected["scrollDistanceDown"], INT_MIN);
    EXPECT_EQ(collected["scrollDirectionNormal"], true);
    EXPECT_FALSE(store.autorunEnabled());

    const json before = store.document();
    store.collect("", shown, true);
    EXPECT_EQ(store.document(), before);
}

TEST_F(ProfileStoreTest, AFastSpinMaximumOutsideOneToTenIsOffAndOffIsNotStored)
{
    const std::pair<json, std::int32_t> kRead[] = {{"3", 1},  {0, 1},    {-2, 1}, {2.7, 2}, {1e12, 1},
                                                   {11, 1},   {10, 10},  {true, 1}, {nullptr, 1}, {3, 3}};
    for (const auto &[stored, expected] : kRead) {
        const json set = {{"fastSpinMax", stored}};
        EXPECT_EQ(showableValues(set).fastSpinMax, expected) << stored;
        EXPECT_EQ(readFastSpinMax(set), expected) << stored;
    }
    ProfileValues values;
    EXPECT_FALSE(parameterSetOf(values).contains("fastSpinMax")) << "off erases the member";
    values.fastSpinMax = 4;
    EXPECT_EQ(parameterSetOf(values)["fastSpinMax"], 4);
}

TEST_F(ProfileStoreTest, AddsCopiesOfDefaultRemovesAndListsEntriesInByteOrder)
{
    ProfileStore store;
    EXPECT_EQ(store.entries(), QStringList({"默认", "+"}));
    ProfileValues slow = *store.valuesOf("default");
    slow.integers[0] = 3;
    store.collect("default", slow, false);

    EXPECT_TRUE(store.add("notepad.exe"));
    EXPECT_TRUE(store.add("Code.exe"));
    EXPECT_TRUE(store.add("记事本.exe"));
    EXPECT_EQ(store.valuesOf("Code.exe")->integers[0], 3);
    slow.integers[0] = 9;
    store.collect("Code.exe", slow, false);
    EXPECT_FALSE(store.add("Code.exe"));
    EXPECT_EQ(store.valuesOf("Code.exe")->integers[0], 9) << "adding an existing profile changed it";
    EXPECT_EQ(store.entries(), QStringList({"默认", "Code.exe", "notepad.exe", "记事本.exe", "+"}));

    store.remove("notepad.exe");
    store.remove("never.exe");
    EXPECT_EQ(store.entries(), QStringList({"默认", "Code.exe", "记事本.exe", "+"}));
    EXPECT_TRUE(store.document()["parameters"].contains("\xE8\xAE\xB0\xE4\xBA\x8B\xE6\x9C\xAC.exe"));
}

TEST_F(ProfileStoreTest, SavesTheDocumentThenAppliesAutorunAndLoadsItBack)
{
    ProfileStore store;
    EXPECT_FALSE(store.load());
    EXPECT_EQ(store.document(), initialConfig());

    store.add("app.exe");
    store.setAutorunEnabled(true);
    ASSERT_TRUE(store.save());
    EXPECT_FALSE(runValue().isEmpty());
    EXPECT_TRUE(json::parse(readConfigFile(configFilePath())->toStdString())["parameters"].contains("app.exe"));

    QFile(configFilePath() + ".Ab12Cd").open(QIODevice::WriteOnly); // left by a killed save
    ProfileStore reloaded;
    ASSERT_TRUE(reloaded.load());
    EXPECT_EQ(reloaded.document(), store.document());
    EXPECT_FALSE(QFile::exists(configFilePath() + ".Ab12Cd"));

    // A folder where the file should be: no write, and autorun is left as it was.
    QFile::remove(configFilePath());
    QDir().mkpath(configFilePath());
    store.setAutorunEnabled(false);
    EXPECT_FALSE(store.save());
    EXPECT_FALSE(runValue().isEmpty());
    QDir().rmdir(configFilePath());
    EXPECT_TRUE(store.save());
    EXPECT_TRUE(runValue().isEmpty());
}
