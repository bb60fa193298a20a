#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "common/files.hpp"

namespace common {
namespace {

// Small files are read, large ones mapped, and a size of whole pages is read
// again: each way must give the content and the '\0' after it, which the
// table reader's unchecked loops stop on.
TEST(Whole_File, ContentFollowedByNul) {
  const auto path = std::filesystem::temp_directory_path() / ("whole_file_test." + std::to_string(::getpid()));
  for (const std::size_t size : {std::size_t{0}, std::size_t{10}, std::size_t{4096}, std::size_t{1} << 20,
                                 (std::size_t{1} << 20) + 1, (std::size_t{3} << 20) + 777}) {
    std::string content(size, 'x');
    for (std::size_t i = 0; i < size; ++i) content[i] = static_cast<char>('a' + i % 26);
    std::ofstream(path, std::ios::binary) << content;
    auto file = Whole_File::Open(path.string());
    ASSERT_TRUE(file) << size;
    const Whole_File moved(std::move(*file));  // the view must follow a read copy
    EXPECT_EQ(moved.Text(), content) << size;
    EXPECT_EQ(moved.Text().data()[size], '\0') << size;
  }
  std::filesystem::remove(path);
  EXPECT_FALSE(Whole_File::Open(path.string()));
}

}  // namespace
}  // namespace common
