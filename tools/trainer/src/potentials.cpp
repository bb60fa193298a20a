#include "trainer/potentials.hpp"

#include <array>
#include <cmath>
#include <string_view>

#include "common/format.hpp"
#include "energy/energy_tool.hpp"
#include "energy/pair_energy.hpp"
#include "energy/shuffle.hpp"
#include "energy/surface_energy.hpp"
#include "structure/residues.hpp"
#include "trainer/homology.hpp"

namespace trainer {
namespace {

// Residue order of the pair table's atom types (type 2r is the CA, 2r+1 the CB).
constexpr std::string_view kPairResidues = "GAVLIMPFWSTQKYNCEDRH";
constexpr int kPairClassCells = kSeparationClasses * kDistanceBins;

std::size_t Pair_Cell(int a, int b, int separation, int bin) {
  return (static_cast<std::size_t>(a * kPairTypes + b) * kSeparationClasses + separation) * kDistanceBins + bin;
}

// A value printed as "-0.000000" would differ from "0.000000" for nothing.
double No_Negative_Zero(double value) { return std::fabs(value) < 5e-7 ? 0.0 : value; }

}  // namespace

void Count_Chain(structure::Atom_List chain_atoms, const std::string& name, char chain, Potential_Counts& counts,
                 std::optional<std::uint64_t> shuffle_seed) {
  const structure::Atom_List pair_atoms = energy::Prepare_Structure(energy::kPairTool, chain_atoms.Copy(), name, chain);
  const structure::Atom_List surface_atoms =
      energy::Prepare_Structure(energy::kSurfaceTool, std::move(chain_atoms), name, chain);
  if (shuffle_seed) {
    for (const structure::Atom_List* list : {&pair_atoms, &surface_atoms}) {
      energy::Protein_Sequence sequence = energy::Get_Protein_Sequence(list->first);
      Split_Mix random(*shuffle_seed);
      for (std::size_t i = sequence.size(); i > 1; --i)
        std::swap(sequence[i - 1].aa_code, sequence[random.Below(i)].aa_code);
      energy::Thread_Sequence_into_Structure(list->first, sequence);
    }
  }

  const energy::MFP_Table pair_shape = energy::Pair_Table_Shape();
  const energy::pair::Pair_Geometry pairs(pair_atoms.first, pair_shape);
  std::vector<int> types;
  for (const structure::Atom_Record* atom = pair_atoms.first; atom; atom = atom->next)
    types.push_back(energy::pair::Get_AA_CA_CB_Atom_Type(*atom) - 1);
  for (const auto& pair : pairs.Pairs())
    ++counts.pair[static_cast<std::size_t>(types[pair.a] * kPairTypes + types[pair.b]) * kPairClassCells + pair.cell];

  const energy::MFP_Table surface_shape = energy::Surface_Table_Shape();
  const energy::surface::Surface_Geometry surface(surface_atoms.first, surface_shape);
  std::size_t at = 0;
  for (const structure::Atom_Record* atom = surface_atoms.first; atom; atom = atom->next, ++at) {
    const int surface_class = surface.Classes()[at];
    if (surface_class >= 0) ++counts.surface[structure::Get_AA_Type(*atom) * kNeighbourClasses + surface_class];
  }

  ++counts.structures;
  counts.residues += static_cast<std::size_t>(structure::Count_AAs(pair_atoms.first));
}

std::vector<double> Inverse_Boltzmann(const std::vector<double>& observed, const std::vector<double>& reference,
                                      double sparse) {
  double m = 0.0;
  for (double n : observed) m += n;
  std::vector<double> energies(observed.size(), 0.0);
  if (m == 0.0) return energies;  // f_obs undefined: the reference itself
  const double ms = m * sparse;
  for (std::size_t bin = 0; bin < observed.size(); ++bin) {
    const double ratio = reference[bin] > 0.0 ? (observed[bin] / m) / reference[bin] : 0.0;
    energies[bin] = std::log1p(ms) - std::log1p(ms * ratio);
  }
  return energies;
}

std::vector<double> Pair_Energies(const std::vector<std::uint64_t>& counts, double sparse, Pair_Reference reference) {
  // Which reference pool a type pair falls in: one per class, or one per
  // class and kind of atom pair (CA-CA, CA-CB, CB-CB).
  const auto pool = [reference](int a, int b) { return reference == Pair_Reference::kClass ? 0 : a % 2 + b % 2; };
  std::vector<double> energies(kPairCells, 0.0);
  for (int k = 0; k < kSeparationClasses; ++k) {
    std::array<std::vector<double>, 3> shares;
    shares.fill(std::vector<double>(kDistanceBins, 0.0));
    for (int a = 0; a < kPairTypes; ++a)
      for (int b = 0; b < kPairTypes; ++b)
        for (int l = 0; l < kDistanceBins; ++l)
          shares[pool(a, b)][l] += static_cast<double>(counts[Pair_Cell(a, b, k, l)]);
    for (std::vector<double>& share : shares) {
      double total = 0.0;
      for (double n : share) total += n;
      if (total > 0.0)
        for (double& value : share) value /= total;
    }

    for (int a = 0; a < kPairTypes; ++a) {
      for (int b = a; b < kPairTypes; ++b) {
        std::vector<double> observed(kDistanceBins);
        for (int l = 0; l < kDistanceBins; ++l) {
          observed[l] = static_cast<double>(counts[Pair_Cell(a, b, k, l)]);
          if (b != a) observed[l] += static_cast<double>(counts[Pair_Cell(b, a, k, l)]);
        }
        const std::vector<double> group = Inverse_Boltzmann(observed, shares[pool(a, b)], sparse);
        for (int l = 0; l < kDistanceBins; ++l)
          energies[Pair_Cell(a, b, k, l)] = energies[Pair_Cell(b, a, k, l)] = group[l];
      }
    }
  }
  return energies;
}

std::vector<double> Surface_Energies(const std::vector<std::uint64_t>& counts, double sparse) {
  std::vector<double> reference(kNeighbourClasses, 0.0);
  double total = 0.0;
  for (int r = 0; r < kResidueTypes; ++r)
    for (int c = 0; c < kNeighbourClasses; ++c) reference[c] += static_cast<double>(counts[r * kNeighbourClasses + c]);
  for (double n : reference) total += n;
  if (total > 0.0)
    for (double& share : reference) share /= total;
  std::vector<double> energies(kSurfaceCells, 0.0);
  for (int r = 0; r < kResidueTypes; ++r) {
    std::vector<double> observed(kNeighbourClasses);
    for (int c = 0; c < kNeighbourClasses; ++c) observed[c] = static_cast<double>(counts[r * kNeighbourClasses + c]);
    const std::vector<double> group = Inverse_Boltzmann(observed, reference, sparse);
    for (int c = 0; c < kNeighbourClasses; ++c) energies[r * kNeighbourClasses + c] = group[c];
  }
  return energies;
}

std::string Pair_Table_Text(const std::vector<double>& energies) {
  std::string text;
  text.reserve(energies.size() * 24);
  std::size_t cell = 0;
  for (int a = 0; a < kPairTypes; ++a)
    for (int b = 0; b < kPairTypes; ++b)
      for (int k = 0; k < kSeparationClasses; ++k)
        for (int l = 0; l < kDistanceBins; ++l)
          text += common::Format("%d %d %d %d %.6f\n", a, b, k, l, No_Negative_Zero(energies[cell++]));
  return text;
}

std::string Surface_Table_Text(const std::vector<double>& energies) {
  std::string text;
  std::size_t cell = 0;
  for (int r = 0; r < kResidueTypes; ++r)
    for (int c = 0; c < kNeighbourClasses; ++c)
      text += common::Format("%d %d %.6f\n", r, c, No_Negative_Zero(energies[cell++]));
  return text;
}

std::string Pair_Type_Name(int type) { return std::string(1, kPairResidues[type / 2]) + (type % 2 ? ".CB" : ".CA"); }

std::string Counts_Text(const Potential_Counts& counts, const Estimator_Options& options) {
  std::uint64_t pairs = 0, sites = 0;
  for (std::uint64_t n : counts.pair) pairs += n;
  for (std::uint64_t n : counts.surface) sites += n;
  std::string body;
  std::size_t unseen_pair = 0, unseen_surface = 0;
  for (int a = 0; a < kPairTypes; ++a)
    for (int b = a; b < kPairTypes; ++b)
      for (int k = 0; k < kSeparationClasses; ++k) {
        std::uint64_t m = 0;
        int unseen = 0;
        for (int l = 0; l < kDistanceBins; ++l) {
          const std::uint64_t n =
              counts.pair[Pair_Cell(a, b, k, l)] + (b != a ? counts.pair[Pair_Cell(b, a, k, l)] : 0);
          m += n;
          unseen += n == 0;
        }
        unseen_pair += static_cast<std::size_t>(unseen) * (b != a ? 2 : 1);
        body += common::Format("pair\t%s\t%s\t%d\t%llu\t%d\n", Pair_Type_Name(a).c_str(), Pair_Type_Name(b).c_str(), k,
                               static_cast<unsigned long long>(m), unseen);
      }
  for (int r = 0; r < kResidueTypes; ++r)
    for (int c = 0; c < kNeighbourClasses; ++c) {
      const std::uint64_t n = counts.surface[r * kNeighbourClasses + c];
      unseen_surface += n == 0;
      const std::string residue(structure::aa_3_letter[r]);
      body += common::Format("surface\t%s\t-\t%d\t%llu\t%d\n", residue.c_str(), c, static_cast<unsigned long long>(n),
                             n == 0 ? 1 : 0);
    }
  std::string text = common::Format(
      "# addestra potentials: %zu structures, %zu residues, %llu scored pairs, %llu scored residues\n"
      "# sparse-data weight s: pair %g, surface %g; pair reference: %s\n"
      "# cells never observed: pair %zu of %d, surface %zu of %d\n",
      counts.structures, counts.residues, static_cast<unsigned long long>(pairs),
      static_cast<unsigned long long>(sites), options.pair_sparse, options.surface_sparse,
      options.pair_reference == Pair_Reference::kClass ? "class" : "atom kinds", unseen_pair, kPairCells,
      unseen_surface, kSurfaceCells);
  text += "table\ttype_a\ttype_b\tclass\tobservations\tbins_never_observed\n";
  return text + body;
}

}  // namespace trainer
