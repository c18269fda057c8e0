#pragma once
// Values as scripts write them and reports show them: whole numbers,
// true/false, texts quoted with their line breaks made visible. Numbers and
// points are read as the drawing host reads typed ones (acad::input).

#include <optional>
#include <string>

namespace e2e {

std::optional<int> ParseInteger(const std::string& text);
std::optional<bool> ParseBool(const std::string& text);  // true/false, any case

// Shortest text that reads back as the same number ("1800", "0.5").
std::string FormatNumber(double v);
std::string FormatBool(bool v);
// "text" with \r, \n, \t and \" written as escapes, as in a script.
std::string Quote(const std::string& text);

// What a script expects against what was found: equal texts, or the same
// number, or the same truth value; with `contains`, a part of the found text.
bool Matches(const std::string& expected, const std::string& found, bool contains);

}  // namespace e2e
