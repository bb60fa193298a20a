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
};

// TSV with a header line, or JSON: {"catena": <the run>, "records": [...]}.
std::unique_ptr<Report_Writer> Make_Report_Writer(Output_Format format, std::FILE* out,
                                                  const Run_Provenance& provenance);

}  // namespace catena
