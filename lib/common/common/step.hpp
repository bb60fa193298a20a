// The result of one step of an assessment: the value the next step takes and
// the exact text of every file the step's program writes. A program writes
// the files and prints its line; catena keeps them in memory and passes the
// value on. When the next step must see a value as its file printed it (with
// the file's rounding), the step says so where it builds the text.
#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace common {

struct Step_File {
  std::string suffix;  // after the model's name; see common/model_files.hpp
  std::string text;
};

template <class Value>
struct Step_Result {
  Value value{};
  std::vector<Step_File> files;

  // The text of the file with this suffix; empty when the step wrote none.
  const std::string& Text(std::string_view suffix) const {
    static const std::string kNone;
    for (const Step_File& file : files)
      if (file.suffix == suffix) return file.text;
    return kNone;
  }
};

// The number the next program reads from a file's text ("%lf" from the start
// of its first line): a value passing on through its file takes the file's
// rounding here. The texts are the steps' own printf output, always a number.
double Filed_Number(std::string_view text);

// Writes every file of a step as MODEL followed by the file's suffix.
void Write_Step_Files(std::string_view model, const std::vector<Step_File>& files);

}  // namespace common
