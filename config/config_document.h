#pragma once

#include <nlohmann/json.hpp>

#include <string_view>

// The configuration document: one JSON object holding `autorunEnabled` and `parameters`
// (one parameter set per profile name). Object members are kept in ascending byte order.

// The process-wide document the engine reads. It is created from the built-in default text
// at its first use and is afterwards only ever replaced whole by a copy of the working one.
nlohmann::json &sharedConfig();

// Replaces the shared document by a copy of the given one (the store's publication).
void publishSharedConfig(const nlohmann::json &document);

// A new parameter set holding the ten keys with their defaults.
nlohmann::json defaultParameters();

// A document as the main window starts with: autorun off and only the `default` set,
// built directly rather than parsed.
nlohmann::json initialConfig();

// The built-in default text the shared document is parsed from (623 bytes).
std::string_view defaultConfigText();
