#pragma once
// The ten keys of a parameter set, each once: its default in a fresh set, the value the
// panel shows when a set lacks it, and, for the eight integer keys, the panel's row (unit,
// editor caption, range and slider step). The fresh set, the panel's fallbacks and its rows
// are all made from this table, so a default or a new key is changed here alone.

#include <array>
#include <cstddef>
#include <cstdint>

struct ParameterKey {
    const char *name;
    // The two flags hold 1 for true and 0 for false; they have no row.
    bool isFlag;
    std::int32_t defaultValue;
    std::int32_t fallback;
    const char *unit;
    const char *caption;
    std::int32_t minimum;
    std::int32_t maximum;
    std::int32_t step;
};

// The eight integer keys first, in the order of the panel's rows, then the two flags.
constexpr std::size_t kIntegerKeyCount = 8;
extern const std::array<ParameterKey, 10> kParameterKeys;

// Positions of the two flags in the table.
constexpr std::size_t kDirectionNormalKey = 8;
constexpr std::size_t kSmoothScrollKey = 9;
