#include "catena/inputs.hpp"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <map>

#include "common/fatal_error.hpp"
#include "common/files.hpp"
#include "common/format.hpp"
#include "common/scan.hpp"
#include "structure/pdb_reader.hpp"
#include "structure/structure_text.hpp"

namespace catena {
namespace {

namespace fs = std::filesystem;

bool Ends_With(const std::string& text, std::string_view suffix) {
  return text.size() >= suffix.size() && text.compare(text.size() - suffix.size(), suffix.size(), suffix) == 0;
}

bool Is_Structure_File_Name(std::string name) {
  std::transform(name.begin(), name.end(), name.begin(), [](unsigned char c) { return std::tolower(c); });
  if (Ends_With(name, ".gz")) name.resize(name.size() - 3);
  for (const char* extension : {".pdb", ".ent", ".cif", ".mmcif"})
    if (Ends_With(name, extension)) return true;
  return false;
}

struct Column_Layout {
  int chain = -1, alignment = -1, identity = -1;
  std::size_t count = 1;
};

Column_Layout Read_Header(const std::vector<std::string>& names, const std::string& where) {
  Column_Layout layout;
  layout.count = names.size();
  for (std::size_t i = 1; i < names.size(); ++i) {
    int* column = names[i] == "chain"       ? &layout.chain
                  : names[i] == "alignment" ? &layout.alignment
                  : names[i] == "identity"  ? &layout.identity
                                            : nullptr;
    if (!column)
      common::Fail(common::kNoEnding, "%s: unknown column '%s' (the columns are model, chain, alignment, identity)",
                   where.c_str(), names[i].c_str());
    if (*column >= 0)
      common::Fail(common::kNoEnding, "%s: the column '%s' is named twice", where.c_str(), names[i].c_str());
    *column = static_cast<int>(i);
  }
  return layout;
}

std::string Folder_Base(const std::string& model) {
  return model == "-" ? "stdin" : fs::path(model).filename().string();
}

}  // namespace

std::string Parse_Chain_Choice(const std::string& text, const std::string& where) {
  if (text.size() == 1 && text != " ") return text;
  if (text == kAllChains) return text;
  common::Fail(common::kNoEnding, "%s must be one character ('_' for a blank chain) or 'all', not '%s'", where.c_str(),
               text.c_str());
}

std::string Parse_Identity(const std::string& text, const std::string& where) {
  const std::size_t point = text.find('.');
  const std::string whole = text.substr(0, point);
  const std::string fraction = point == std::string::npos ? "" : text.substr(point + 1);
  auto digits = [](const std::string& part) {
    return std::all_of(part.begin(), part.end(), [](unsigned char c) { return std::isdigit(c); });
  };
  const bool decimal = digits(whole) && digits(fraction) && !(whole.empty() && fraction.empty());
  const double value = decimal ? std::strtod(text.c_str(), nullptr) : -1.0;
  if (!decimal || value > 100.0)
    common::Fail(common::kNoEnding, "%s must be a percentage from 0 to 100, not '%s'", where.c_str(), text.c_str());
  return common::Format("%.2f", value);
}

std::vector<List_Entry> Parse_Model_List(std::string_view text, const std::string& list_name) {
  std::vector<List_Entry> entries;
  std::optional<Column_Layout> layout;
  bool named = false;
  std::size_t number = 0;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find('\n', start);
    if (end == std::string_view::npos) end = text.size();
    std::string_view line = text.substr(start, end - start);
    start = end + 1;
    ++number;
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (line.empty() || line.front() == '#' || line.find_first_not_of(" \t") == std::string_view::npos) continue;
    const std::string where = common::Format("line %zu of the list '%s'", number, list_name.c_str());
    const std::vector<std::string> fields = common::Split_Tabs(line);
    if (!layout) {
      layout.emplace();
      if (fields.front() == "model") {
        layout = Read_Header(fields, where);
        named = true;
        continue;
      }
    }
    if (fields.size() > layout->count && !named)
      common::Fail(common::kNoEnding,
                   "%s has %zu columns: name them in a header line (model, chain, alignment, identity)", where.c_str(),
                   fields.size());
    if (fields.size() > layout->count)
      common::Fail(common::kNoEnding, "%s has %zu columns; the header names %zu", where.c_str(), fields.size(),
                   layout->count);
    auto field = [&](int column) -> std::string {
      return column >= 0 && static_cast<std::size_t>(column) < fields.size() ? fields[column] : std::string();
    };
    List_Entry entry;
    entry.model = fields.front();
    if (entry.model.empty()) common::Fail(common::kNoEnding, "%s names no model", where.c_str());
    if (const std::string chain = field(layout->chain); !chain.empty())
      entry.chain = Parse_Chain_Choice(chain, "the chain on " + where);
    if (const std::string alignment = field(layout->alignment); !alignment.empty()) entry.alignment = alignment;
    if (const std::string identity = field(layout->identity); !identity.empty())
      entry.identity = Parse_Identity(identity, "the identity on " + where);
    if (entry.alignment && entry.identity)
      common::Fail(common::kNoEnding, "%s gives an alignment and an identity", where.c_str());
    entries.push_back(std::move(entry));
  }
  return entries;
}

std::vector<std::string> Structure_Files_In(const std::string& directory) {
  std::vector<std::string> names;
  std::error_code error;
  for (const fs::directory_entry& entry : fs::directory_iterator(directory, error)) {
    const std::string name = entry.path().filename().string();
    if (!entry.is_directory(error) && Is_Structure_File_Name(name)) names.push_back(name);
  }
  if (error)
    common::Fail(common::kNoEnding, "cannot read the directory '%s': %s", directory.c_str(), error.message().c_str());
  std::sort(names.begin(), names.end());
  for (std::string& name : names) name = (fs::path(directory) / name).string();
  return names;
}

std::optional<std::string> Model_Text(const std::string& model,
                                      const std::shared_ptr<const std::string>& standard_input) {
  if (model == "-" && standard_input) return structure::Structure_Text(*standard_input, model);
  return structure::Load_Structure_Text(model);
}

std::vector<Model_Job> Plan_Jobs(const Options& options, const std::shared_ptr<const std::string>& standard_input) {
  std::vector<Model_Job> jobs;
  auto add = [&](const std::string& model, const std::string& row_chain, std::optional<std::string> alignment,
                 std::optional<std::string> identity) {
    Model_Job job;
    job.model = model;
    job.chain = row_chain.empty() ? options.chain : row_chain;
    job.folder = Folder_Base(model);
    if (!alignment && !identity) {
      alignment = options.alignment;
      identity = options.identity;
    }
    job.alignment = std::move(alignment);
    job.identity = std::move(identity);
    const bool all_chains = job.chain == kAllChains;
    if (!all_chains && !options.all_models) {
      jobs.push_back(job);
      return;
    }
    // Expanding needs the structure; one that cannot be read fails as a
    // single record with the reader's message.
    std::optional<std::string> text;
    try {
      text = Model_Text(model, standard_input);
    } catch (const common::Fatal_Error&) {
    }
    if (all_chains) job.chain = kFirstChain;
    if (!text) {
      jobs.push_back(job);
      return;
    }
    std::vector<int> models = options.all_models ? structure::Model_Numbers(*text) : std::vector<int>{};
    if (models.empty()) models.push_back(0);
    for (const int number : models) {
      const std::string chains = all_chains ? structure::Model_Chains(*text, number) : job.chain;
      for (std::size_t i = 0; i < std::max<std::size_t>(chains.size(), 1); ++i) {
        Model_Job one = job;
        one.model_number = number;
        if (i < chains.size()) one.chain = std::string(1, chains[i]);
        if (all_chains) one.folder += "_" + one.chain;
        if (number != 0) one.folder += "_model" + std::to_string(number);
        jobs.push_back(std::move(one));
      }
    }
  };
  for (const std::string& model : options.models) {
    std::error_code error;
    if (model != "-" && fs::is_directory(model, error)) {
      const std::vector<std::string> files = Structure_Files_In(model);
      if (files.empty())
        common::Fail(common::kNoEnding, "the directory '%s' holds no structure file (.pdb, .ent, .cif, .mmcif, .gz)",
                     model.c_str());
      for (const std::string& file : files) add(file, "", std::nullopt, std::nullopt);
    } else {
      add(model, "", std::nullopt, std::nullopt);
    }
  }
  for (const std::string& list : options.lists) {
    std::optional<std::string> text;
    if (list == "-") {
      if (standard_input) text = *standard_input;
    } else {
      text = common::Read_Whole_File(list);
    }
    if (!text) common::Fail(common::kNoEnding, "cannot read the list '%s'", list.c_str());
    for (List_Entry& entry : Parse_Model_List(*text, list == "-" ? "standard input" : list))
      add(entry.model, entry.chain, std::move(entry.alignment), std::move(entry.identity));
  }
  if (jobs.empty()) common::Fail(common::kNoEnding, "no model to assess: the lists are empty");
  return jobs;
}

}  // namespace catena
