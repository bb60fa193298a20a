#include "trainer/tsv.hpp"

#include <algorithm>

#include "common/fatal_error.hpp"
#include "common/files.hpp"

namespace trainer {

bool Tsv_File::Has_Column(std::string_view name) const {
  return std::find(header.begin(), header.end(), name) != header.end();
}

std::size_t Tsv_File::Column(std::string_view name) const {
  const auto at = std::find(header.begin(), header.end(), name);
  if (at == header.end())
    common::Fail(common::kLineEnd, "%s: the header has no column '%.*s'", path.c_str(), static_cast<int>(name.size()),
                 name.data());
  return static_cast<std::size_t>(at - header.begin());
}

Tsv_File Read_Tsv(const std::string& path) {
  const std::optional<std::string> content = common::Read_Whole_File(path);
  if (!content) common::Fail(common::kLineEnd, "cannot open %s for reading", path.c_str());
  Tsv_File file;
  file.path = path;
  std::size_t start = 0;
  std::size_t number = 0;
  while (start < content->size()) {
    std::size_t end = content->find('\n', start);
    if (end == std::string::npos) end = content->size();
    std::string_view line(content->data() + start, end - start);
    start = end + 1;
    ++number;
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (line.find_first_not_of(" \t") == std::string_view::npos || line.front() == '#') continue;
    std::vector<std::string> fields = Split_Tabs(line);
    if (file.header.empty()) {
      file.header = std::move(fields);
      continue;
    }
    if (fields.size() != file.header.size())
      common::Fail(common::kLineEnd, "%s line %zu: %zu fields, the header has %zu", path.c_str(), number, fields.size(),
                   file.header.size());
    file.rows.push_back(std::move(fields));
    file.line_numbers.push_back(number);
  }
  if (file.header.empty()) common::Fail(common::kLineEnd, "%s is empty: no header line", path.c_str());
  return file;
}

}  // namespace trainer
