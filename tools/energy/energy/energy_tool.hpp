// What the two energy programs share: the command line, the table setup,
// reading and filtering the structure, the native evaluation and the 200
// shuffled ones, and the files. A tool states only what differs: its table
// shape, its atom filter, its type rule and its energy.
#pragma once

#include <cstdio>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "common/model_files.hpp"
#include "common/step.hpp"
#include "energy/potential_table.hpp"
#include "energy/shuffle.hpp"
#include "structure/pdb_reader.hpp"

namespace energy {

using common::model_files::kShuffles;

// Energy of the filtered structure for given residue codes, one per atom.
class Energy_Evaluator {
 public:
  virtual ~Energy_Evaluator() = default;
  virtual double Energy(std::span<const char> atom_codes) = 0;
  // The energies of `count` sequences at once, codes side by side per atom
  // (codes[atom * count + s]); energies[s] is what Energy gives for sequence s.
  virtual void Energies(std::span<const char> codes, std::size_t count, std::span<double> energies) = 0;
};

struct Energy_Tool {
  std::string_view name;           // program name
  std::string_view result_label;   // first field of the result line
  std::string_view native_suffix;  // of its files (common/model_files.hpp)
  std::string_view random_suffix;
  MFP_Table (*table_shape)();
  structure::Atom_Type_Function reader_type;
  void (*keep_atoms)(structure::Atom_List&);
  std::string_view kept_atoms;  // what the filter keeps, for the empty-structure message
  std::unique_ptr<Energy_Evaluator> (*make_evaluator)(const structure::Atom_Record* first, const MFP_Table& table);
};

extern const Energy_Tool kPairTool;     // vicina
extern const Energy_Tool kSurfaceTool;  // exposa

// The structure side of a run: the chain as read, with virtual beta carbons,
// filtered by the tool. Refuses a structure with no atom left after the filter.
structure::Atom_List Prepare_Structure(const Energy_Tool& tool, const std::string& protein_name, char chain,
                                       const structure::Reader_Io& io);
// The same from a chain already read (any atom types): virtual beta carbons,
// then the tool's filter. `protein_name` and `chain` name the structure in the
// message for an empty result.
structure::Atom_List Prepare_Structure(const Energy_Tool& tool, structure::Atom_List list,
                                       const std::string& protein_name, char chain);

// A structure prepared for one tool narrowed to another whose filter keeps a
// subset of its atoms (the pair tool's CA and CB to the surface tool's CB):
// the same list as preparing the chain as read, without copying the whole
// chain and building its virtual beta carbons again.
structure::Atom_List Narrow_Prepared_Structure(const Energy_Tool& tool, const structure::Atom_List& prepared,
                                               const std::string& protein_name, char chain);

struct Profile_Energies {
  double native = 0.0;
  std::vector<double> shuffled;  // in the order of the shuffles
};

// The evaluator of either energy: both geometries answer the same two calls.
// The geometry stays readable for what splits the energy by residue.
template <typename Geometry>
class Geometry_Evaluator final : public Energy_Evaluator {
 public:
  Geometry_Evaluator(const structure::Atom_Record* first, const MFP_Table& table) : geometry_(first, table) {}
  double Energy(std::span<const char> atom_codes) override { return geometry_.Energy(atom_codes); }
  void Energies(std::span<const char> codes, std::size_t count, std::span<double> energies) override {
    geometry_.Energies(codes, count, energies);
  }
  const Geometry& Found() const { return geometry_; }

 private:
  Geometry geometry_;
};

// The native sequence and the shuffles one run drew, residue by residue:
// codes[residue * count + s], s = 0 the native sequence, s = k the k-th
// shuffle.
struct Drawn_Sequences {
  std::vector<char> native;  // one code per residue
  std::size_t count = 0;
  std::vector<char> codes;
  // Set when every shuffle had this one seed: the draw is then a function of
  // the native sequence and the seed alone.
  std::optional<unsigned> seed;

  // Whether a run of the same native sequence, `count` sequences and these
  // seeds would draw exactly these codes.
  bool Same_Draw(std::span<const char> native_codes, std::size_t sequences, const Seed_Source& seeds) const;
};

// The native energy and the shuffled energies of one prepared structure.
class Energy_Profile_Run {
 public:
  Energy_Profile_Run(const Energy_Tool& tool, const structure::Atom_List& list, const MFP_Table& table);

  // The native sequence and `shuffles` more shuffles of the current one (each
  // seeded by one call of next_seed, in order), all evaluated in one pass:
  // the same energies as Native_Energy, then Shuffled_Energy shuffle by
  // shuffle, at a fraction of the cost. This is what the programs run.
  Profile_Energies Profile(const std::function<unsigned()>& next_seed, int shuffles = kShuffles);

  // The same in two halves: the draw of the sequences (the native one and
  // `shuffles` more, as Profile draws them), and their evaluation. A draw
  // may be evaluated by another run whose sequence it matches (Same_Draw).
  Drawn_Sequences Draw(const std::function<unsigned()>& next_seed, int shuffles = kShuffles);
  Profile_Energies Evaluate(const Drawn_Sequences& drawn);
  // The residue codes of the current sequence, one per residue.
  std::vector<char> Sequence_Codes() const;

  std::shared_ptr<const Energy_Evaluator> Shared_Evaluator() const { return evaluator_; }

  double Native_Energy();
  // Shuffles the current sequence once more, threads it and evaluates.
  double Shuffled_Energy(unsigned seed);

 private:
  std::shared_ptr<Energy_Evaluator> evaluator_;
  std::vector<std::uint32_t> residue_of_atom_;
  std::vector<char> native_codes_;
  std::vector<char> atom_codes_;
  Protein_Sequence sequence_;
  Sequence_Shuffler shuffler_;
};

// The energies of the native sequence and of the shuffles, twice.
struct Energy_Values {
  Profile_Energies computed;  // as evaluated: the program's result line shows computed.native
  Profile_Energies filed;     // as the two files give them on to the Z-scores ("%13.5lf")
  // What later steps on the same model may take on instead of finding it
  // again: the structure's geometry, and the sequences drawn.
  std::shared_ptr<const Energy_Evaluator> evaluator;
  std::shared_ptr<const Drawn_Sequences> drawn;
};

// The energy step of a tool: the chain as read (any atom types) prepared for
// the tool, its native energy and kShuffles shuffles (seeded by `seeds` in
// turn), and the files NAME<native_suffix> and NAME<random_suffix>.
// `protein_name` and `chain_id` name the structure in messages.
common::Step_Result<Energy_Values> Energy_Step(const Energy_Tool& tool, structure::Atom_List chain,
                                               const MFP_Table& table, const Seed_Source& seeds,
                                               const std::string& protein_name, char chain_id);
// The same step on a structure already prepared for the tool. When an
// earlier step on the same model drew the very sequences this one would draw
// (Same_Draw), they are evaluated instead of drawn again.
common::Step_Result<Energy_Values> Prepared_Energy_Step(const Energy_Tool& tool, const structure::Atom_List& prepared,
                                                        const MFP_Table& table, const Seed_Source& seeds,
                                                        std::shared_ptr<const Drawn_Sequences> earlier = nullptr);

// One line of an energy file: "%13.5lf\n".
std::string Energy_File_Line(double energy);
// Appends Energy_File_Line(energy) to `text`; returns the number it shows.
double Append_Energy_Line(double energy, std::string& text);

// The random file's text: one line per shuffled energy.
std::string Shuffled_Energies_Text(std::span<const double> shuffled);

// The programs' argument checks, made before any file is created.
void Check_Energy_Arguments(const std::string& potential_name, const std::string& protein_name,
                            const std::string& protein_chain);

// An evaluation of the native sequence and its shuffles other than
// Energy_Profile_Run's (the benchmark's straightforward one).
using Profile_Function = Profile_Energies (*)(const Energy_Tool& tool, structure::Atom_List& list,
                                              const MFP_Table& table, const std::function<unsigned()>& next_seed);

// How a run loads its table and computes its energies: the programs' own way
// unless a caller (the benchmark) swaps in another to compare.
struct Energy_Method {
  MFP_Table (*load)(MFP_Table shape, const std::string& path) = Load_Potential;
  Profile_Function profile = nullptr;  // null: Energy_Profile_Run
};

// Where a run writes: its reader notes and result line, "log", and the
// reader's copy of the chain. The programs use the working directory.
struct Energy_Run_Io {
  std::FILE* out = stdout;
  std::string log_path = "log";
  std::string tmp_path = "pdbfile.tmp";
};

// What a program does once its arguments are checked: "log", the table, the
// chain, the native and shuffled energies (one next_seed call per shuffle),
// NAME.<tool>.native and NAME.<tool>.random, then the result line.
Profile_Energies Run_Energy(const Energy_Tool& tool, const std::string& potential_name, const std::string& protein_name,
                            char chain, const std::function<unsigned()>& next_seed, const Energy_Run_Io& io = {},
                            const Energy_Method& method = {});

// The whole program: `tool potential_path_and_name protein_name [protein_chain_id]`.
int Run_Energy_Program(const Energy_Tool& tool, int argc, char** argv);

}  // namespace energy
