#include "catena/pipeline.hpp"

#include <cstdio>
#include <filesystem>
#include <memory>

#include "combine/z_score.hpp"
#include "combine/zo341.hpp"
#include "common/fatal_error.hpp"
#include "common/files.hpp"
#include "common/model_files.hpp"
#include "common/sha256.hpp"
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
namespace model_files = common::model_files;

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

// The Z-scores take the energies as the energy files give them.
combine::Potential_Energies Potential(const energy::Energy_Values& energies) {
  combine::Potential_Energies potential;
  potential.native = energies.filed.native;
  std::copy(energies.filed.shuffled.begin(), energies.filed.shuffled.end(), potential.shuffled.begin());
  return potential;
}

// Runs `step`; a failure names the glycine that has no virtual beta carbon,
// where the programs keep their own message.
template <typename Step>
auto Naming_Glycine(const structure::Atom_List& chain, Step&& step) {
  try {
    return step();
  } catch (const common::Fatal_Error&) {
    if (const auto glycine = structure::Glycine_Without_Backbone(chain))
      common::Fail(common::kNoEnding, "%s", glycine->c_str());
    throw;
  }
}

// Reads the job's chain as the structure programs read it. The record takes
// the chain and model read before reading, so a failure still names them.
structure::Atom_List Read_Job_Chain(const Shared_Inputs& shared, const Model_Job& job, const structure::Reader_Io& io,
                                    Model_Result& result) {
  const std::optional<std::string> text = Model_Text(job.model, shared.standard_input);
  char chain = job.chain.empty() ? '_' : job.chain.front();
  if (text) {
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
  }
  return structure::Read_Chain(job.model, text, {chain, job.model_number}, structure::Get_AA_Type, io);
}

void Assess(const Shared_Inputs& shared, const Model_Job& job, const std::string& keep_folder, std::FILE* reader_out,
            std::FILE* reader_log, Model_Result& result) {
  const std::string stem = job.model == "-" ? "stdin" : fs::path(job.model).filename().string();
  auto add = [&](const std::string& suffix, const std::string& text) {
    result.files.emplace_back(model_files::Name(stem, suffix), text);
  };
  auto add_files = [&](const std::vector<common::Step_File>& files) {
    for (const common::Step_File& file : files) add(file.suffix, file.text);
  };

  const structure::Reader_Io io{reader_out, reader_log,
                                keep_folder.empty() ? std::string() : (fs::path(keep_folder) / "pdbfile.tmp").string(),
                                true};
  const structure::Atom_List chain = Read_Job_Chain(shared, job, io, result);
  const char chain_id = result.chain.front();
  // Length and compactness walk the whole chain: taken while it is still in
  // the caches, before the energies' tables push it out. Their files follow
  // the energies' as before.
  const common::Step_Result<double> length = descriptors::Length_Step(chain);
  const common::Step_Result<double> compactness = descriptors::Compactness_Step(chain);

  // The surface tool's atoms (CB) are a subset of the pair tool's (CA and CB):
  // the chain is copied (the atoms those and the virtual beta carbons need) and
  // given virtual beta carbons once. Each step's files are kept as soon as it
  // succeeds, as the programs run one after the other would leave them when a
  // later one fails. The seed is the same for every shuffle, so the surface
  // step takes on the pair step's shuffles whenever its sequence is the same.
  // A profile notes each atom's residue while the chain is prepared and takes
  // on both steps' geometry.
  const energy::Seed_Source seeds{shared.seed};
  const energy::Profiled_Structure pair_structure = Naming_Glycine(chain, [&] {
    structure::Atom_List copy = structure::Copy_For_Beta_Carbons(chain);
    if (shared.residue_profile) return energy::Prepare_Profiled_Structure(std::move(copy), job.model, chain_id);
    return energy::Profiled_Structure{
        energy::Prepare_Structure(energy::kPairTool, std::move(copy), job.model, chain_id), {}};
  });
  const structure::Atom_List& pair_atoms = pair_structure.atoms;
  const auto pair = Naming_Glycine(
      chain, [&] { return energy::Prepared_Energy_Step(energy::kPairTool, pair_atoms, shared.pair_table, seeds); });
  add_files(pair.files);
  const structure::Atom_List surface_atoms =
      energy::Narrow_Prepared_Structure(energy::kSurfaceTool, pair_atoms, job.model, chain_id);
  const auto surface = Naming_Glycine(chain, [&] {
    return energy::Prepared_Energy_Step(energy::kSurfaceTool, surface_atoms, shared.surface_table, seeds,
                                        pair.value.drawn);
  });
  add_files(surface.files);
  result.pair_energy = Trimmed(pair.Text(model_files::kPairNative));
  result.surface_energy = Trimmed(surface.Text(model_files::kSurfaceNative));
  if (shared.residue_profile)
    result.profile = energy::Compute_Residue_Profile(chain, pair_structure, *pair.value.evaluator,
                                                     *surface.value.evaluator, shared.pair_table, shared.surface_table);

  add_files(length.files);
  add_files(compactness.files);
  result.length = Trimmed(length.Text(model_files::kLength));
  result.compactness = Trimmed(compactness.Text(model_files::kCompactness));

  const auto z = combine::Z_Score_Step(Potential(pair.value), Potential(surface.value));
  add_files(z.files);
  result.z_combined = Trimmed(z.Text(model_files::kZScore));
  result.z_pair = Trimmed(z.Text(model_files::kPairZScore));
  result.z_surface = Trimmed(z.Text(model_files::kSurfaceZScore));

  std::optional<std::string> identity_text;
  if (job.alignment) {
    const common::Step_Result<descriptors::Identity>& identity = shared.alignments.at(*job.alignment);
    result.files.emplace_back(model_files::Name(fs::path(*job.alignment).filename().string(), model_files::kIdentity),
                              identity.Text(model_files::kIdentity));
    identity_text = identity.value.percent_line;
  } else if (job.identity) {
    identity_text = *job.identity + "\n";
  }
  if (!identity_text) return;
  add(std::string(model_files::kIdentity), *identity_text);
  result.identity = Trimmed(*identity_text);

  // blendora reads the identity as NAME.seq_ide prints it.
  const auto zo341 = combine::ZO341_Step(z.value.zscore, compactness.value, common::Filed_Number(*identity_text));
  add_files(zo341.files);
  result.zo341 = Trimmed(zo341.Text(model_files::kZO341));

  const auto verdict = pg::pG_Step(shared.cpdf, zo341.value, length.value, stem);
  add_files(verdict.files);
  if (!verdict.value.records.empty()) {
    const pg::Record_Verdict& model_verdict = verdict.value.records.back();
    result.pG = Trimmed(pg::pG_Text(model_verdict.pG));
    result.winning_class = model_verdict.winning_class;
  }
}

}  // namespace

Shared_Inputs Load_Shared_Inputs(const Options& options, const std::vector<Model_Job>& jobs, unsigned seed) {
  Shared_Inputs shared;
  shared.seed = seed;
  // A table that is not a regular file (a pipe such as <(zcat ...)) is read
  // once, hashed, and loaded from that text.
  const auto piped = [&](const std::string& path) -> std::optional<std::string> {
    std::error_code error;
    if (std::filesystem::is_regular_file(path, error)) return std::nullopt;
    std::optional<std::string> text = common::Read_Whole_File(path);
    if (text) shared.read_digests[path] = common::Sha256_Hex(*text);
    return text;
  };
  const auto potential = [&](energy::MFP_Table shape, const std::string& path) {
    if (const auto text = piped(path)) return energy::Load_Potential_Text(std::move(shape), path, *text);
    return energy::Load_Potential(std::move(shape), path);
  };
  shared.pair_table = potential(energy::Pair_Table_Shape(), options.pair_potential);
  shared.surface_table = potential(energy::Surface_Table_Shape(), options.surface_potential);
  const auto cpdf_text = piped(options.table);
  shared.cpdf =
      cpdf_text ? pg::Read_cPDF_Table_Text(*cpdf_text, stderr) : pg::Read_cPDF_Table_File(options.table, stderr);
  if (shared.cpdf.feat_num != 2)
    common::Fail(common::kNoEnding,
                 "the cPDF table '%s' has %d features; catena needs 2 (1 - ZO341, then the chain length)",
                 options.table.c_str(), shared.cpdf.feat_num);
  for (const Model_Job& job : jobs) {
    if (!job.alignment || shared.alignments.count(*job.alignment)) continue;
    Memory_Stream notes;  // kinrate's two notes on reading the second sequence
    shared.alignments.emplace(*job.alignment, descriptors::Identity_Step(*job.alignment, notes.get()));
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
