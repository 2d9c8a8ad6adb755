// Any bytes as config.json: read, migrated into a working document, shown as the panel shows
// a profile, written through the file writer and read back. Nothing may throw or crash, and a
// loaded document must survive its own save unchanged.
#include "fuzz_check.h"

#include "config/config_document.h"
#include "config/config_file.h"
#include "config/config_text.h"
#include "config/profile_fields.h"

#include <QDir>
#include <QString>
#include <QTemporaryDir>
#include <QtGlobal>

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string_view>

namespace {

void quiet(QtMsgType, const QMessageLogContext &, const QString &) {}

// The working document a start would build from these bytes, or nothing when they are not
// readable (the start then keeps the defaults).
std::optional<nlohmann::json> loadedDocument(std::string_view bytes)
{
    const std::optional<nlohmann::json> parsed = parseConfigText(bytes);
    if (!parsed)
        return std::nullopt;
    nlohmann::json working = initialConfig();
    mergeLoadedConfig(working, *parsed);
    return working;
}

// What the panel does with a profile list and each profile.
void showEveryProfile(const nlohmann::json &working)
{
    showableFlag(working, "autorunEnabled", false);
    for (const auto &profile : working["parameters"].items()) {
        const QString name = QString::fromStdString(profile.key());
        profileToSave(profileDisplayText(name));
        showableValues(profile.value());
    }
}

const QString &scratchFile()
{
    static QTemporaryDir folder(QDir::tempPath() + QStringLiteral("/sorvella-config-fuzz-XXXXXX"));
    static const QString path = folder.filePath(QStringLiteral("config.json"));
    return path;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    static const bool installed = (qInstallMessageHandler(quiet), true);
    (void)installed;

    const std::optional<nlohmann::json> working =
        loadedDocument(std::string_view(reinterpret_cast<const char *>(data), size));
    if (!working)
        return 0;
    // The invariant every later part of the program leans on.
    FUZZ_CHECK(working->is_object() && (*working)["autorunEnabled"].is_boolean());
    FUZZ_CHECK((*working)["parameters"].is_object() && (*working)["parameters"].contains("default"));
    showEveryProfile(*working);

    const std::string text = configFileText(*working);
    FUZZ_CHECK(writeConfigFile(scratchFile(), text));
    const std::optional<QByteArray> written = readConfigFile(scratchFile());
    FUZZ_CHECK(written.has_value());
    const std::optional<nlohmann::json> reloaded =
        loadedDocument(std::string_view(written->constData(), std::size_t(written->size())));
    FUZZ_CHECK(reloaded.has_value());
    FUZZ_CHECK(*reloaded == *working);
    FUZZ_CHECK(configFileText(*reloaded) == text);
    return 0;
}
