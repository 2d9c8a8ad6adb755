#include "config/param_reading.h"

#include "config/config_document.h"

#include <cmath>
#include <limits>

namespace {

constexpr std::uint64_t kFallbackPercent = 4;

const nlohmann::json *member(const nlohmann::json &object, const char *key)
{
    if (!object.is_object())
        return nullptr;
    const auto it = object.find(key);
    return it == object.end() ? nullptr : &*it;
}

} // namespace

std::optional<bool> readFlag(const nlohmann::json &set, const char *key)
{
    const nlohmann::json *value = member(set, key);
    if (!value || !value->is_boolean())
        return std::nullopt;
    return value->get<bool>();
}

std::optional<std::int32_t> readSigned32(const nlohmann::json &set, const char *key)
{
    constexpr std::int32_t kMin = std::numeric_limits<std::int32_t>::min();
    constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();
    const nlohmann::json *value = member(set, key);
    if (!value)
        return std::nullopt;
    if (value->is_number_unsigned()) {
        const auto v = value->get<std::uint64_t>();
        return v > static_cast<std::uint64_t>(kMax) ? kMax : static_cast<std::int32_t>(v);
    }
    if (value->is_number_integer()) {
        const auto v = value->get<std::int64_t>();
        return v < kMin ? kMin : (v > kMax ? kMax : static_cast<std::int32_t>(v));
    }
    if (value->is_number_float()) {
        const double v = std::trunc(value->get<double>());
        if (std::isnan(v))
            return std::nullopt;
        return v <= kMin ? kMin : (v >= kMax ? kMax : static_cast<std::int32_t>(v));
    }
    return std::nullopt;
}

std::int32_t readFastSpinMax(const nlohmann::json &set)
{
    const std::int32_t value = readSigned32(set, kFastSpinMaxKey).value_or(1);
    return value >= 1 && value <= kFastSpinLargest ? value : 1;
}

std::optional<std::uint64_t> readUnsigned(const nlohmann::json &set, const char *key)
{
    constexpr std::uint64_t kMax = std::numeric_limits<std::uint64_t>::max();
    const nlohmann::json *value = member(set, key);
    if (!value)
        return std::nullopt;
    if (value->is_number_unsigned())
        return value->get<std::uint64_t>();
    if (value->is_number_integer()) {
        const auto v = value->get<std::int64_t>();
        return v < 0 ? 0 : static_cast<std::uint64_t>(v);
    }
    if (value->is_number_float()) {
        const double v = std::trunc(value->get<double>());
        if (std::isnan(v))
            return std::nullopt;
        if (v <= 0.0)
            return 0;
        // 2^64 is exact as a double; anything from there on saturates.
        return v >= 18446744073709551616.0 ? kMax : static_cast<std::uint64_t>(v);
    }
    return std::nullopt;
}

const nlohmann::json *findParamSet(const nlohmann::json &document, const std::string &name)
{
    const nlohmann::json *parameters = member(document, "parameters");
    if (!parameters || !parameters->is_object())
        return nullptr;
    const auto it = parameters->find(name);
    if (it == parameters->end() || !it->is_object())
        return nullptr;
    return &*it;
}

std::uint64_t tickPercent(const nlohmann::json &document, const std::string &setName, bool up)
{
    const char *key = up ? "scrollDistanceUp" : "scrollDistanceDown";
    if (const nlohmann::json *set = findParamSet(document, setName)) {
        if (const auto percent = readUnsigned(*set, key))
            return *percent;
    }
    if (const nlohmann::json *fallback = findParamSet(document, kDefaultProfileName)) {
        if (const auto percent = readUnsigned(*fallback, key))
            return *percent;
    }
    return kFallbackPercent;
}
