#include "combine/score_file.hpp"

#include "common/fatal_error.hpp"
#include "common/files.hpp"
#include "common/scan.hpp"

namespace combine {
namespace {

// Reads one line without its end. False at the end of the file, when no
// character is left to read. `line_number` names the line in the message of
// an overlong line.
bool Read_Line(std::FILE* file, std::string& line, std::size_t line_number, const std::string& path) {
  line.clear();
  int c = std::getc(file);
  if (c == EOF) return false;
  for (; c != EOF && c != '\n'; c = std::getc(file)) {
    if (line.size() == kMaxScoreLineChars)
      common::Fail(common::kExitBang, "line %zu of input file '%s' is longer than %zu characters", line_number,
                   path.c_str(), kMaxScoreLineChars);
    line += static_cast<char>(c);
  }
  return true;
}

}  // namespace

std::vector<double> Read_Score_Lines(std::FILE* file, std::size_t count, const std::string& path) {
  std::vector<double> values;
  values.reserve(count);
  std::string line;
  while (values.size() < count) {
    const std::size_t line_number = values.size() + 1;
    const bool got_line = Read_Line(file, line, line_number, path);
    if (std::ferror(file)) common::Fail(common::kExitBang, "cannot read input file '%s'", path.c_str());
    if (!got_line) {
      if (values.empty()) common::Fail(common::kExitBang, "input file '%s' is empty", path.c_str());
      common::Fail(common::kExitBang, "input file '%s' has %zu lines, %zu are needed", path.c_str(), values.size(),
                   count);
    }
    const std::optional<double> value = common::Scan_Double(line);
    if (!value) common::Fail(common::kExitBang, "no number on line %zu of input file '%s'", line_number, path.c_str());
    values.push_back(*value);
  }
  return values;
}

std::vector<double> Read_Score_File(const std::string& path, std::size_t count) {
  const common::File file = common::Open_Input(path);
  if (!file) common::Fail(common::kExitBang, "cannot open input file '%s'", path.c_str());
  return Read_Score_Lines(file.get(), count, path);
}

double Read_First_Score(const std::string& path) { return Read_Score_File(path, 1).front(); }

}  // namespace combine
