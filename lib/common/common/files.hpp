// Files: RAII handles on stdio streams, checked creation and closing of the
// output files, and whole-file reading.
#pragma once

#include <cstdio>
#include <memory>
#include <optional>
#include <string>

namespace common {

struct File_Closer {
  void operator()(std::FILE* file) const noexcept { std::fclose(file); }
};
using File = std::unique_ptr<std::FILE, File_Closer>;

// Opens a file for reading; null when it cannot be opened.
File Open_Input(const std::string& path);

// Creates (or truncates) an output file. On failure throws the suite's
// message: "cannot create output file '%s'\n" "program will exit !\n".
File Open_Output(const std::string& path);

// Closes an output file and reports a write error (full disk, I/O error) as a
// failure instead of letting a truncated file pass as a result.
void Close_Output(File& file, const std::string& path);

// Writes a whole text file (created or truncated), checked as above.
void Write_Output(const std::string& path, const std::string& content);

// The whole content of a file, or nothing when it cannot be opened or read.
std::optional<std::string> Read_Whole_File(const std::string& path);

}  // namespace common
