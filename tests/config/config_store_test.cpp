// The store's plain functions: reading a file's bytes, merging them into the working document,
// the file's exact text, replacing the file whole, and the autorun entry.
#include "config/autorun.h"
#include "config/config_document.h"
#include "config/config_file.h"
#include "config/config_text.h"
#include "config/file_replacement.h"
#include "config/profile_fields.h"
#include "platform/registry.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <climits>
#include <cstdio>
#include <string>

using nlohmann::json;

namespace {

json merged(const std::string &text)
{
    json working = initialConfig();
    const auto loaded = parseConfigText(text);
    EXPECT_TRUE(loaded) << text;
    if (loaded)
        mergeLoadedConfig(working, *loaded);
    return working;
}

} // namespace

TEST(ConfigText, ReadsOneValueSkipsAMarkAndRefusesCommentsBadTextAndDeepNesting)
{
    EXPECT_EQ(*parseConfigText("{\"a\": 1} trailing {"), json({{"a", 1}}));
    EXPECT_EQ(*parseConfigText("\xEF\xBB\xBF{\"a\": 2}"), json({{"a", 2}}));
    for (const std::string bad : {"", "   ", "// c\n{}", "{\"a\": 1 /* c */}", "{\"a\": \"\xC3\x28\"}", "\xFF\xFE", "{\"a\":"})
        EXPECT_FALSE(parseConfigText(bad)) << bad;

    const std::string nested = std::string(kMaxConfigNesting, '[') + std::string(kMaxConfigNesting, ']');
    EXPECT_TRUE(parseConfigText(nested));
    EXPECT_FALSE(parseConfigText("[" + nested + "]"));
    EXPECT_FALSE(parseConfigText(std::string(100000, '[') + std::string(100000, ']')));
    // Brackets inside strings, escaped quotes included, are no nesting.
    EXPECT_TRUE(parseConfigText("{\"k\": \"\\\"" + std::string(1000, '[') + "\"}"));
}

TEST(ConfigText, DisplayPacedIsKeptOnlyWhenItIsTrue)
{
    EXPECT_EQ(merged(R"({"displayPaced": true})")["displayPaced"], true);
    for (const char *other : {"false", "1", "\"true\"", "null", "[true]", "{}"}) {
        const json document = merged(std::string(R"({"displayPaced": )") + other + "}");
        EXPECT_FALSE(document.contains("displayPaced")) << other;
        EXPECT_EQ(document, initialConfig()) << other;
    }
    // A document that had it loses it when the file has it off.
    json working = initialConfig();
    setDisplayPaced(working, true);
    mergeLoadedConfig(working, json::object());
    EXPECT_FALSE(displayPacedIn(working));
    EXPECT_FALSE(displayPacedIn(json::array({true})));
    EXPECT_EQ(defaultConfigText().size(), 623u);
}

TEST(ConfigText, MergingMigratesTheOlderLayoutAndKeepsTheDocumentWhole)
{
    // Older layout: one set directly under parameters, overlaid on the defaults.
    json older = merged(R"({"parameters": {"accelUp": 7, "legacy": 1}, "top": 3})");
    json expected = initialConfig();
    expected["parameters"]["default"]["accelUp"] = 7;
    expected["parameters"]["default"]["legacy"] = 1;
    EXPECT_EQ(older, expected);

    json profiles = merged(R"({"autorunEnabled": true, "parameters": {"app.exe": {"accelUp": 2}}})");
    EXPECT_EQ(profiles["autorunEnabled"], true);
    EXPECT_EQ(profiles["parameters"]["app.exe"], json({{"accelUp", 2}}));
    EXPECT_EQ(profiles["parameters"]["default"], defaultParameters());

    // Wrong types never take the document's shape away.
    for (const char *text : {"[1]", "3", R"({"parameters": [1]})", R"({"parameters": "x", "autorunEnabled": "yes"})",
                             R"({"autorunEnabled": 1})"})
        EXPECT_EQ(merged(text), initialConfig()) << text;
}

TEST(ConfigText, FileTextIsTheExactLayoutForFreshNonAsciiAndControlCharacterKeys)
{
    // The fresh document's bytes are checked through the window's own save.
    EXPECT_EQ(json::parse(configFileText(initialConfig())), initialConfig());

    json document = json::object();
    document["autorunEnabled"] = true;
    document["parameters"] = json::object();
    document["parameters"]["记事本.exe"] = json::object();
    document["parameters"]["a\"\\\b\f\n\r\t\x01\x1f/.exe"] = json::array();
    document["parameters"]["Zeta.exe"] = {{"x", 1.5}};
    EXPECT_EQ(configFileText(document),
              "{\n"
              "    \"autorunEnabled\": true,\n"
              "    \"parameters\": {\n"
              "        \"Zeta.exe\": {\n"
              "            \"x\": 1.5\n"
              "        },\n"
              "        \"a\\\"\\\\\\b\\f\\n\\r\\t\\u0001\\u001f/.exe\": [],\n"
              "        \"记事本.exe\": {}\n"
              "    }\n"
              "}\n");
}

TEST(ProfileFields, ShowableValuesBoundNumbersAndFallBackOnEverythingElse)
{
    const json set = json::parse(R"({"i": 12, "f": -3.9, "big": 1e300, "small": -1e300, "u": 18446744073709551615,
                                     "t": true, "s": "9", "n": null, "a": [1], "o": {}})");
    EXPECT_EQ(showableInteger(set, "i", 0), 12);
    EXPECT_EQ(showableInteger(set, "f", 0), -3);
    EXPECT_EQ(showableInteger(set, "big", 0), INT_MAX);
    EXPECT_EQ(showableInteger(set, "small", 0), INT_MIN);
    EXPECT_EQ(showableInteger(set, "u", 0), INT_MAX);
    EXPECT_EQ(showableInteger(set, "t", 0), 1);
    for (const char *key : {"s", "n", "a", "o", "missing"})
        EXPECT_EQ(showableInteger(set, key, 77), 77) << key;
    EXPECT_EQ(showableInteger(json::array(), "i", 5), 5);
    EXPECT_TRUE(showableFlag(set, "t", false));
    EXPECT_TRUE(showableFlag(set, "i", true));
    EXPECT_FALSE(showableFlag(set, "i", false));

    EXPECT_TRUE(isApplicationEntry("Code.exe"));
    EXPECT_FALSE(isApplicationEntry("默认"));
    EXPECT_FALSE(isApplicationEntry("+"));
    EXPECT_EQ(profileNameOfText("默认"), QString("default"));
    EXPECT_EQ(profileDisplayText("default"), QString("默认"));
    EXPECT_EQ(profileToSave("+"), QString());
    EXPECT_EQ(profileToSave(""), QString());
    EXPECT_EQ(profileToSave("默认"), QString("default"));
    EXPECT_EQ(profileToSave("Code.exe"), QString("Code.exe"));
}

TEST(ConfigFile, ReplacesTheFileWholeOrLeavesTheOldOne)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("config.json");
    ASSERT_TRUE(writeConfigFile(path, "{\n}\n"));
    EXPECT_EQ(*readConfigFile(path), QByteArray("{\n}\n")); // no CR on this platform
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList({"config.json"})) << "a temporary file was left";

    // A folder that cannot be written: the save fails and the old document stays whole.
    QFile::setPermissions(dir.path(), QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    if (!QFileInfo(dir.filePath("probe")).isWritable() && !QFile(dir.filePath("probe")).open(QIODevice::WriteOnly)) {
        EXPECT_FALSE(writeConfigFile(path, "new"));
        EXPECT_EQ(*readConfigFile(path), QByteArray("{\n}\n"));
    }
    QFile::setPermissions(dir.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);

    // config.json as a folder: neither read nor written, nothing thrown.
    const QString folder = dir.filePath("sub/config.json");
    QDir().mkpath(folder);
    EXPECT_FALSE(readConfigFile(folder));
    EXPECT_FALSE(writeConfigFile(folder, "x"));
    EXPECT_FALSE(readConfigFile(dir.filePath("missing.json")));

    // What killed saves left is removed at a start; files that only look alike stay.
    QTemporaryDir saves;
    for (const char *name : {"config.json.Ab12Cd", "config.json.00zz99", "config.json.bak",
                             "config.json.Ab12Cde", "other.json.Ab12Cd"})
        QFile(saves.filePath(name)).open(QIODevice::WriteOnly);
    EXPECT_EQ(removeLeftoverSaves(saves.filePath("config.json")), 2);
    EXPECT_EQ(QDir(saves.path()).entryList(QDir::Files),
              QStringList({"config.json.Ab12Cde", "config.json.bak", "other.json.Ab12Cd"}));
}

TEST(ConfigFile, AReplacementRefusedByALockIsRetriedForAboutASecond)
{
    EXPECT_EQ(classifyReplaceError(32), ReplaceFailure::Locked); // sharing violation
    EXPECT_EQ(classifyReplaceError(5), ReplaceFailure::Locked);  // access denied
    EXPECT_EQ(classifyReplaceError(3), ReplaceFailure::Other);   // path not found
    EXPECT_TRUE(shouldRetryReplace(ReplaceFailure::Locked, 900));
    EXPECT_FALSE(shouldRetryReplace(ReplaceFailure::Locked, 1000));
    EXPECT_FALSE(shouldRetryReplace(ReplaceFailure::Other, 0));

    QTemporaryDir dir;
    const QString path = dir.filePath("config.json");
    ASSERT_TRUE(writeConfigFile(path, "old\n"));
    int tries = 0;
    ReplaceFailure refusal = ReplaceFailure::Locked;
    int refusals = 3;
    setReplaceStep([&](const QString &from, const QString &to) {
        // Windows renames no file that is still open, not even by this process.
        for (const QFileInfo &descriptor : QDir("/proc/self/fd").entryInfoList(QDir::System))
            EXPECT_NE(descriptor.symLinkTarget(), QFileInfo(from).absoluteFilePath()) << "the temporary file is still open";
        if (++tries <= refusals)
            return refusal;
        return std::rename(QFile::encodeName(from), QFile::encodeName(to)) == 0 ? ReplaceFailure::None
                                                                               : ReplaceFailure::Other;
    });
    const auto only = [&](const QByteArray &content) {
        return *readConfigFile(path) == content && QDir(dir.path()).entryList(QDir::Files) == QStringList({"config.json"});
    };

    EXPECT_TRUE(writeConfigFile(path, "new\n"));
    EXPECT_EQ(tries, 4);
    EXPECT_TRUE(only("new\n"));

    // Held for longer than the wait: the save fails, the old file stays, nothing is left over.
    tries = 0;
    refusals = 1000;
    EXPECT_FALSE(writeConfigFile(path, "lost\n"));
    EXPECT_GT(tries, 10);
    EXPECT_TRUE(only("new\n"));

    tries = 0;
    refusal = ReplaceFailure::Other;
    EXPECT_FALSE(writeConfigFile(path, "lost\n"));
    EXPECT_EQ(tries, 1);
    EXPECT_TRUE(only("new\n"));
    setReplaceStep({});
}

TEST(Autorun, WritesBothKeysComparesOnlyTheFirstAndRemovesBoth)
{
    const QString name = QString::fromLatin1(kAutorunValueName);
    const QString command = autorunCommandText(QDir::toNativeSeparators(QCoreApplication::applicationFilePath()));
    EXPECT_TRUE(command.startsWith('"') && command.endsWith("\" -startup"));
    EXPECT_EQ(autorunCommandText("C:\\A B\\Sorvella.exe"), QString("\"C:\\A B\\Sorvella.exe\" -startup"));
    auto valueIn = [&](const char *key) { return openRegistryKey(QString::fromLatin1(key))->value(name).toString(); };

    EXPECT_FALSE(applyAutorun(false)); // nothing there: no error
    EXPECT_TRUE(applyAutorun(true));
    EXPECT_EQ(valueIn(kRunKey), command);
    EXPECT_EQ(valueIn(kRunKeyWow64), command);

    // Only the first key is compared: a spoilt twin stays until the first key needs writing.
    openRegistryKey(QString::fromLatin1(kRunKeyWow64))->setValue(name, "old");
    EXPECT_FALSE(applyAutorun(true));
    EXPECT_EQ(valueIn(kRunKeyWow64), QString("old"));
    openRegistryKey(QString::fromLatin1(kRunKey))->setValue(name, "\"C:\\moved\\Sorvella.exe\" -startup");
    EXPECT_TRUE(applyAutorun(true));
    EXPECT_EQ(valueIn(kRunKey), command);
    EXPECT_EQ(valueIn(kRunKeyWow64), command);

    EXPECT_FALSE(applyAutorun(false));
    EXPECT_TRUE(valueIn(kRunKey).isEmpty());
    EXPECT_TRUE(valueIn(kRunKeyWow64).isEmpty());
}
