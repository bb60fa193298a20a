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
  std::string content;
  char chunk[65536];
  std::size_t got;
  while ((got = std::fread(chunk, 1, sizeof chunk, file.get())) > 0) content.append(chunk, got);
  if (std::ferror(file.get())) return std::nullopt;
  return content;
}

}  // namespace common
