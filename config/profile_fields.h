#pragma once
// What the settings panel shows of a parameter set and what it writes back: the integer keys
// in the panel's row order with the value each shows when the set lacks it, the readers that
// turn any stored value into something showable, and the names of profiles in the panel.

#include <nlohmann/json.hpp>

#include <QString>

#include <array>
#include <cstdint>

struct IntegerField {
    const char *key;
    std::int32_t fallback;
};

// The eight integer keys in the order of the panel's rows. The start duration falls back to
// 200, not the 100 of a fresh set.
extern const std::array<IntegerField, 8> kIntegerFields;


// The value of an integer key as the panel shows it: any JSON number with its fraction
// dropped and bounded to the signed 32-bit range, true and false as 1 and 0; the fallback
// when the set is not an object, lacks the key or holds another type there.
std::int32_t showableInteger(const nlohmann::json &set, const char *key, std::int32_t fallback);

// A flag as the panel shows it: the stored boolean, else the fallback.
bool showableFlag(const nlohmann::json &set, const char *key, bool fallback);

// The profile every application without one of its own uses, its entry text in the profile
// list, and the list's last entry, which adds an application.
extern const QString kDefaultProfileName;
extern const QString kDefaultEntryText;
extern const QString kAddEntryText;

// The entry text of the profile list for a profile name: "默认" for `default`.
QString profileDisplayText(const QString &name);

// The profile name of an entry text: `default` for "默认", any other text unchanged.
QString profileNameOfText(const QString &text);

// The profile a save stores the panel into: none (empty) when the entry is empty or "+".
QString profileToSave(const QString &entryText);
