#include "config/config_text.h"

#include "config/config_document.h"

#include <sstream>
#include <string>

bool nestingDeeperThan(std::string_view text, std::size_t limit)
{
    std::size_t depth = 0;
    bool inString = false;
    bool escaped = false;
    for (const char c : text) {
        if (inString) {
            if (escaped)
                escaped = false;
            else if (c == '\\')
                escaped = true;
            else if (c == '"')
                inString = false;
            continue;
        }
        switch (c) {
        case '"':
            inString = true;
            break;
        case '[':
        case '{':
            if (++depth > limit)
                return true;
            break;
        case ']':
        case '}':
            if (depth > 0)
                --depth;
            break;
        default:
            break;
        }
    }
    return false;
}

std::optional<nlohmann::json> parseConfigText(std::string_view text)
{
    if (nestingDeeperThan(text, kMaxConfigNesting))
        return std::nullopt;
    try {
        // The stream operator reads one value and leaves the rest of the text unread.
        std::istringstream stream{std::string(text)};
        nlohmann::json value;
        stream >> value;
        return value;
    } catch (...) {
        return std::nullopt;
    }
}

void mergeLoadedConfig(nlohmann::json &working, const nlohmann::json &loaded)
{
    const bool isObject = loaded.is_object();
    if (isObject) {
        const auto parameters = loaded.find("parameters");
        if (parameters != loaded.end() && parameters->is_object()) {
            if (parameters->contains("accelUp")) {
                nlohmann::json set = defaultParameters();
                set.update(*parameters);
                working["parameters"][kDefaultProfileName] = std::move(set);
            } else {
                working["parameters"] = *parameters;
                if (!working["parameters"].contains(kDefaultProfileName))
                    working["parameters"][kDefaultProfileName] = defaultParameters();
            }
        }
    }
    bool autorun = false;
    if (isObject) {
        const auto flag = loaded.find("autorunEnabled");
        if (flag != loaded.end() && flag->is_boolean())
            autorun = flag->get<bool>();
    }
    working["autorunEnabled"] = autorun;
    // Anything but JSON true is off, and dropped at the next save.
    setDisplayPaced(working, displayPacedIn(loaded));
}

std::string configFileText(const nlohmann::json &document)
{
    // Replacing (never throwing on) invalid UTF-8 keeps a save from failing over one bad key;
    // keys that come from the file or the file system are valid UTF-8 already.
    return document.dump(4, ' ', false, nlohmann::json::error_handler_t::replace) + '\n';
}
