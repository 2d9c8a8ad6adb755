#pragma once
// Configuration documents for the engine to read, built from fuzz input: sane ones, ones with
// values of the wrong type or size, thousands of profiles, deep nesting, and documents that
// are not even objects.

#include "byte_reader.h"

#include <nlohmann/json.hpp>

#include <string>
#include <vector>

// `profileNames` are names worth a set of their own (those of the desktop's processes).
nlohmann::json fuzzedDocument(ByteReader &in, const std::vector<std::string> &profileNames);
