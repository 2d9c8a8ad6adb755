#pragma once
// The text form of the configuration document: reading the bytes of config.json and writing
// the document back in the file's layout. Plain functions over nlohmann json, no files.

#include <nlohmann/json.hpp>

#include <cstddef>
#include <optional>
#include <string_view>

// Deepest nesting of arrays and objects that a readable file may have. What the program
// writes is three levels deep; far deeper documents are refused before they are parsed,
// since copying one recursively would exhaust the stack.
constexpr std::size_t kMaxConfigNesting = 64;

// True when the JSON text opens more than `limit` arrays or objects inside each other.
// Brackets inside strings do not count.
bool nestingDeeperThan(std::string_view text, std::size_t limit);

// Parses the first JSON value of a file's bytes: a byte-order mark at the start is skipped,
// whatever follows the value is ignored, comments are syntax errors. Nothing when the text
// is not readable (syntax error, empty, invalid UTF-8, nested deeper than kMaxConfigNesting).
std::optional<nlohmann::json> parseConfigText(std::string_view text);

// Brings a parsed file into the working document: the profiles of `parameters` (a set in the
// older layout, where `parameters` was one set, becomes `default` over the defaults; a
// missing `default` is added), the autorun flag (false unless the file says true) and
// `displayPaced` (kept only when it is true). Other top-level members are dropped. Parts of the wrong type keep what the document had.
void mergeLoadedConfig(nlohmann::json &working, const nlohmann::json &loaded);

// The file's text: four-space indentation, members in key order, non-ASCII as UTF-8, and one
// line break after the closing brace. Line breaks are "\n"; the file layer converts them.
std::string configFileText(const nlohmann::json &document);
