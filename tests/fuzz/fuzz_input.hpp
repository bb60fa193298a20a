// What the fuzz targets share: the readers take paths or streams, so each
// input is handed over as a file of this process or as a memory stream.
#pragma once

#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

#include "common/files.hpp"

namespace fuzz {

inline std::string_view As_Text(const std::uint8_t* data, std::size_t size) {
  return {reinterpret_cast<const char*>(data), size};
}

// A file holding the input, removed afterwards. One name per process, so that
// parallel fuzzing jobs do not share it.
class Input_File {
 public:
  explicit Input_File(std::string_view content, const char* suffix = "")
      : path_("/tmp/fold_fuzz_" + std::to_string(getpid()) + suffix) {
    common::File file(std::fopen(path_.c_str(), "wb"));
    if (file) std::fwrite(content.data(), 1, content.size(), file.get());
  }
  ~Input_File() { std::remove(path_.c_str()); }
  Input_File(const Input_File&) = delete;
  Input_File& operator=(const Input_File&) = delete;
  const std::string& path() const { return path_; }

 private:
  std::string path_;
};

// A read stream over the input (fmemopen refuses an empty buffer, hence /dev/null).
inline common::File Memory_Stream(std::string_view content) {
  if (content.empty()) return common::File(std::fopen("/dev/null", "r"));
  return common::File(fmemopen(const_cast<char*>(content.data()), content.size(), "r"));
}

// Where the readers' notes go.
inline std::FILE* Null_Output() {
  static const common::File null(std::fopen("/dev/null", "w"));
  return null.get();
}

// The input split at the first "\n==\n": two files in one input.
inline std::pair<std::string_view, std::string_view> Split_Two(std::string_view text) {
  const std::size_t at = text.find("\n==\n");
  if (at == std::string_view::npos) return {text, {}};
  return {text.substr(0, at + 1), text.substr(at + 4)};
}

}  // namespace fuzz
