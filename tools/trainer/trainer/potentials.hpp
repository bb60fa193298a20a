// Statistical potentials from native structures: observations counted in the
// very cells the energy programs score (same reader, residue filter, virtual
// CB, atom types, separation classes, distance bins and neighbour classes,
// taken from the library's own geometry), then turned into energies by
// inverse Boltzmann statistics with a correction for sparse data.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "structure/lk_list.hpp"

namespace trainer {

inline constexpr int kPairTypes = 40, kSeparationClasses = 7, kDistanceBins = 30;
inline constexpr int kPairCells = kPairTypes * kPairTypes * kSeparationClasses * kDistanceBins;  // 336000
inline constexpr int kResidueTypes = 20, kNeighbourClasses = 20;
inline constexpr int kSurfaceCells = kResidueTypes * kNeighbourClasses;  // 400

// Observations per table cell, laid out as the tables (row-major). Pair cells
// are ordered as scored: the type of the earlier atom of the chain first.
struct Potential_Counts {
  std::vector<std::uint64_t> pair = std::vector<std::uint64_t>(kPairCells, 0);
  std::vector<std::uint64_t> surface = std::vector<std::uint64_t>(kSurfaceCells, 0);
  std::size_t structures = 0;
  std::size_t residues = 0;  // residues with a CA or CB, as the pair program keeps them
};

// Adds one chain, as read by the suite's reader, to the counts. `name` and
// `chain` name it in the message for a chain with nothing to score. With a
// `shuffle_seed`, the chain's sequence is shuffled (after the virtual CBs,
// as the programs thread a shuffle) before counting: the null tables.
void Count_Chain(structure::Atom_List chain_atoms, const std::string& name, char chain, Potential_Counts& counts,
                 std::optional<std::uint64_t> shuffle_seed = std::nullopt);

// The reference distribution of a type pair in a separation class: all type
// pairs of the class pooled, or only those of the same kind of atom pair
// (CA-CA, CA-CB, CB-CB), whose distances differ by construction.
enum class Pair_Reference { kClass, kAtomKinds };

// E = ln(1 + m s) - ln(1 + m s f_obs / f_ref), in units of kT, for every cell
// of one group of bins (a type pair in a separation class, or a residue
// type): m is the group's observations, f_obs their share in the bin, f_ref
// the bin's share in the reference (all groups pooled), s the sparse-data
// weight. With few observations E tends to 0 (the reference); a bin the group
// never shows gets ln(1 + m s), bounded; a bin no group shows gets the same.
struct Estimator_Options {
  double pair_sparse = 0.02;     // s of the pair potential
  double surface_sparse = 0.02;  // s of the surface potential
  Pair_Reference pair_reference = Pair_Reference::kClass;
};

// The pair energies, 336000 values in table order. The two orders of a type
// pair are pooled, so the table is symmetric in its first two indices.
std::vector<double> Pair_Energies(const std::vector<std::uint64_t>& counts, double sparse,
                                  Pair_Reference reference = Pair_Reference::kClass);
// The surface energies, 400 values in table order.
std::vector<double> Surface_Energies(const std::vector<std::uint64_t>& counts, double sparse);

// One group of a distribution: observations per bin -> energies, given the
// reference shares of the bins (which sum to 1, or are all 0).
std::vector<double> Inverse_Boltzmann(const std::vector<double>& observed, const std::vector<double>& reference,
                                      double sparse);

// The table files, as the energy programs read them: "i j k l value" and
// "i j value" lines in row-major order, values with "%.6f".
std::string Pair_Table_Text(const std::vector<double>& energies);
std::string Surface_Table_Text(const std::vector<double>& energies);

// counts.tsv: the observations per unordered type pair and separation class
// (with the number of its distance bins never observed), per residue type and
// neighbour class, and the totals of cells never observed.
std::string Counts_Text(const Potential_Counts& counts, const Estimator_Options& options);

// Name of a pair-table atom type, e.g. "L.CB".
std::string Pair_Type_Name(int type);

}  // namespace trainer
