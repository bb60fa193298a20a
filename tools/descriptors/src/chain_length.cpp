#include "descriptors/chain_length.hpp"

#include "common/format.hpp"

namespace descriptors {

double Chain_Length(const structure::Atom_Record* first) { return structure::Count_AAs(first); }

std::string Length_File_Line(double length) {
  return common::Format("%10.4f\n", static_cast<double>(static_cast<float>(length)));
}

}  // namespace descriptors
