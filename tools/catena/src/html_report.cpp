#include "catena/html_report.hpp"

#include <cstdlib>

#include "catena/profile_files.hpp"
#include "common/format.hpp"

namespace catena {
namespace {

constexpr const char* kStyle = R"(
body { font-family: sans-serif; margin: 1.5em; color: #1e1e1e; }
h1 { font-size: 1.4em; margin: 0 0 0.3em; }
p.note { margin: 0.2em 0; color: #7a4d00; }
pre.run { font-size: 0.8em; color: #555555; margin: 0.4em 0; }
table { border-collapse: collapse; font-size: 0.8em; margin: 1em 0; }
th, td { border: 1px solid #cccccc; padding: 0.15em 0.4em; text-align: left; }
td.number { text-align: right; font-variant-numeric: tabular-nums; }
th { background: #eef1f5; cursor: pointer; position: sticky; top: 0; user-select: none; }
th[aria-sort=ascending]::after { content: " \25B2"; }
th[aria-sort=descending]::after { content: " \25BC"; }
tr.failed td { background: #fde2e1; }
tr.failed td.error, p.error { color: #a51d2d; font-weight: bold; }
td.error { min-width: 16em; }
section.plot { content-visibility: auto; contain-intrinsic-size: 720px 290px; margin: 0.5em 0; }
section.plot h2 { font-size: 1em; margin: 0.6em 0 0.2em; }
)";

// Sorts the table by a clicked heading: numbers as numbers when every filled
// cell of the column is one, empty cells last, a second click reverses.
constexpr const char* kScript = R"(
(function () {
  var table = document.getElementById("records");
  var body = table.tBodies[0];
  var heads = table.tHead.rows[0].cells;
  function value(row, column, numeric) {
    var text = row.cells[column].textContent;
    if (text === "") return null;
    return numeric ? Number(text) : text;
  }
  function sortBy(column) {
    var head = heads[column];
    var direction = head.getAttribute("aria-sort") === "ascending" ? -1 : 1;
    for (var i = 0; i !== heads.length; ++i) heads[i].removeAttribute("aria-sort");
    head.setAttribute("aria-sort", direction === 1 ? "ascending" : "descending");
    var rows = Array.prototype.slice.call(body.rows);
    var numeric = rows.every(function (row) {
      var text = row.cells[column].textContent;
      return text === "" || !isNaN(Number(text));
    });
    rows.sort(function (a, b) {
      var x = value(a, column, numeric), y = value(b, column, numeric);
      if (x === null || y === null) return (x === null) - (y === null);
      return direction * (numeric ? x - y : x.localeCompare(y));
    });
    var fragment = document.createDocumentFragment();
    rows.forEach(function (row) { fragment.appendChild(row); });
    body.appendChild(fragment);
  }
  Array.prototype.forEach.call(heads, function (head, column) {
    head.tabIndex = 0;
    head.addEventListener("click", function () { sortBy(column); });
    head.addEventListener("keydown", function (event) { if (event.key === "Enter") sortBy(column); });
  });
})();
)";

std::vector<std::string> Split_Tsv_Line(std::string line) {
  while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.pop_back();
  std::vector<std::string> fields;
  std::size_t start = 0;
  for (std::size_t tab; (tab = line.find('\t', start)) != std::string::npos; start = tab + 1)
    fields.push_back(line.substr(start, tab - start));
  fields.push_back(line.substr(start));
  return fields;
}

bool Is_Number(const std::string& text) {
  if (text.empty()) return false;
  char* end = nullptr;
  std::strtod(text.c_str(), &end);
  return *end == '\0';
}

// The TSV writer renders each record, so the table always has the columns
// and the text of the records catena prints.
class Html_Report_Writer final : public Report_Writer {
 public:
  Html_Report_Writer(std::FILE* out, std::vector<std::string> notes, const Run_Provenance& provenance)
      : out_(out), notes_(std::move(notes)), provenance_(Provenance_Text(provenance)) {
    tsv_stream_ = open_memstream(&tsv_buffer_, &tsv_size_);
    if (!tsv_stream_) throw std::bad_alloc();
    tsv_ = Make_Report_Writer(Output_Format::Tsv, tsv_stream_, provenance);
  }
  ~Html_Report_Writer() override {
    std::fclose(tsv_stream_);
    std::free(tsv_buffer_);
  }
  Html_Report_Writer(const Html_Report_Writer&) = delete;
  Html_Report_Writer& operator=(const Html_Report_Writer&) = delete;

  void Begin() override {
    header_ = Split_Tsv_Line(Next_Tsv_Text([&] { tsv_->Begin(); }));
  }

  void Record(const Model_Result& result) override {
    const std::vector<std::string> fields = Split_Tsv_Line(Next_Tsv_Text([&] { tsv_->Record(result); }));
    const std::string anchor = common::Format("model-%zu", ++models_);
    const bool failed = !result.error.empty();
    failed_ += failed ? 1 : 0;
    rows_ += failed ? "<tr class=\"failed\">" : "<tr>";
    for (std::size_t i = 0; i < fields.size(); ++i) {
      const bool error_column = i < header_.size() && header_[i] == "error";
      const std::string cell = Xml_Text(fields[i]);
      rows_ += error_column ? "<td class=\"error\">" : Is_Number(fields[i]) ? "<td class=\"number\">" : "<td>";
      rows_ += i == 0 ? "<a href=\"#" + anchor + "\">" + cell + "</a>" : cell;
      rows_ += "</td>";
    }
    rows_ += "</tr>\n";

    // A plot names its model itself.
    plots_ += "<section class=\"plot\" id=\"" + anchor + "\">\n";
    if (!failed && !result.profile_svg.empty()) {
      plots_ += result.profile_svg;
    } else {
      plots_ += "<h2>" + Xml_Text(result.model) + "</h2>\n<p class=\"error\">" +
                Xml_Text(failed ? result.error : "no profile") + "</p>\n";
    }
    plots_ += "</section>\n";
  }

  void End() override {
    std::string page =
        "<!DOCTYPE html>\n<html xmlns=\"http://www.w3.org/1999/xhtml\" lang=\"en\">\n<head>\n"
        "<meta charset=\"utf-8\"/>\n<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\"/>\n";
    page += common::Format("<title>catena: %zu models</title>\n<style>%s</style>\n</head>\n<body>\n", models_, kStyle);
    page += common::Format("<h1>catena: %zu models, %zu failed</h1>\n", models_, failed_);
    for (const std::string& note : notes_) page += "<p class=\"note\">" + Xml_Text(note) + "</p>\n";
    page += "<pre class=\"run\">" + Xml_Text(provenance_) + "</pre>\n";
    page +=
        "<p>Click a column heading to sort by it (again to reverse); failed models are shown in red with their "
        "message. A model's name leads to its per-residue energy profile below the table: energies above zero "
        "(shaded) are unfavourable stretches of the chain.</p>\n";
    page += "<table id=\"records\">\n<thead><tr>";
    for (const std::string& name : header_) page += "<th scope=\"col\">" + Xml_Text(name) + "</th>";
    page += "</tr></thead>\n<tbody>\n" + rows_ + "</tbody>\n</table>\n";
    page += "<h1>Per-residue energy profiles</h1>\n" + plots_;
    page += std::string("<script>//<![CDATA[") + kScript + "//]]></script>\n</body>\n</html>\n";
    std::fwrite(page.data(), 1, page.size(), out_);
    std::fflush(out_);
  }

 private:
  // What `write` adds to the TSV stream.
  template <typename Write>
  std::string Next_Tsv_Text(Write write) {
    write();
    std::fflush(tsv_stream_);
    std::string text(tsv_buffer_ + tsv_read_, tsv_size_ - tsv_read_);
    tsv_read_ = tsv_size_;
    return text;
  }

  std::FILE* out_;
  std::vector<std::string> notes_;
  std::string provenance_;
  char* tsv_buffer_ = nullptr;
  std::size_t tsv_size_ = 0, tsv_read_ = 0;
  std::FILE* tsv_stream_ = nullptr;
  std::unique_ptr<Report_Writer> tsv_;
  std::vector<std::string> header_;
  std::string rows_, plots_;
  std::size_t models_ = 0, failed_ = 0;
};

}  // namespace

std::unique_ptr<Report_Writer> Make_Html_Report_Writer(std::FILE* out, std::vector<std::string> notes,
                                                       const Run_Provenance& provenance) {
  return std::make_unique<Html_Report_Writer>(out, std::move(notes), provenance);
}

}  // namespace catena
