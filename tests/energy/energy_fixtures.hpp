// Small hand-made structures for the energy tests.
#pragma once

#include <string>
#include <vector>

#include "energy/potential_table.hpp"
#include "structure/lk_list.hpp"
#include "support/potentials.hpp"

namespace energy::test {

struct Atom_Spec {
  const char* name;
  char code;
  int residue;
  float x, y, z;
  const char* chain = "A";
};

inline structure::Atom_List Make_Atoms(const std::vector<Atom_Spec>& specs) {
  structure::Atom_List list;
  structure::Atom_Record* tail = nullptr;
  for (const Atom_Spec& s : specs) {
    structure::Atom_Record* a = list.New_Atom();
    a->atom_name = s.name;
    a->aa_code = s.code;
    const std::size_t index = structure::aa_1_letter.find(s.code);
    a->aa_name = index == std::string_view::npos ? "XXX" : std::string(structure::aa_3_letter[index]);
    a->aa_number = s.residue;
    a->chain = s.chain;
    a->x = s.x;
    a->y = s.y;
    a->z = s.z;
    tail = structure::Append_Atom(list, tail, a);
  }
  return list;
}

// A table shaped like `shape` whose entry n holds n (so a sum names its entries).
inline MFP_Table Index_Table(MFP_Table shape) {
  shape.matrix_size = 1;
  for (int d = 0; d < shape.dim; ++d) shape.matrix_size *= shape.dim_val[d];
  shape.values.resize(static_cast<std::size_t>(shape.matrix_size));
  for (std::size_t i = 0; i < shape.values.size(); ++i) shape.values[i] = static_cast<double>(i);
  return shape;
}

inline MFP_Table Synthetic_Table(MFP_Table shape, std::uint64_t seed) {
  shape = Index_Table(shape);
  for (std::size_t i = 0; i < shape.values.size(); ++i) shape.values[i] = test_support::Synthetic_Value(seed, i);
  return shape;
}

}  // namespace energy::test
