// Writing the records: TSV with a header line, or a JSON array.
#pragma once

#include <cstdio>
#include <memory>

#include "catena/options.hpp"
#include "catena/pipeline.hpp"
#include "catena/provenance.hpp"

namespace catena {

class Report_Writer {
 public:
  virtual ~Report_Writer() = default;
  virtual void Begin() = 0;
  virtual void Record(const Model_Result& result) = 0;
  virtual void End() = 0;

  // The errno of the first failed write of the records, 0 while all went
  // through (the stream's error flag alone loses the reason).
  int Write_Error() const { return write_error_; }

 protected:
  // Flushes, keeping the reason of the first failure.
  void Flush(std::FILE* out);

 private:
  int write_error_ = 0;
};

// TSV with a header line, or JSON: {"catena": <the run>, "records": [...]}.
std::unique_ptr<Report_Writer> Make_Report_Writer(Output_Format format, std::FILE* out,
                                                  const Run_Provenance& provenance);

}  // namespace catena
