// Files: RAII handles on stdio streams, checked creation and closing of the
// output files, and whole-file reading.
#pragma once

#include <cstdio>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace common {

struct File_Closer {
  void operator()(std::FILE* file) const noexcept { std::fclose(file); }
};
using File = std::unique_ptr<std::FILE, File_Closer>;

// Opens a file for reading; null when it cannot be opened or is a directory.
File Open_Input(const std::string& path);

// Creates (or truncates) an output file. On failure throws the suite's
// message: "cannot create output file '%s'\n" "program will exit !\n".
File Open_Output(const std::string& path);

// Closes an output file and reports a write error (full disk, I/O error) as a
// failure instead of letting a truncated file pass as a result.
void Close_Output(File& file, const std::string& path);

// Writes a whole text file (created or truncated), checked as above.
void Write_Output(const std::string& path, const std::string& content);

// An output file that appears under its name only once it is complete. A new
// or regular file is written under a temporary name in the same folder (the
// folder of the link's target for a symbolic link) and renamed over it by
// Commit(); a device, pipe or terminal is written in place. Until Commit()
// succeeds the temporary file is removed on destruction, so a failed run
// leaves no partial file that looks like a result.
class Replacing_Output {
 public:
  // Throws "cannot create output file '%s'" as Open_Output does.
  explicit Replacing_Output(const std::string& path);
  ~Replacing_Output();
  Replacing_Output(const Replacing_Output&) = delete;
  Replacing_Output& operator=(const Replacing_Output&) = delete;

  std::FILE* get() const { return file_.get(); }
  // Closes and renames; a write, close or rename failure throws
  // "cannot write output file '%s'" as Close_Output does.
  void Commit();

 private:
  std::string path_;       // the name given
  std::string target_;     // the file replaced: path_ with its links followed
  std::string temporary_;  // empty when written in place
  File file_;
};

// The whole content of a file, or nothing when it cannot be opened or read.
std::optional<std::string> Read_Whole_File(const std::string& path);

// A file's whole content, read-only, always followed by a '\0' that is not
// part of it. A large regular file is mapped rather than copied (its pages
// come straight from the page cache, in one call); anything else is read.
class Whole_File {
 public:
  static std::optional<Whole_File> Open(const std::string& path);
  Whole_File(Whole_File&& other) noexcept;
  Whole_File& operator=(Whole_File&&) = delete;
  ~Whole_File();
  std::string_view Text() const { return text_; }

 private:
  Whole_File() = default;
  std::string copy_;
  void* map_ = nullptr;
  std::size_t map_size_ = 0;
  std::string_view text_;
};

}  // namespace common
