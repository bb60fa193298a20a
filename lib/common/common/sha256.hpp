// SHA-256 digests (FIPS 180-4), so that a run can name the exact tables it used.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace common {

// The digest of `data` as 64 lower-case hexadecimal digits.
std::string Sha256_Hex(std::string_view data);

// The same without the processor's SHA instructions, whatever the processor;
// Sha256_Hex uses them when it has them.
std::string Sha256_Hex_Portable(std::string_view data);

// The digest of a file's content; nothing when it cannot be read.
std::optional<std::string> File_Sha256_Hex(const std::string& path);

}  // namespace common
