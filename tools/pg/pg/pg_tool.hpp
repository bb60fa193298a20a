// The verdicta run for one model: NAME.zo341 and NAME.length become the
// feature file NAME.in, the cPDF table is read, NAME.in is read back and
// every complete record gives one line of NAME.pG and one printed line.
#pragma once

#include <cstdio>
#include <string>

namespace pg {

inline constexpr std::size_t kMaxProteinNameChars = 92;  // NAME + ".length" fits 100 characters
inline constexpr std::size_t kMaxTablePathChars = 99;

// Runs the whole sequence; printed lines and the table's warnings go to
// `out`. Failures throw common::Fatal_Error with the message to print.
void Run_pG_Tool(const std::string& protein_name, const std::string& fn_in, std::FILE* out);

}  // namespace pg
