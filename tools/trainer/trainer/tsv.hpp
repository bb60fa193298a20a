// Tab-separated files with a header line, read by column name.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "common/scan.hpp"

namespace trainer {

using common::Split_Tabs;

struct Tsv_File {
  std::string path;
  std::vector<std::string> header;
  std::vector<std::vector<std::string>> rows;  // each as long as the header
  std::vector<std::size_t> line_numbers;       // of each row in the file, from 1

  // Index of a column; throws common::Fatal_Error when the header lacks it.
  std::size_t Column(std::string_view name) const;
};

// Reads the whole file; blank lines and lines starting with '#' are skipped, a row with another number
// of fields than the header is refused (common::Fatal_Error).
Tsv_File Read_Tsv(const std::string& path);

}  // namespace trainer
