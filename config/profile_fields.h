#pragma once
// What the settings panel shows of a parameter set and what it writes back: the readers that
// turn any stored value into something showable, the values of one profile as the panel holds
// them, and the names of profiles in the panel.

#include "config/parameter_keys.h"

#include <nlohmann/json.hpp>

#include <QString>

#include <array>
#include <cstdint>

// One profile as the panel holds it: the integer keys in the order of its rows, and the flags.
struct ProfileValues {
    std::array<std::int32_t, kIntegerKeyCount> integers{};
    bool scrollDirectionNormal = true;
    bool smoothScrollEnabled = true;
    std::int32_t fastSpinMax = 1; // 1 is off and is not stored
};

// What the panel shows of a stored set: each key through showableInteger or showableFlag,
// with the key's fallback where the set lacks it or holds something else.
ProfileValues showableValues(const nlohmann::json &set);

// The set a save stores: exactly the ten keys, integers as JSON integers, and `fastSpinMax`
// only where a fast spin goes farther.
nlohmann::json parameterSetOf(const ProfileValues &values);

// The value of an integer key as the panel shows it: any JSON number with its fraction
// dropped and bounded to the signed 32-bit range, true and false as 1 and 0; the fallback
// when the set is not an object, lacks the key or holds another type there.
std::int32_t showableInteger(const nlohmann::json &set, const char *key, std::int32_t fallback);

// A flag as the panel shows it: the stored boolean, else the fallback.
bool showableFlag(const nlohmann::json &set, const char *key, bool fallback);

// How the panel shows a set's fastSpinMax: "关" when a fast spin goes no farther (1, or a value
// outside 1 to 10), else "最高 N 倍".
QString fastSpinText(std::int32_t maximum);

// The entry text of the profile every application without one of its own uses
// (kDefaultProfileName) in the profile list, and the list's last entry, which adds an
// application.
extern const QString kDefaultEntryText;
extern const QString kAddEntryText;

// The entry text of the profile list for a profile name: "默认" for `default`.
QString profileDisplayText(const QString &name);

// The profile name of an entry text: `default` for "默认", any other text unchanged.
QString profileNameOfText(const QString &text);

// True for the entry of an application profile: neither "默认" nor "+". Only these entries can
// be removed.
bool isApplicationEntry(const QString &text);

// The profile a save stores the panel into: none (empty) when the entry is empty or "+".
QString profileToSave(const QString &entryText);
