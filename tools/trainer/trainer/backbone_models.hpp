// Models for the pG table: a chain's sequence threaded onto a backbone, its
// own or another chain's, written as a PDB file of N, CA, C, O and CB atoms.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "structure/lk_list.hpp"

namespace trainer {

using Point = std::array<float, 3>;

struct Backbone_Residue {
  char code = 'X';  // one-letter code of the residue placed here
  Point n{}, ca{}, c{}, o{};
  std::optional<Point> cb;  // none for a glycine
};

using Backbone = std::vector<Backbone_Residue>;

// The residues of a chain as read by the suite's reader (standard residues
// only) that have N, CA, C and O; a residue missing one of them is left out.
Backbone Backbone_Of(const structure::Atom_List& chain);

std::string Sequence_Of(const Backbone& backbone);

// Residue pairs (query position, template position) of an alignment.
using Residue_Pairs = std::vector<std::pair<std::size_t, std::size_t>>;

// The query sequence on the template's backbone at the aligned positions, in
// query order. A non-glycine placed on a glycine gets the CB the suite would
// build for a glycine; a glycine keeps no CB.
Backbone Thread(const Backbone& templ, std::string_view query, const Residue_Pairs& pairs);

// Percentage of aligned pairs with the same residue.
double Pair_Identity(std::string_view query, std::string_view templ, const Residue_Pairs& pairs);

// The pairs of a gapped alignment of two sequences given as two equally long
// rows ('-' for a gap).
Residue_Pairs Pairs_From_Rows(std::string_view query_row, std::string_view template_row);

// Chain A, residues numbered from 1, atoms N, CA, C, O, CB, then TER and END.
std::string Model_Pdb_Text(const Backbone& model);

// What TMalign reports for a pair of structures.
struct Structure_Alignment {
  double tm_score = 0;    // normalised by the length of the second structure
  std::string first_row;  // the alignment rows of the two structures
  std::string second_row;
};

// Parses TMalign's report; throws common::Fatal_Error when it lacks the
// TM-score or the alignment.
Structure_Alignment Parse_TMalign_Report(const std::string& report);

// Runs `program first second` and parses its report.
Structure_Alignment Run_TMalign(const std::string& program, const std::string& first, const std::string& second);

}  // namespace trainer
