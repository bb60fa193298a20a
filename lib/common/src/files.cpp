#include "common/files.hpp"

#include "common/fatal_error.hpp"

namespace common {

File Open_Input(const std::string& path) { return File(std::fopen(path.c_str(), "r")); }

File Open_Output(const std::string& path) {
  File file(std::fopen(path.c_str(), "w"));
  if (!file) Fail("cannot create output file '%s'\nprogram will exit !\n", path.c_str());
  return file;
}

void Close_Output(File& file, const std::string& path) {
  if (!file) return;
  const bool failed = std::ferror(file.get()) != 0;
  const bool close_failed = std::fclose(file.release()) != 0;
  if (failed || close_failed) Fail("cannot write output file '%s'\nprogram will exit !\n", path.c_str());
}

void Write_Output(const std::string& path, const std::string& content) {
  File file = Open_Output(path);
  std::fwrite(content.data(), 1, content.size(), file.get());
  Close_Output(file, path);
}

std::optional<std::string> Read_Whole_File(const std::string& path) {
  File file = Open_Input(path);
  if (!file) return std::nullopt;
  // Reserve the file's size once (a potential table is several megabytes);
  // reading on until the end also covers files whose size is not known.
  std::string content;
  if (std::fseek(file.get(), 0, SEEK_END) == 0) {
    const long size = std::ftell(file.get());
    if (size > 0) content.reserve(static_cast<std::size_t>(size));
    std::rewind(file.get());
  }
  char chunk[65536];
  std::size_t got;
  while ((got = std::fread(chunk, 1, sizeof chunk, file.get())) > 0) content.append(chunk, got);
  if (std::ferror(file.get())) return std::nullopt;
  return content;
}

}  // namespace common
