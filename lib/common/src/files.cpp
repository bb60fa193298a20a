#include "common/files.hpp"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <system_error>

#include "common/fatal_error.hpp"

namespace common {

File Open_Input(const std::string& path) {
  File file(std::fopen(path.c_str(), "r"));
  // A directory opens for reading on Linux but cannot be read: refuse it here,
  // so that every reader says it cannot open the path.
  struct stat status;
  if (file && fstat(fileno(file.get()), &status) == 0 && S_ISDIR(status.st_mode)) {
    errno = EISDIR;
    return nullptr;
  }
  return file;
}

File Open_Output(const std::string& path) {
  File file(std::fopen(path.c_str(), "w"));
  if (!file) Fail(kExitBang, "cannot create output file '%s'", path.c_str());
  return file;
}

void Close_Output(File& file, const std::string& path) {
  if (!file) return;
  const bool failed = std::ferror(file.get()) != 0;
  const bool close_failed = std::fclose(file.release()) != 0;
  if (failed || close_failed) Fail(kExitBang, "cannot write output file '%s'", path.c_str());
}

void Write_Output(const std::string& path, const std::string& content) {
  File file = Open_Output(path);
  std::fwrite(content.data(), 1, content.size(), file.get());
  Close_Output(file, path);
}

Replacing_Output::Replacing_Output(const std::string& path) : path_(path), target_(path) {
  namespace fs = std::filesystem;
  std::error_code error;
  const fs::file_status status = fs::status(path, error);
  if (fs::exists(status) && !fs::is_regular_file(status)) {
    file_ = Open_Output(path);  // /dev/stdout, a pipe: nothing to rename
    return;
  }
  if (fs::is_symlink(fs::symlink_status(path, error))) {
    const fs::path resolved = fs::weakly_canonical(path, error);
    if (!error) target_ = resolved.string();
  }
  const fs::path target(target_);
  temporary_ = (target.parent_path() / ("." + target.filename().string() + ".tmp" + std::to_string(getpid()))).string();
  const int descriptor = ::open(temporary_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
  if (descriptor >= 0) {
    // Keep the permissions of a file that is replaced.
    if (fs::exists(status)) fs::permissions(temporary_, status.permissions(), error);
    file_ = File(fdopen(descriptor, "w"));
    if (!file_) ::close(descriptor);
  }
  if (!file_) {
    if (descriptor >= 0) std::remove(temporary_.c_str());
    temporary_.clear();
    Fail(kExitBang, "cannot create output file '%s'", path.c_str());
  }
}

Replacing_Output::~Replacing_Output() {
  if (temporary_.empty()) return;
  file_.reset();
  std::remove(temporary_.c_str());
}

void Replacing_Output::Commit() {
  Close_Output(file_, path_);
  if (temporary_.empty()) return;
  if (std::rename(temporary_.c_str(), target_.c_str()) != 0)
    Fail(kExitBang, "cannot write output file '%s'", path_.c_str());
  temporary_.clear();
}

std::optional<std::string> Read_Whole_File(const std::string& path) {
  File file = Open_Input(path);
  if (!file) return std::nullopt;
  // Reserve the file's size once (a potential table is several megabytes);
  // reading on until the end also covers files whose size is not known.
  std::string content;
  struct stat status;
  if (fstat(fileno(file.get()), &status) == 0 && S_ISREG(status.st_mode) && status.st_size > 0)
    content.reserve(static_cast<std::size_t>(status.st_size));
  char chunk[65536];
  std::size_t got;
  while ((got = std::fread(chunk, 1, sizeof chunk, file.get())) > 0) content.append(chunk, got);
  if (std::ferror(file.get())) return std::nullopt;
  return content;
}

std::optional<Whole_File> Whole_File::Open(const std::string& path) {
  Whole_File file;
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  struct stat status;
  if (fd >= 0 && fstat(fd, &status) == 0 && S_ISREG(status.st_mode)) {
    const auto size = static_cast<std::size_t>(status.st_size);
    const auto page = static_cast<std::size_t>(sysconf(_SC_PAGESIZE));
    // The end of the last page reads as zeros, which gives the '\0'; a size
    // of whole pages has no such room and is read instead.
    if (size >= (std::size_t{1} << 20) && size % page != 0) {
      void* const map = mmap(nullptr, size, PROT_READ, MAP_PRIVATE | MAP_POPULATE, fd, 0);
      if (map != MAP_FAILED) {
        ::close(fd);
        file.map_ = map;
        file.map_size_ = size;
        file.text_ = std::string_view(static_cast<const char*>(map), size);
        return file;
      }
    }
  }
  if (fd >= 0) ::close(fd);
  auto content = Read_Whole_File(path);
  if (!content) return std::nullopt;
  file.copy_ = std::move(*content);
  file.text_ = file.copy_;
  return file;
}

Whole_File::Whole_File(Whole_File&& other) noexcept
    : copy_(std::move(other.copy_)), map_(other.map_), map_size_(other.map_size_) {
  text_ = map_ ? other.text_ : std::string_view(copy_);
  other.map_ = nullptr;
  other.text_ = {};
}

Whole_File::~Whole_File() {
  if (map_) munmap(map_, map_size_);
}

}  // namespace common
