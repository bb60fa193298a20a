#include "trainer/backbone_models.hpp"

#include <cstdio>
#include <cstring>
#include <memory>

#include "common/fatal_error.hpp"
#include "common/format.hpp"
#include "structure/residues.hpp"
#include "structure/virtual_cb.hpp"

namespace trainer {
namespace {

structure::Atom_Record Atom_At(const Point& p) {
  structure::Atom_Record atom;
  atom.x = p[0];
  atom.y = p[1];
  atom.z = p[2];
  return atom;
}

std::string_view Three_Letter(char code) {
  const std::size_t index = structure::aa_1_letter.find(code);
  if (index == std::string_view::npos) common::Fail(common::kLineEnd, "no residue has the one-letter code '%c'", code);
  return structure::aa_3_letter[index];
}

}  // namespace

Backbone Backbone_Of(const structure::Atom_List& chain) {
  Backbone backbone;
  const structure::Atom_Record* atom = chain.first;
  while (atom) {
    const int number = atom->aa_number;
    Backbone_Residue residue;
    residue.code = atom->aa_code;
    int found = 0;
    for (; atom && atom->aa_number == number; atom = atom->next) {
      const Point p{atom->x, atom->y, atom->z};
      const std::string& name = atom->atom_name;
      if (name == "N") residue.n = p, found |= 1;
      if (name == "CA") residue.ca = p, found |= 2;
      if (name == "C") residue.c = p, found |= 4;
      if (name == "O") residue.o = p, found |= 8;
      if (name == "CB") residue.cb = p;
    }
    if (found == 15) backbone.push_back(residue);
  }
  return backbone;
}

std::string Sequence_Of(const Backbone& backbone) {
  std::string sequence;
  for (const Backbone_Residue& residue : backbone) sequence += residue.code;
  return sequence;
}

Backbone Thread(const Backbone& templ, std::string_view query, const Residue_Pairs& pairs) {
  Backbone model;
  for (const auto& [q, t] : pairs) {
    Backbone_Residue residue = templ.at(t);
    residue.code = query.at(q);
    if (residue.code == 'G') {
      residue.cb.reset();
    } else if (!residue.cb) {
      structure::Atom_Record cb;
      structure::Get_Coordinates_CB(cb, Atom_At(residue.n), Atom_At(residue.ca), Atom_At(residue.c));
      residue.cb = Point{cb.x, cb.y, cb.z};
    }
    model.push_back(residue);
  }
  return model;
}

double Pair_Identity(std::string_view query, std::string_view templ, const Residue_Pairs& pairs) {
  if (pairs.empty()) return 0;
  std::size_t same = 0;
  for (const auto& [q, t] : pairs) same += query.at(q) == templ.at(t) ? 1 : 0;
  return 100.0 * static_cast<double>(same) / static_cast<double>(pairs.size());
}

Residue_Pairs Pairs_From_Rows(std::string_view query_row, std::string_view template_row) {
  if (query_row.size() != template_row.size())
    common::Fail(common::kLineEnd, "the two rows of an alignment differ in length");
  Residue_Pairs pairs;
  std::size_t q = 0, t = 0;
  for (std::size_t i = 0; i < query_row.size(); ++i) {
    const bool in_query = query_row[i] != '-', in_template = template_row[i] != '-';
    if (in_query && in_template) pairs.emplace_back(q, t);
    q += in_query ? 1 : 0;
    t += in_template ? 1 : 0;
  }
  return pairs;
}

std::string Model_Pdb_Text(const Backbone& model) {
  std::string text;
  int serial = 0;
  for (std::size_t i = 0; i < model.size(); ++i) {
    const Backbone_Residue& residue = model[i];
    const std::string_view name = Three_Letter(residue.code);
    auto atom = [&](const char* atom_name, const Point& p) {
      text += common::Format("ATOM  %5d  %-3s %.3s A%4zu    %8.3f%8.3f%8.3f  1.00  0.00           %c\n", ++serial,
                             atom_name, name.data(), i + 1, p[0], p[1], p[2], atom_name[0]);
    };
    atom("N", residue.n);
    atom("CA", residue.ca);
    atom("C", residue.c);
    atom("O", residue.o);
    if (residue.cb) atom("CB", *residue.cb);
  }
  return text + "TER\nEND\n";
}

Structure_Alignment Parse_TMalign_Report(const std::string& report) {
  Structure_Alignment result;
  bool have_score = false;
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (start < report.size()) {
    std::size_t end = report.find('\n', start);
    if (end == std::string::npos) end = report.size();
    lines.push_back(report.substr(start, end - start));
    start = end + 1;
  }
  for (std::size_t i = 0; i < lines.size(); ++i) {
    double score = 0;
    if (std::sscanf(lines[i].c_str(), "TM-score= %lf", &score) == 1 && lines[i].find("Chain_2") != std::string::npos) {
      result.tm_score = score;
      have_score = true;
    }
    if (lines[i].find("denotes") != std::string::npos && i + 3 < lines.size()) {
      result.first_row = lines[i + 1];
      result.second_row = lines[i + 3];
    }
  }
  if (!have_score || result.first_row.empty() || result.first_row.size() != result.second_row.size())
    common::Fail(common::kLineEnd, "TMalign gave no TM-score or no alignment");
  return result;
}

Structure_Alignment Run_TMalign(const std::string& program, const std::string& first, const std::string& second) {
  const std::string command = "'" + program + "' '" + first + "' '" + second + "' 2>&1";
  struct Pipe_Closer {
    void operator()(std::FILE* pipe) const { pclose(pipe); }
  };
  std::unique_ptr<std::FILE, Pipe_Closer> pipe(popen(command.c_str(), "r"));
  if (!pipe) common::Fail(common::kLineEnd, "cannot run %s", program.c_str());
  std::string report;
  char buffer[4096];
  std::size_t read = 0;
  while ((read = std::fread(buffer, 1, sizeof buffer, pipe.get())) > 0) report.append(buffer, read);
  try {
    return Parse_TMalign_Report(report);
  } catch (const common::Fatal_Error&) {
    common::Fail(common::kLineEnd, "%s %s %s gave no TM-score or no alignment (is Debian's tm-align installed?)",
                 program.c_str(), first.c_str(), second.c_str());
  }
}

}  // namespace trainer
