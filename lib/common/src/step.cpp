#include "common/step.hpp"

#include "common/files.hpp"
#include "common/model_files.hpp"
#include "common/scan.hpp"

namespace common {

double Filed_Number(std::string_view text) { return Scan_Double(text).value_or(0.0); }

void Write_Step_Files(std::string_view model, const std::vector<Step_File>& files) {
  for (const Step_File& file : files) Write_Output(model_files::Name(model, file.suffix), file.text);
}

}  // namespace common
