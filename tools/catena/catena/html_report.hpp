// The batch as one self-contained HTML page: the records as a table that
// sorts by any column, failed models highlighted with their messages, and
// every model's profile plot inline. Nothing is loaded from elsewhere.
#pragma once

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "catena/report.hpp"

namespace catena {

// Writes the page to `out` at End; `notes` (the run's warnings) and what the
// run needs to be repeated are shown above the table, which has the columns
// of the TSV records.
std::unique_ptr<Report_Writer> Make_Html_Report_Writer(std::FILE* out, std::vector<std::string> notes,
                                                       const Run_Provenance& provenance);

// Passes every call to both writers, the first one first.
class Both_Writers final : public Report_Writer {
 public:
  Both_Writers(Report_Writer& first, Report_Writer& second) : first_(first), second_(second) {}
  void Begin() override {
    first_.Begin();
    second_.Begin();
  }
  void Record(const Model_Result& result) override {
    first_.Record(result);
    second_.Record(result);
  }
  void End() override {
    first_.End();
    second_.End();
  }

 private:
  Report_Writer& first_;
  Report_Writer& second_;
};

}  // namespace catena
