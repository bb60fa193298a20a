#include "energy/energy_tool.hpp"

#include <charconv>
#include <cmath>
#include <cstdio>

#include "common/fatal_error.hpp"
#include "common/files.hpp"
#include "common/format.hpp"
#include "common/model_files.hpp"
#include "common/program.hpp"
#include "energy/pair_energy.hpp"
#include "energy/surface_energy.hpp"
#include "structure/structure_tool.hpp"
#include "structure/virtual_cb.hpp"

namespace energy {
namespace {

template <typename Geometry>
std::unique_ptr<Energy_Evaluator> Make(const structure::Atom_Record* first, const MFP_Table& table) {
  return std::make_unique<Geometry_Evaluator<Geometry>>(first, table);
}

}  // namespace

const Energy_Tool kPairTool = {"vicina",
                               "pair_ene",
                               common::model_files::kPairNative,
                               common::model_files::kPairRandom,
                               Pair_Table_Shape,
                               pair::Get_AA_CA_CB_Atom_Type,
                               pair::Keep_Only_Directly_Required_Atoms,
                               "CA or CB",
                               Make<pair::Pair_Geometry>};
const Energy_Tool kSurfaceTool = {"exposa",
                                  "exposa",
                                  common::model_files::kSurfaceNative,
                                  common::model_files::kSurfaceRandom,
                                  Surface_Table_Shape,
                                  structure::Get_AA_Type,
                                  surface::Keep_Only_Directly_Required_Atoms,
                                  "CB",
                                  Make<surface::Surface_Geometry>};

namespace {

// The tool's filter; refuses a structure with no atom left.
structure::Atom_List Keep_Tool_Atoms(const Energy_Tool& tool, structure::Atom_List list,
                                     const std::string& protein_name, char chain) {
  tool.keep_atoms(list);
  if (list.empty()) {
    const std::string kept(tool.kept_atoms);
    common::Fail(common::kExitPeriod, "no %s atom %s in '%s'.", kept.c_str(), structure::Chain_Label(chain).c_str(),
                 protein_name.c_str());
  }
  return list;
}

}  // namespace

structure::Atom_List Prepare_Structure(const Energy_Tool& tool, const std::string& protein_name, char chain,
                                       const structure::Reader_Io& io) {
  return Prepare_Structure(tool, structure::Load_Chain({protein_name, std::string(1, chain)}, tool.reader_type, io),
                           protein_name, chain);
}

structure::Atom_List Prepare_Structure(const Energy_Tool& tool, structure::Atom_List list,
                                       const std::string& protein_name, char chain) {
  structure::Build_Virtual_CB_for_Glycines(list);
  return Keep_Tool_Atoms(tool, std::move(list), protein_name, chain);
}

structure::Atom_List Narrow_Prepared_Structure(const Energy_Tool& tool, const structure::Atom_List& prepared,
                                               const std::string& protein_name, char chain) {
  // The residues of a prepared list are numbered in runs, as after the
  // virtual beta carbons, so the filter numbers them alike.
  return Keep_Tool_Atoms(tool, prepared.Copy(), protein_name, chain);
}

Energy_Profile_Run::Energy_Profile_Run(const Energy_Tool& tool, const structure::Atom_List& list,
                                       const MFP_Table& table)
    : evaluator_(tool.make_evaluator(list.first, table)), sequence_(Get_Protein_Sequence(list.first)) {
  // Threading gives every atom the code of its residue's record; residues are
  // the runs of equal residue numbers, numbered from 1.
  for (const structure::Atom_Record* atom = list.first; atom; atom = atom->next) {
    residue_of_atom_.push_back(static_cast<std::uint32_t>(atom->aa_number - 1));
    native_codes_.push_back(atom->aa_code);
  }
  atom_codes_.resize(native_codes_.size());
}

bool Drawn_Sequences::Same_Draw(std::span<const char> native_codes, std::size_t sequences,
                                const Seed_Source& seeds) const {
  // Every shuffle of the other run would have the fixed seed; a shuffle's keys
  // depend only on the seed and the number of residues, its permutation only
  // on the keys, so equal sequences shuffle alike.
  return seeds.fixed && seed == seeds.fixed && count == sequences &&
         std::equal(native.begin(), native.end(), native_codes.begin(), native_codes.end());
}

Profile_Energies Energy_Profile_Run::Profile(const std::function<unsigned()>& next_seed, int shuffles) {
  return Evaluate(Draw(next_seed, shuffles));
}

std::vector<char> Energy_Profile_Run::Sequence_Codes() const {
  std::vector<char> codes;
  codes.reserve(sequence_.size());
  for (const Sequence_Record& record : sequence_) codes.push_back(record.aa_code);
  return codes;
}

Drawn_Sequences Energy_Profile_Run::Draw(const std::function<unsigned()>& next_seed, int shuffles) {
  // Sequence 0 is the current one; each shuffle goes on from the previous.
  Drawn_Sequences drawn{Sequence_Codes(), static_cast<std::size_t>(shuffles) + 1, {}, {}};
  const std::size_t count = drawn.count;
  const std::size_t residues = sequence_.size();
  drawn.codes.resize(residues * count);
  bool one_seed = true;
  shuffler_.Shuffle_Codes(
      sequence_,
      [&] {
        const unsigned seed = next_seed();
        one_seed = one_seed && (!drawn.seed || seed == *drawn.seed);
        drawn.seed = seed;
        return seed;
      },
      count - 1, drawn.codes, count);
  if (!one_seed) drawn.seed.reset();
  return drawn;
}

Profile_Energies Energy_Profile_Run::Evaluate(const Drawn_Sequences& drawn) {
  // Threading gives every atom the code of its residue in each shuffle; the
  // native codes stay each atom's own. With one atom per residue whose code
  // is its residue's, the drawn codes are the atoms' codes as they are.
  const std::size_t count = drawn.count;
  const std::size_t atoms = native_codes_.size();
  std::vector<double> energies(count);
  if (native_codes_ == drawn.native) {
    evaluator_->Energies(drawn.codes, count, energies);
  } else {
    std::vector<char> codes(atoms * count);
    for (std::size_t i = 0; i < atoms; ++i) {
      std::copy_n(drawn.codes.begin() + static_cast<std::ptrdiff_t>(residue_of_atom_[i] * count), count,
                  codes.begin() + static_cast<std::ptrdiff_t>(i * count));
      codes[i * count] = native_codes_[i];
    }
    evaluator_->Energies(codes, count, energies);
  }
  return {energies.front(), std::vector<double>(energies.begin() + 1, energies.end())};
}

double Energy_Profile_Run::Native_Energy() { return evaluator_->Energy(native_codes_); }

double Energy_Profile_Run::Shuffled_Energy(unsigned seed) {
  shuffler_.Shuffle(sequence_, seed);
  for (std::size_t i = 0; i < atom_codes_.size(); ++i) atom_codes_[i] = sequence_[residue_of_atom_[i]].aa_code;
  return evaluator_->Energy(atom_codes_);
}

// Appends the energy's line ("%13.5lf\n") to `text` and returns its value as
// the file gives it. std::to_chars rounds the exact binary value to five
// decimals, ties to even, as printf does, at a fraction of the cost;
// anything unusual goes to printf.
double Append_Energy_Line(double energy, std::string& text) {
  constexpr int kWidth = 13;
  if (std::isfinite(energy) && std::fabs(energy) < 1e15) {
    char digits[32];
    const auto [end, error] = std::to_chars(digits, digits + sizeof digits, energy, std::chars_format::fixed, 5);
    if (error == std::errc()) {
      const auto length = static_cast<int>(end - digits);
      if (length < kWidth) text.append(static_cast<std::size_t>(kWidth - length), ' ');
      text.append(digits, end);
      text += '\n';
      return common::Filed_Number(std::string_view(digits, end));
    }
  }
  const std::string line = common::Format("%13.5lf\n", energy);
  text += line;
  return common::Filed_Number(line);
}

std::string Energy_File_Line(double energy) {
  std::string line;
  Append_Energy_Line(energy, line);
  return line;
}

std::string Shuffled_Energies_Text(std::span<const double> shuffled) {
  std::string text;
  text.reserve(shuffled.size() * 14);
  for (const double energy : shuffled) Append_Energy_Line(energy, text);
  return text;
}

namespace {

// The step's value and files from the energies as evaluated.
common::Step_Result<Energy_Values> Energy_Files(const Energy_Tool& tool, Profile_Energies computed) {
  Energy_Values values{};
  values.computed = std::move(computed);
  // The Z-scores see the energies with the files' five decimals.
  std::string native;
  values.filed.native = Append_Energy_Line(values.computed.native, native);
  std::string random;
  random.reserve(values.computed.shuffled.size() * 14);
  values.filed.shuffled.reserve(values.computed.shuffled.size());
  for (const double energy : values.computed.shuffled)
    values.filed.shuffled.push_back(Append_Energy_Line(energy, random));
  return {std::move(values),
          {{std::string(tool.native_suffix), std::move(native)}, {std::string(tool.random_suffix), std::move(random)}}};
}

// The energy step with the seeds and the evaluation as parameters: the
// programs' evaluation unless `profile` swaps in another (the benchmark's).
common::Step_Result<Energy_Values> Energy_Step_With(const Energy_Tool& tool, structure::Atom_List chain,
                                                    const MFP_Table& table, const std::function<unsigned()>& next_seed,
                                                    const std::string& protein_name, char chain_id,
                                                    Profile_Function profile) {
  structure::Atom_List list = Prepare_Structure(tool, std::move(chain), protein_name, chain_id);
  return Energy_Files(
      tool, profile ? profile(tool, list, table, next_seed) : Energy_Profile_Run(tool, list, table).Profile(next_seed));
}

}  // namespace

common::Step_Result<Energy_Values> Energy_Step(const Energy_Tool& tool, structure::Atom_List chain,
                                               const MFP_Table& table, const Seed_Source& seeds,
                                               const std::string& protein_name, char chain_id) {
  return Prepared_Energy_Step(tool, Prepare_Structure(tool, std::move(chain), protein_name, chain_id), table, seeds);
}

common::Step_Result<Energy_Values> Prepared_Energy_Step(const Energy_Tool& tool, const structure::Atom_List& prepared,
                                                        const MFP_Table& table, const Seed_Source& seeds,
                                                        std::shared_ptr<const Drawn_Sequences> earlier) {
  Energy_Profile_Run run(tool, prepared, table);
  std::shared_ptr<const Drawn_Sequences> drawn;
  if (earlier && earlier->Same_Draw(run.Sequence_Codes(), kShuffles + 1, seeds))
    drawn = std::move(earlier);
  else
    drawn = std::make_shared<const Drawn_Sequences>(run.Draw([&seeds] { return seeds.Next(); }));
  common::Step_Result<Energy_Values> result = Energy_Files(tool, run.Evaluate(*drawn));
  result.value.evaluator = run.Shared_Evaluator();
  result.value.drawn = std::move(drawn);
  return result;
}

void Check_Energy_Arguments(const std::string& potential_name, const std::string& protein_name,
                            const std::string& protein_chain) {
  common::Check_Argument_Length("potential file name", potential_name, kMaxPotentialPath);
  common::Check_Argument_Length("protein name", protein_name, 99);
  structure::Check_Chain_Argument(protein_chain);
}

Profile_Energies Run_Energy(const Energy_Tool& tool, const std::string& potential_name, const std::string& protein_name,
                            char chain, const std::function<unsigned()>& next_seed, const Energy_Run_Io& io,
                            const Energy_Method& method) {
  common::File log = common::Open_Output(io.log_path);
  const MFP_Table table = method.load(tool.table_shape(), potential_name);
  const common::Step_Result<Energy_Values> result = Energy_Step_With(
      tool,
      structure::Load_Chain({protein_name, std::string(1, chain)}, tool.reader_type, {io.out, log.get(), io.tmp_path}),
      table, next_seed, protein_name, chain, method.profile);
  common::Write_Step_Files(protein_name, result.files);
  common::Close_Output(log, io.log_path);

  const std::string label(tool.result_label);
  std::fprintf(io.out, "%s\t%s\t%10.4lf\n", label.c_str(), protein_name.c_str(), result.value.computed.native);
  return result.value.computed;
}

int Run_Energy_Program(const Energy_Tool& tool, int argc, char** argv) {
  return common::Run_Program([&] {
    const auto args = common::Chain_Command_Line(argc, argv, "potential_path_and_name protein_name");
    if (!args) return common::kExitFailure;
    const std::string& potential_name = (*args)[0];
    const std::string& protein_name = (*args)[1];
    const std::string& protein_chain = (*args)[2];
    Check_Energy_Arguments(potential_name, protein_name, protein_chain);
    const Seed_Source seeds = Seed_Source_From_Environment();
    Run_Energy(tool, potential_name, protein_name, protein_chain.front(), [&seeds] { return seeds.Next(); });
    return common::kExitSuccess;
  });
}

}  // namespace energy
