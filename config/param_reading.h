#pragma once
// Reads of parameter-set members that never throw and never change the document: a member
// that is missing or holds another JSON type yields nothing.

#include <nlohmann/json.hpp>

#include <cstdint>
#include <optional>
#include <string>

std::optional<bool> readFlag(const nlohmann::json &set, const char *key);

// Any JSON number, fraction dropped, kept within the signed 32-bit range.
std::optional<std::int32_t> readSigned32(const nlohmann::json &set, const char *key);

// Any JSON number, fraction dropped; a negative number reads as 0.
std::optional<std::uint64_t> readUnsigned(const nlohmann::json &set, const char *key);

// A fast spin multiplies a notch's distance at most this much (`fastSpinMax`), from 1 (off)
// to kFastSpinLargest. A set without the member, or with another type or a value outside that
// range, does not multiply: 1. Read like the set's other whole numbers, fraction dropped.
constexpr char kFastSpinMaxKey[] = "fastSpinMax";
constexpr std::int32_t kFastSpinLargest = 10;
std::int32_t readFastSpinMax(const nlohmann::json &set);

// The parameter set of that name in a document, or nullptr when the document has no such
// set or it is not an object.
const nlohmann::json *findParamSet(const nlohmann::json &document, const std::string &name);

// The per-tick percentage an animation uses: from the named set, else from `default`, else
// the built-in 4 percent, so that an animation whose set was removed or spoilt while it
// runs still comes to its end.
std::uint64_t tickPercent(const nlohmann::json &document, const std::string &setName, bool up);
