#include "reference/energy_reference.hpp"

#include <array>
#include <cstdio>
#include <cstdlib>
#include <utility>

#include "common/fatal_error.hpp"
#include "common/files.hpp"
#include "reference/energy_routines.hpp"

namespace energy::reference {
namespace {

void Assign_With_C_Library(Protein_Sequence& sequence, unsigned seed) {
  std::srand(seed);
  for (Sequence_Record& record : sequence) {
    const float r1 = static_cast<float>(std::rand());
    const float r2 = static_cast<float>(std::rand());
    const float r3 = static_cast<float>(std::rand());
    const float r4 = static_cast<float>(std::rand());
    record.random_value = static_cast<float>(static_cast<double>(r1) * r2 / r3 + (static_cast<double>(r3) + r4));
  }
}

template <typename Define, typename Evaluate>
Energy_Profile Profile(structure::Atom_List& list, const MFP_Table& table, const Seed_Function& next_seed, int shuffles,
                       Define define, Evaluate evaluate) {
  Energy_Profile profile;
  define(list.first);
  evaluate(list.first, table, profile.native);
  Protein_Sequence sequence = Get_Protein_Sequence(list.first);
  for (int i = 0; i < shuffles; ++i) {
    Assign_With_C_Library(sequence, next_seed());
    Exchange_Sort_Protein_Sequence(sequence);
    Thread_Sequence_into_Structure(list.first, sequence);
    define(list.first);
    double energy = 0.0;
    evaluate(list.first, table, energy);
    profile.shuffled.push_back(energy);
  }
  return profile;
}

// Reads `count` lines with one sscanf each; `integers` is 4 or 2.
void Read_Lines_With_Sscanf(const std::string& path, std::vector<double>& table, std::size_t count, int integers) {
  common::File file = common::Open_Input(path);
  if (!file) common::Fail(common::kFinishNow, "cannot open file '%s' for reading", path.c_str());
  std::array<char, kLineBuffer> line{};
  int i1 = 0, i2 = 0, i3 = 0, i4 = 0;
  double value = 0.0;
  for (std::size_t entry = 0; entry < count; ++entry) {
    if (!std::fgets(line.data(), kLineBuffer, file.get()))
      common::Fail(common::kFinishNow, "potential file '%s' ends at line %zu: %zu lines are needed", path.c_str(),
                   entry, count);
    const int converted = integers == 4 ? std::sscanf(line.data(), "%d%d%d%d%lf\n", &i1, &i2, &i3, &i4, &value)
                                        : std::sscanf(line.data(), "%d%d%lf\n", &i1, &i2, &value);
    if (converted != integers + 1)
      common::Fail(common::kFinishNow,
                   "cannot read line %zu of potential file '%s': %d integers and a value are expected", entry + 1,
                   path.c_str(), integers);
    table[entry] = value;
  }
}

}  // namespace

Energy_Profile Pair_Profile(structure::Atom_List& list, const MFP_Table& table, const Seed_Function& next_seed,
                            int shuffles) {
  return Profile(list, table, next_seed, shuffles, pair::Define_Atom_Types, pair::Energy_Profile_Distance_Dependent);
}

Energy_Profile Surface_Profile(structure::Atom_List& list, const MFP_Table& table, const Seed_Function& next_seed,
                               int shuffles) {
  return Profile(list, table, next_seed, shuffles, surface::Define_Atom_Types,
                 surface::Energy_Profile_Accessible_Surface);
}

Profile_Energies Straightforward_Profile(const Energy_Tool& tool, structure::Atom_List& list, const MFP_Table& table,
                                         const Seed_Function& next_seed) {
  Energy_Profile profile =
      &tool == &kPairTool ? Pair_Profile(list, table, next_seed) : Surface_Profile(list, table, next_seed);
  return {profile.native, std::move(profile.shuffled)};
}

void Straightforward_Read_MFP_Pair(const std::string& path, std::vector<double>& table, int s1, int s2, int s3,
                                   int s4) {
  Read_Lines_With_Sscanf(path, table, static_cast<std::size_t>(s1) * s2 * s3 * s4, 4);
}

void Straightforward_Read_MFP_Surf(const std::string& path, std::vector<double>& table, int s1, int s2) {
  Read_Lines_With_Sscanf(path, table, static_cast<std::size_t>(s1) * s2, 2);
}

MFP_Table Straightforward_Load_Potential(MFP_Table shape, const std::string& path) {
  shape.matrix_size = 1;
  for (int d = 0; d < shape.dim; ++d) shape.matrix_size *= shape.dim_val[d];
  shape.values.assign(static_cast<std::size_t>(shape.matrix_size), 0.0);
  if (shape.dim == 4) {
    Straightforward_Read_MFP_Pair(path, shape.values, shape.dim_val[0], shape.dim_val[1], shape.dim_val[2],
                                  shape.dim_val[3]);
  } else {
    Straightforward_Read_MFP_Surf(path, shape.values, shape.dim_val[0], shape.dim_val[1]);
  }
  return shape;
}

}  // namespace energy::reference
