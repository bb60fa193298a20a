#include "trainer/threading.hpp"

#include <algorithm>
#include <string>

#include "combine/z_score.hpp"
#include "combine/zo341.hpp"
#include "common/fatal_error.hpp"
#include "common/scan.hpp"
#include "common/step.hpp"
#include "descriptors/compactness.hpp"
#include "energy/energy_tool.hpp"
#include "energy/shuffle.hpp"
#include "structure/virtual_cb.hpp"

namespace trainer {
namespace {

combine::Potential_Energies Energies(const energy::Energy_Tool& tool, const structure::Atom_List& threaded,
                                     const energy::MFP_Table& table) {
  structure::Atom_List atoms = threaded.Copy();
  tool.keep_atoms(atoms);
  if (atoms.empty())
    common::Fail(common::kLineEnd, "a threaded window has no %s atom", std::string(tool.kept_atoms).c_str());
  energy::Energy_Profile_Run run(tool, atoms, table);
  combine::Potential_Energies energies;
  energies.native = run.Native_Energy();
  for (std::size_t k = 0; k < combine::kShuffleCount; ++k)
    energies.shuffled[k] = run.Shuffled_Energy(static_cast<unsigned>(k + 1));
  return energies;
}

}  // namespace

std::string Chain_Sequence(const structure::Atom_List& chain) {
  std::string sequence;
  for (const energy::Sequence_Record& record : energy::Get_Protein_Sequence(chain.first)) sequence += record.aa_code;
  return sequence;
}

structure::Atom_List Residue_Window(const structure::Atom_List& chain, int first, int count) {
  structure::Atom_List window = chain.Copy();
  structure::Remove_Atoms_Unless(window, [&](const structure::Atom_Record& atom) {
    return atom.aa_number - 1 >= first && atom.aa_number - 1 < first + count;
  });
  structure::Renumerate_Protein(window.first);
  return window;
}

Threading_Scores Score_Threaded(const structure::Atom_List& backbone, const std::string& sequence,
                                const energy::MFP_Table& pair_table, const energy::MFP_Table& surface_table) {
  structure::Atom_List threaded = backbone.Copy();
  const std::string own = Chain_Sequence(threaded);
  if (own.size() != sequence.size())
    common::Fail(common::kLineEnd, "a sequence of %zu residues cannot be threaded onto %zu", sequence.size(),
                 own.size());
  structure::Build_Virtual_CB_for_Glycines(threaded);
  energy::Protein_Sequence records;
  for (char code : sequence) records.push_back({code, 0.0F});
  energy::Thread_Sequence_into_Structure(threaded.first, records);

  Threading_Scores scores;
  const combine::Z_Scores z = combine::Compute_Z_Scores(Energies(energy::kPairTool, threaded, pair_table),
                                                        Energies(energy::kSurfaceTool, threaded, surface_table));
  scores.z_pair = z.zscore_pair;
  scores.z_surface = z.zscore_surf;
  scores.z_combined = z.zscore;
  std::size_t same = 0;
  for (std::size_t i = 0; i < own.size(); ++i) same += own[i] == sequence[i];
  scores.identity = own.empty() ? 0.0 : 100.0 * static_cast<double>(same) / static_cast<double>(own.size());
  // ZO341 takes the Z-score and the compactness as the programs' files carry them.
  const double compactness = descriptors::Compactness_Step(threaded).value;
  scores.zo341 =
      combine::Compute_ZO341(common::Filed_Number(combine::Z_Score_File_Line(z.zscore)), compactness, scores.identity);
  return scores;
}

double Native_Decoy_AUC(const std::vector<double>& natives, const std::vector<double>& decoys, bool lower_is_better) {
  if (natives.empty() || decoys.empty()) return 0.0;
  std::vector<double> sorted = decoys;
  std::sort(sorted.begin(), sorted.end());
  double wins = 0.0;
  for (double native : natives) {
    const auto low = std::lower_bound(sorted.begin(), sorted.end(), native);
    const auto high = std::upper_bound(sorted.begin(), sorted.end(), native);
    const double below = static_cast<double>(low - sorted.begin());
    const double above = static_cast<double>(sorted.end() - high);
    wins += (lower_is_better ? above : below) + 0.5 * static_cast<double>(high - low);
  }
  return wins / (static_cast<double>(natives.size()) * static_cast<double>(decoys.size()));
}

}  // namespace trainer
