#include "catena/report.hpp"

#include <array>
#include <string>

#include "catena/provenance.hpp"

namespace catena {
namespace {

struct Field {
  const char* name;
  bool numeric;
  std::string Model_Result::*value;
};

const std::array<Field, 16> kFields = {{
    {"model", false, &Model_Result::model},
    {"chain", false, &Model_Result::chain},
    {"length", true, &Model_Result::length},
    {"compactness", true, &Model_Result::compactness},
    {"pair_energy", true, &Model_Result::pair_energy},
    {"surface_energy", true, &Model_Result::surface_energy},
    {"z_pair", true, &Model_Result::z_pair},
    {"z_surface", true, &Model_Result::z_surface},
    {"z_combined", true, &Model_Result::z_combined},
    {"identity", true, &Model_Result::identity},
    {"zo341", true, &Model_Result::zo341},
    {"pG", true, &Model_Result::pG},
    {"class", false, &Model_Result::winning_class},
    {"model_number", true, &Model_Result::model_number},
    {"seed", true, &Model_Result::seed},
    {"error", false, &Model_Result::error},
}};

// A TSV field holds no tab or line end.
std::string Tsv_Text(const std::string& text) {
  std::string clean = text;
  for (char& c : clean)
    if (c == '\t' || c == '\n' || c == '\r') c = ' ';
  return clean;
}

// A number as its file holds it is valid JSON, except "nan" and "inf".
std::string Json_Number(const std::string& text) {
  if (text.empty()) return "null";
  const bool finite = text.find_first_of("ni") == std::string::npos;
  return finite ? text : Json_String(text);
}

class Tsv_Writer final : public Report_Writer {
 public:
  explicit Tsv_Writer(std::FILE* out) : out_(out) {}
  void Begin() override {
    for (std::size_t i = 0; i < kFields.size(); ++i) std::fprintf(out_, "%s%s", i ? "\t" : "", kFields[i].name);
    std::fputc('\n', out_);
  }
  void Record(const Model_Result& result) override {
    for (std::size_t i = 0; i < kFields.size(); ++i)
      std::fprintf(out_, "%s%s", i ? "\t" : "", Tsv_Text(result.*kFields[i].value).c_str());
    std::fputc('\n', out_);
    std::fflush(out_);
  }
  void End() override {}

 private:
  std::FILE* out_;
};

class Json_Writer final : public Report_Writer {
 public:
  Json_Writer(std::FILE* out, std::string run) : out_(out), run_(std::move(run)) {}
  void Begin() override { std::fprintf(out_, "{\"catena\": %s,\n\"records\": [", run_.c_str()); }
  void Record(const Model_Result& result) override {
    std::fputs(first_ ? "\n  {" : ",\n  {", out_);
    first_ = false;
    for (std::size_t i = 0; i < kFields.size(); ++i) {
      const std::string& value = result.*kFields[i].value;
      const std::string text = kFields[i].numeric                                          ? Json_Number(value)
                               : value.empty() && kFields[i].value != &Model_Result::model ? "null"
                                                                                           : Json_String(value);
      std::fprintf(out_, "%s\"%s\": %s", i ? ", " : "", kFields[i].name, text.c_str());
    }
    std::fputs("}", out_);
    std::fflush(out_);
  }
  void End() override { std::fputs(first_ ? "]}\n" : "\n]}\n", out_); }

 private:
  std::FILE* out_;
  std::string run_;
  bool first_ = true;
};

}  // namespace

std::unique_ptr<Report_Writer> Make_Report_Writer(Output_Format format, std::FILE* out,
                                                  const Run_Provenance& provenance) {
  if (format == Output_Format::Json) return std::make_unique<Json_Writer>(out, Provenance_Json(provenance));
  return std::make_unique<Tsv_Writer>(out);
}

}  // namespace catena
