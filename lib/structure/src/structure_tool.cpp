#include "structure/structure_tool.hpp"

#include "common/fatal_error.hpp"
#include "common/program.hpp"

namespace structure {

Atom_List Load_Chain(const Chain_Arguments& arguments, Atom_Type_Function type_function, const Reader_Io& io) {
  Atom_List list;
  Read_Summary summary;
  if (Read_PDB_File_1(arguments.protein_name, arguments.Chain(), list, type_function, io, &summary) != 'Y')
    common::Fail(common::kExitPeriod, "file not found '%s'.", arguments.protein_name.c_str());
  Require_Atoms(list, summary, arguments.protein_name, arguments.Chain());
  return list;
}

void Check_Chain_Argument(const std::string& chain) {
  if (chain.empty())
    common::Fail(common::kExitBang, "the chain identifier is empty: give '_' for a chain without identifier");
  common::Check_Argument_Length("chain identifier", chain, 99);
}

}  // namespace structure
