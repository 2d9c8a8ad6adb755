#include "fuzz_documents.h"

#include "config/config_document.h"

#include <cstdint>
#include <iterator>
#include <limits>

namespace {

const char *const kSetKeys[] = {
    "accelUp", "accelDown", "rapidIntervalUp", "rapidIntervalDown", "accelDurationStart",
    "accelDurationEnd", "scrollDistanceUp", "scrollDistanceDown", "scrollDirectionNormal",
    "smoothScrollEnabled", "fastSpinMax",
};

nlohmann::json nested(ByteReader &in, std::uint32_t depth)
{
    nlohmann::json value = in.word();
    for (std::uint32_t i = 0; i < depth; ++i)
        value = (i & 1) ? nlohmann::json::array({std::move(value)}) : nlohmann::json{{"k", std::move(value)}};
    return value;
}

// A value for a member of a parameter set: mostly plausible, often not.
nlohmann::json fuzzedValue(ByteReader &in)
{
    switch (in.below(16)) {
    case 0: return static_cast<int>(in.byte()) - 8;
    case 1: return in.byte() % 101;
    case 2: return std::numeric_limits<std::int32_t>::max();
    case 3: return std::numeric_limits<std::int32_t>::min();
    case 4: return std::numeric_limits<std::uint64_t>::max();
    case 5: return std::numeric_limits<std::int64_t>::min();
    case 6: return static_cast<std::int32_t>(in.dword());
    case 7: return static_cast<double>(static_cast<std::int32_t>(in.dword())) / 7.0;
    case 8: return (in.flag() ? 1.0 : -1.0) * 1e300;
    case 9: return in.flag();
    case 10: return "10";
    case 11: return nullptr;
    case 12: return nlohmann::json::array({in.byte()});
    case 13: return nlohmann::json::object();
    case 14: return nested(in, in.below(300));
    default: return in.word() % 41;
    }
}

nlohmann::json fuzzedSet(ByteReader &in)
{
    nlohmann::json set = defaultParameters();
    const std::uint32_t changes = in.below(6);
    for (std::uint32_t i = 0; i < changes; ++i) {
        const char *key = kSetKeys[in.below(std::uint32_t(std::size(kSetKeys)))];
        if (in.below(8) == 0)
            set.erase(key);
        else
            set[key] = fuzzedValue(in);
    }
    return set;
}

nlohmann::json notAnObject(ByteReader &in)
{
    switch (in.below(4)) {
    case 0: return nlohmann::json::array();
    case 1: return nullptr;
    case 2: return "default";
    default: return nested(in, in.below(300));
    }
}

// The initial document with 2000 more profiles: mostly sets that are not objects or are
// empty, which the engine must read as its fallbacks; full sets are few, since copying
// thousands of them would slow every input down.
nlohmann::json manyProfiles()
{
    nlohmann::json document = initialConfig();
    nlohmann::json &parameters = document["parameters"];
    for (int i = 0; i < 2000; ++i) {
        nlohmann::json &set = parameters["p" + std::to_string(i) + ".exe"];
        switch (i % 4) {
        case 0: set = i % 200 == 0 ? defaultParameters() : nlohmann::json::object(); break;
        case 1: set = nullptr; break;
        case 2: set = i; break;
        default: set = "x"; break;
        }
    }
    return document;
}

} // namespace

nlohmann::json fuzzedDocument(ByteReader &in, const std::vector<std::string> &profileNames)
{
    nlohmann::json document = initialConfig();
    nlohmann::json &parameters = document["parameters"];
    // Thousands of profiles make every later wheel event slow: one input in 32 has them.
    switch (in.below(32)) {
    case 0:
        break;
    case 1:
        parameters["default"] = fuzzedSet(in);
        break;
    case 2:
        if (!profileNames.empty())
            parameters[profileNames[in.below(std::uint32_t(profileNames.size()))]] = fuzzedSet(in);
        break;
    case 3: {
        // Thousands of profiles, one of them perhaps a process of the desktop. The document
        // is built once and copied whole, which costs no key comparisons.
        static const nlohmann::json many = manyProfiles();
        document = many;
        if (!profileNames.empty())
            document["parameters"][profileNames[in.below(std::uint32_t(profileNames.size()))]] = fuzzedSet(in);
        break;
    }
    case 4:
        parameters["default"] = notAnObject(in);
        break;
    case 5:
        if (in.flag())
            parameters.erase("default");
        else
            document["parameters"] = notAnObject(in);
        break;
    case 6:
        return notAnObject(in);
    case 7:
        break;
    default:
        for (const std::string &name : profileNames) {
            if (in.flag())
                parameters[name] = fuzzedSet(in);
        }
        break;
    }
    // Glides paced by the display now and then, and the switch of any JSON type.
    switch (in.below(4)) {
    case 0: document["displayPaced"] = true; break;
    case 1: document["displayPaced"] = fuzzedValue(in); break;
    default: break;
    }
    return document;
}
