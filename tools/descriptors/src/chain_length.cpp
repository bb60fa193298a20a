#include "descriptors/chain_length.hpp"

#include "common/format.hpp"
#include "common/model_files.hpp"

namespace descriptors {

double Chain_Length(const structure::Atom_Record* first) { return structure::Count_AAs(first); }

std::string Length_File_Line(double length) {
  return common::Format("%10.4f\n", static_cast<double>(static_cast<float>(length)));
}

common::Step_Result<double> Length_Step(const structure::Atom_List& chain) {
  std::string line = Length_File_Line(Chain_Length(chain.first));
  const double filed = common::Filed_Number(line);
  return {filed, {{std::string(common::model_files::kLength), std::move(line)}}};
}

}  // namespace descriptors
