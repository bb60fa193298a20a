#include "trainer/structure_list.hpp"

#include <cstdio>
#include <filesystem>
#include <sstream>

#include "common/fatal_error.hpp"
#include "common/files.hpp"
#include "common/format.hpp"
#include "structure/residues.hpp"
#include "structure/structure_tool.hpp"

namespace trainer {

std::vector<List_Entry> Read_Structure_List(const std::string& list_path, const std::optional<std::string>& base) {
  const std::optional<std::string> text = common::Read_Whole_File(list_path);
  if (!text) common::Fail(common::kLineEnd, "cannot read the structure list '%s'", list_path.c_str());
  const std::filesystem::path folder =
      base ? std::filesystem::path(*base) : std::filesystem::path(list_path).parent_path();

  std::vector<List_Entry> entries;
  std::istringstream lines(*text);
  std::string line;
  for (std::size_t number = 1; std::getline(lines, line); ++number) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty() || line.front() == '#') continue;
    List_Entry entry;
    entry.line = number;
    const std::size_t tab = line.find('\t');
    entry.path = line.substr(0, tab);
    if (tab != std::string::npos) {
      const std::string chain = line.substr(tab + 1);
      if (chain.size() != 1 || chain == "\t")
        common::Fail(common::kLineEnd,
                     "%s:%zu: the chain after the tab must be one character ('_' for a blank chain), not '%s'",
                     list_path.c_str(), number, chain.c_str());
      entry.chain = chain.front() == ' ' ? '_' : chain.front();
    }
    if (entry.path.empty() || entry.path.find_first_not_of(' ') == std::string::npos)
      common::Fail(common::kLineEnd, "%s:%zu: the line has no structure path", list_path.c_str(), number);
    const std::filesystem::path path(entry.path);
    entry.file = path.is_absolute() ? entry.path : (folder / path).string();
    entries.push_back(std::move(entry));
  }
  if (entries.empty())
    common::Fail(common::kLineEnd, "the structure list '%s' names no structure: nothing to train on",
                 list_path.c_str());
  return entries;
}

char First_Atom_Chain(const std::string& content) {
  std::istringstream lines(content);
  std::string line;
  while (std::getline(lines, line)) {
    if (line.rfind("ATOM", 0) != 0) continue;
    return line.size() > 21 && line[21] != ' ' ? line[21] : '_';
  }
  return '_';
}

char Entry_Chain(const List_Entry& entry) {
  if (entry.chain) return *entry.chain;
  const std::optional<std::string> content = common::Read_Whole_File(entry.file);
  if (!content)
    common::Fail(common::kLineEnd, "line %zu ('%s'): cannot read the structure file '%s'", entry.line,
                 entry.path.c_str(), entry.file.c_str());
  return First_Atom_Chain(*content);
}

std::string Entry_Category(const List_Entry& entry) {
  const std::size_t slash = entry.path.find('/');
  return slash == std::string::npos ? std::string() : entry.path.substr(0, slash);
}

structure::Atom_List Read_Entry_Chain(const List_Entry& entry, char chain) {
  try {
    // Atom types are set by whoever scores the chain; the reader's are unused.
    return structure::Load_Chain({entry.file, std::string(1, chain)}, structure::Get_AA_Type, {stderr, nullptr, ""});
  } catch (const common::Fatal_Error& error) {
    throw error.Prefixed(common::Format("line %zu ('%s'): ", entry.line, entry.path.c_str()));
  }
}

}  // namespace trainer
