// Number conversions with the semantics of the C conversions "%lf", "%f" and
// "%d" applied to the start of a text: leading white space is skipped, the
// longest number prefix is converted, anything after it is ignored.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace common {

// The fields of a line between tab characters (one field when it holds none).
std::vector<std::string> Split_Tabs(std::string_view line);

std::optional<double> Scan_Double(std::string_view text);
std::optional<float> Scan_Float(std::string_view text);
std::optional<int> Scan_Int(std::string_view text);

// The first run of non-blank characters (as "%s" reads it); empty when the
// text is blank.
std::string_view First_Word(std::string_view text);

}  // namespace common
