#include "text_to_man.hpp"

#include <algorithm>
#include <cctype>
#include <optional>
#include <vector>

namespace man {
namespace {

struct Line {
  int number;  // from 1, for messages
  std::size_t indent;
  std::string text;  // without the indent and trailing blanks
};

using Block = std::vector<Line>;

[[noreturn]] void Refuse(int number, const std::string& why) {
  throw Layout_Error("line " + std::to_string(number) + ": " + why);
}

// Blocks of consecutive non-blank lines.
std::vector<Block> Split_Blocks(std::string_view text) {
  std::vector<Block> blocks;
  Block current;
  int number = 0;
  while (!text.empty()) {
    const std::size_t end = text.find('\n');
    std::string_view raw = text.substr(0, end);
    text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
    ++number;
    if (raw.find('\t') != std::string_view::npos) Refuse(number, "a tab; lay the text out with blanks");
    const std::size_t last = raw.find_last_not_of(' ');
    if (last == std::string_view::npos) {
      if (!current.empty()) blocks.push_back(std::move(current));
      current.clear();
      continue;
    }
    const std::size_t indent = raw.find_first_not_of(' ');
    current.push_back({number, indent, std::string(raw.substr(indent, last + 1 - indent))});
  }
  if (!current.empty()) blocks.push_back(std::move(current));
  return blocks;
}

bool Is_Heading(const Block& block) {
  return block.size() > 1 && block[0].indent == 0 && block[0].text.back() == ':' && block[1].indent > 0;
}

std::string Upper(std::string text) {
  for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return text;
}

// "  term    description": the term and the description, split at the first
// run of two or more blanks.
std::optional<std::pair<std::string, std::string>> Split_Columns(const std::string& text) {
  const std::size_t gap = text.find("  ");
  if (gap == std::string::npos) return std::nullopt;
  return std::make_pair(text.substr(0, gap), text.substr(text.find_first_not_of(' ', gap)));
}

class Writer {
 public:
  static constexpr std::size_t kMaxLine = 80;

  explicit Writer(std::string& out) : out_(out) {}

  void Section(const std::string& title) {
    out_ += ".SH " + Upper(title) + "\n";
    fresh_ = true;
  }
  // A new paragraph, unless the section has just begun.
  void Paragraph() {
    if (!fresh_) out_ += ".PP\n";
    fresh_ = false;
  }
  // Filled text: roff joins the lines, so a long one is cut at blanks to keep
  // the source lines within 80 bytes.
  void Text(const std::string& line) {
    std::string rest = Escape(line);
    while (rest.size() > kMaxLine) {
      const std::size_t cut = rest.rfind(' ', kMaxLine);
      const std::size_t end = cut == std::string::npos ? cut : rest.find_last_not_of(' ', cut);
      if (end == std::string::npos) break;  // one word: left whole
      out_ += rest.substr(0, end + 1) + "\n";
      rest = rest.substr(rest.find_first_not_of(' ', cut));
      if (rest.front() == '.' || rest.front() == '\'') rest.insert(0, "\\&");
    }
    out_ += rest + "\n";
  }
  void Verbatim_Text(const std::string& line) { out_ += Escape(line) + "\n"; }
  void Item(const std::string& term) {
    out_ += ".TP\n\\fB" + Escape(term) + "\\fR\n";
    fresh_ = false;
  }
  void Verbatim(const Block& block) {
    Paragraph();
    out_ += ".RS 4\n.nf\n";
    const std::size_t base = block.front().indent;
    for (const Line& line : block)
      Verbatim_Text(std::string(line.indent - std::min(base, line.indent), ' ') + line.text);
    out_ += ".fi\n.RE\n";
  }

 private:
  std::string& out_;
  bool fresh_ = true;
};

// The indented lines of a section's block: items and paragraphs.
void Write_Indented(Writer& writer, const Block& lines) {
  for (std::size_t i = 0; i < lines.size();) {
    const Line& line = lines[i];
    if (line.indent != 2) Refuse(line.number, "indented text must start 2 blanks in, or stand in a block of its own");
    const auto columns = Split_Columns(line.text);
    const bool deeper_follows = i + 1 < lines.size() && lines[i + 1].indent > 2;
    if (columns || deeper_follows) {
      writer.Item(columns ? columns->first : line.text);
      if (columns) writer.Text(columns->second);
      for (++i; i < lines.size() && lines[i].indent > 2; ++i) writer.Text(lines[i].text);
      continue;
    }
    writer.Paragraph();
    for (; i < lines.size() && lines[i].indent == 2 && !Split_Columns(lines[i].text) &&
           !(i + 1 < lines.size() && lines[i + 1].indent > 2);
         ++i)
      writer.Text(lines[i].text);
  }
}

}  // namespace

std::string Escape(std::string_view line) {
  std::string out;
  if (!line.empty() && (line.front() == '.' || line.front() == '\'')) out += "\\&";
  for (const char c : line) {
    if (c == '\\') {
      out += "\\e";
    } else if (c == '-') {
      out += "\\-";
    } else {
      out += c;
    }
  }
  return out;
}

std::string Text_To_Man(std::string_view text, const Page_Info& info) {
  std::vector<Block> blocks = Split_Blocks(text);
  std::size_t next = 0;
  std::vector<std::string> synopsis;
  if (next < blocks.size() && blocks[next][0].indent == 0 && blocks[next][0].text.rfind("Usage: ", 0) == 0) {
    for (const Line& line : blocks[next]) {
      if (&line != &blocks[next][0] && line.indent == 0) Refuse(line.number, "a usage line must be indented");
      synopsis.push_back(&line == &blocks[next][0] ? line.text.substr(7) : line.text);
    }
    ++next;
  }
  if (next >= blocks.size() || blocks[next].size() != 1 || blocks[next][0].indent != 0)
    Refuse(next < blocks.size() ? blocks[next][0].number : 1, "expected the one-line summary");
  std::string summary = blocks[next][0].text;
  ++next;
  if (summary.back() == '.') summary.pop_back();
  // "Assesses protein models" reads "catena - assesses protein models"; an
  // acronym such as "ZO341" keeps its case.
  if (summary.size() > 1 && std::isupper(static_cast<unsigned char>(summary[0])) &&
      std::islower(static_cast<unsigned char>(summary[1])))
    summary[0] = static_cast<char>(std::tolower(static_cast<unsigned char>(summary[0])));

  std::string out = ".TH " + Upper(info.name) + " " + info.section + " " + info.date + " \"fold_assess " +
                    info.version + "\" \"Fold assessment suite\"\n";
  Writer writer(out);
  writer.Section("Name");
  writer.Text(info.name + " - " + summary);
  if (!synopsis.empty()) {
    writer.Section("Synopsis");
    out += ".nf\n";
    for (const std::string& line : synopsis) writer.Verbatim_Text(line);
    out += ".fi\n";
  }
  bool in_section = false;
  for (; next < blocks.size(); ++next) {
    Block block = blocks[next];
    if (Is_Heading(block)) {
      writer.Section(block[0].text.substr(0, block[0].text.size() - 1));
      block.erase(block.begin());
      in_section = true;
    } else if (!in_section) {
      writer.Section("Description");
      in_section = true;
    }
    bool all_flush = true, all_deep = true;
    for (const Line& line : block) {
      all_flush = all_flush && line.indent == 0;
      all_deep = all_deep && line.indent >= 4;
    }
    if (all_flush) {
      writer.Paragraph();
      for (const Line& line : block) writer.Text(line.text);
    } else if (all_deep) {
      writer.Verbatim(block);
    } else {
      Write_Indented(writer, block);
    }
  }
  return out;
}

}  // namespace man
