#include "catena/pipeline.hpp"

#include <cstdio>
#include <filesystem>
#include <memory>

#include "combine/score_file.hpp"
#include "combine/z_score.hpp"
#include "combine/zo341.hpp"
#include "common/fatal_error.hpp"
#include "common/files.hpp"
#include "common/format.hpp"
#include "common/model_files.hpp"
#include "common/scan.hpp"
#include "common/step.hpp"
#include "descriptors/alignment.hpp"
#include "descriptors/chain_length.hpp"
#include "descriptors/compactness.hpp"
#include "energy/energy_tool.hpp"
#include "energy/residue_profile.hpp"
#include "pg/pg_step.hpp"
#include "structure/structure_tool.hpp"
#include "structure/virtual_cb.hpp"

namespace catena {
namespace {

namespace fs = std::filesystem;

// A stdio stream that collects what is written to it.
class Memory_Stream {
 public:
  Memory_Stream() : file_(open_memstream(&buffer_, &size_)) {
    if (!file_) throw std::bad_alloc();
  }
  ~Memory_Stream() {
    if (file_) std::fclose(file_);
    std::free(buffer_);
  }
  Memory_Stream(const Memory_Stream&) = delete;
  Memory_Stream& operator=(const Memory_Stream&) = delete;
  std::FILE* get() const { return file_; }
  std::string Text() {
    std::fflush(file_);
    return std::string(buffer_, size_);
  }

 private:
  char* buffer_ = nullptr;
  std::size_t size_ = 0;
  std::FILE* file_;
};

// A stdio stream reading a text, so that the programs' own readers apply.
common::File Text_Stream(const std::string& text) {
  common::File file(fmemopen(const_cast<char*>(text.data()), text.size(), "r"));
  if (!file) throw std::bad_alloc();
  return file;
}

std::string Trimmed(const std::string& text) {
  const auto begin = text.find_first_not_of(" \t\n");
  if (begin == std::string::npos) return {};
  return text.substr(begin, text.find_last_not_of(" \t\n") - begin + 1);
}

}  // namespace

std::string One_Line(const std::string& text) {
  std::string line;
  std::size_t start = 0;
  while (start <= text.size()) {
    std::size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    const std::string part = Trimmed(text.substr(start, end - start));
    if (!part.empty()) line += (line.empty() ? "" : "; ") + part;
    start = end + 1;
  }
  return line;
}

namespace {

// Score lines as sigmara and blendora read them.
std::vector<double> Read_Scores(const std::string& text, std::size_t count, const std::string& name) {
  const common::File stream = Text_Stream(text);
  return combine::Read_Score_Lines(stream.get(), count, name);
}

combine::Potential_Energies Energies(const std::string& native, const std::string& random, const std::string& stem) {
  combine::Potential_Energies energies;
  energies.native = Read_Scores(native, 1, stem + ".native").front();
  const std::vector<double> shuffled = Read_Scores(random, combine::kShuffleCount, stem + ".random");
  std::copy(shuffled.begin(), shuffled.end(), energies.shuffled.begin());
  return energies;
}

struct Energy_Texts {
  std::string native;
  std::string random;
};

Energy_Texts Run_Energy_Tool(const energy::Energy_Tool& tool, const structure::Atom_List& chain,
                             const energy::MFP_Table& table, const Shared_Inputs& shared, const std::string& model,
                             char chain_id) {
  structure::Atom_List list;
  try {
    list = energy::Prepare_Structure(tool, chain.Copy(), model, chain_id);
  } catch (const common::Fatal_Error&) {
    // The programs keep their own message; catena names the glycine.
    if (const auto glycine = structure::Glycine_Without_Backbone(chain))
      common::Fail(common::kNoEnding, "%s", glycine->c_str());
    throw;
  }
  energy::Energy_Profile_Run run(tool, list, table);
  const energy::Seed_Source seeds{shared.seed};
  const energy::Profile_Energies energies = run.Profile([&seeds] { return seeds.Next(); });
  Energy_Texts texts;
  texts.native = energy::Energy_File_Line(energies.native);
  texts.random = energy::Shuffled_Energies_Text(energies.shuffled);
  return texts;
}

// Reads the job's chain as the structure programs read it.
structure::Atom_List Read_Chain(const Shared_Inputs& shared, const Model_Job& job, const structure::Reader_Io& io,
                                Model_Result& result) {
  const std::optional<std::string> text = Model_Text(job.model, shared.standard_input);
  if (!text) {
    std::fprintf(io.out, "Can not open %s\n", job.model.c_str());
    if (io.log) std::fprintf(io.log, "Can not open %s\n", job.model.c_str());
    common::Fail(common::kExitPeriod, "file not found '%s'.", job.model.c_str());
  }
  char chain = job.chain.empty() ? '_' : job.chain.front();
  if (job.chain == kFirstChain) {
    const std::string chains = structure::Model_Chains(*text, job.model_number);
    if (!chains.empty()) chain = chains.front();
  }
  result.chain = std::string(1, chain);
  if (job.model_number != 0) {
    result.model_number = std::to_string(job.model_number);
  } else if (text->find("MODEL") != std::string::npos) {
    const std::vector<int> numbers = structure::Model_Numbers(*text);
    if (!numbers.empty()) result.model_number = std::to_string(numbers.front());
  }
  structure::Atom_List list;
  structure::Read_Summary summary;
  structure::Read_PDB_Text(job.model, *text, {chain, job.model_number}, list, structure::Get_AA_Type, io, &summary);
  structure::Require_Atoms(list, summary, job.model, chain);
  return list;
}

void Assess(const Shared_Inputs& shared, const Model_Job& job, const std::string& keep_folder, std::FILE* reader_out,
            std::FILE* reader_log, Model_Result& result) {
  const std::string stem = job.model == "-" ? "stdin" : fs::path(job.model).filename().string();
  auto add = [&](const std::string& suffix, const std::string& text) {
    result.files.emplace_back(stem + suffix, text);
  };

  const structure::Reader_Io io{reader_out, reader_log,
                                keep_folder.empty() ? std::string() : (fs::path(keep_folder) / "pdbfile.tmp").string()};
  const structure::Atom_List chain = Read_Chain(shared, job, io, result);
  const char chain_id = result.chain.front();

  const Energy_Texts pair = Run_Energy_Tool(energy::kPairTool, chain, shared.pair_table, shared, job.model, chain_id);
  add(".vicina.native", pair.native);
  add(".vicina.random", pair.random);
  const Energy_Texts surface =
      Run_Energy_Tool(energy::kSurfaceTool, chain, shared.surface_table, shared, job.model, chain_id);
  add(".exposa.native", surface.native);
  add(".exposa.random", surface.random);
  result.pair_energy = Trimmed(pair.native);
  result.surface_energy = Trimmed(surface.native);
  if (shared.residue_profile)
    result.profile = energy::Compute_Residue_Profile(chain, shared.pair_table, shared.surface_table);

  const std::string length = descriptors::Length_File_Line(descriptors::Chain_Length(chain.first));
  const std::string compactness = descriptors::Compactness_File_Line(descriptors::Compactness(chain.first));
  add(".length", length);
  add(".compactness", compactness);
  result.length = Trimmed(length);
  result.compactness = Trimmed(compactness);

  namespace files = common::model_files;
  auto add_files = [&](const std::vector<common::Step_File>& step_files) {
    for (const common::Step_File& file : step_files) add(file.suffix, file.text);
  };
  const auto z = combine::Z_Score_Step(Energies(pair.native, pair.random, stem + ".vicina"),
                                       Energies(surface.native, surface.random, stem + ".exposa"));
  add_files(z.files);
  result.z_combined = Trimmed(z.Text(files::kZScore));
  result.z_pair = Trimmed(z.Text(files::kPairZScore));
  result.z_surface = Trimmed(z.Text(files::kSurfaceZScore));

  std::optional<std::string> identity_text;
  if (job.alignment) {
    const Identity_Files& identity_files = shared.alignments.at(*job.alignment);
    if (identity_files.kinrate_file) result.files.push_back(*identity_files.kinrate_file);
    identity_text = identity_files.percent_text;
  } else if (job.identity) {
    identity_text = *job.identity + "\n";
  }
  if (!identity_text) return;
  add(std::string(files::kIdentity), *identity_text);
  result.identity = Trimmed(*identity_text);

  const auto zo341 =
      combine::ZO341_Step(z.value.zscore, common::Filed_Number(compactness), common::Filed_Number(*identity_text));
  add_files(zo341.files);
  result.zo341 = Trimmed(zo341.Text(files::kZO341));

  const auto verdict = pg::pG_Step(shared.cpdf, zo341.value, common::Filed_Number(length), stem);
  add_files(verdict.files);
  if (!verdict.value.records.empty()) {
    const pg::Record_Verdict& model_verdict = verdict.value.records.back();
    result.pG = Trimmed(pg::pG_Text(model_verdict.pG));
    result.winning_class = model_verdict.winning_class;
  }
}

}  // namespace

std::string Identity_Percent_Text(const std::string& kinrate_text) {
  return common::Format("%.2f\n", common::Scan_Double(kinrate_text).value_or(0.0) * 100.0);
}

Shared_Inputs Load_Shared_Inputs(const Options& options, const std::vector<Model_Job>& jobs, unsigned seed) {
  Shared_Inputs shared;
  shared.seed = seed;
  shared.pair_table = energy::Load_Potential(energy::Pair_Table_Shape(), options.pair_potential);
  shared.surface_table = energy::Load_Potential(energy::Surface_Table_Shape(), options.surface_potential);
  shared.cpdf = pg::Read_cPDF_Table_File(options.table, stderr);
  if (shared.cpdf.feat_num != 2)
    common::Fail(common::kNoEnding,
                 "the cPDF table '%s' has %d features; catena needs 2 (1 - ZO341, then the chain length)",
                 options.table.c_str(), shared.cpdf.feat_num);
  for (const Model_Job& job : jobs) {
    if (!job.alignment || shared.alignments.count(*job.alignment)) continue;
    Memory_Stream notes;  // kinrate's two notes on reading the second sequence
    const double fraction = descriptors::Alignment_Identity(*job.alignment, notes.get());
    const std::string kinrate_text = descriptors::Identity_File_Line(fraction);
    Identity_Files& files = shared.alignments[*job.alignment];
    files.kinrate_file.emplace(fs::path(*job.alignment).filename().string() + ".seq_ide", kinrate_text);
    files.percent_text = Identity_Percent_Text(kinrate_text);
  }
  return shared;
}

Model_Result Assess_Model(const Shared_Inputs& shared, const Model_Job& job, const std::string& keep_folder) {
  Model_Result result;
  result.model = job.model;
  result.chain = job.chain.empty() ? "" : job.chain;
  if (job.model_number != 0) result.model_number = std::to_string(job.model_number);
  result.seed = std::to_string(shared.seed);
  Memory_Stream out;
  Memory_Stream log;
  try {
    Assess(shared, job, keep_folder, out.get(), log.get(), result);
  } catch (const common::Fatal_Error& error) {
    // What the readers printed before failing leads the message; the
    // program's closing words do not apply, as catena goes on.
    result.error = One_Line(out.Text() + error.Message());
  } catch (const std::bad_alloc&) {
    result.error = "cannot allocate memory";
  }
  result.files.emplace_back("log", log.Text());
  if (!result.error.empty()) {
    result.length = result.compactness = result.pair_energy = result.surface_energy = "";
    result.z_pair = result.z_surface = result.z_combined = result.identity = result.zo341 = result.pG = "";
    result.winning_class = "";
    result.profile.reset();
  }
  return result;
}

}  // namespace catena
