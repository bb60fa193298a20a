#include "structure/structure_tool.hpp"

#include "common/fatal_error.hpp"
#include "common/program.hpp"
#include "structure/structure_text.hpp"

namespace structure {

Atom_List Read_Chain(const std::string& name, const std::optional<std::string>& text, const Chain_Request& request,
                     Atom_Type_Function type_function, const Reader_Io& io) {
  if (!text) {
    std::fprintf(io.out, "Can not open %s\n", name.c_str());
    if (io.log) std::fprintf(io.log, "Can not open %s\n", name.c_str());
    common::Fail(common::kExitPeriod, "file not found '%s'.", name.c_str());
  }
  Atom_List list;
  Read_Summary summary;
  Read_PDB_Text(name, *text, request, list, type_function, io, &summary);
  Require_Atoms(list, summary, name, request.chain);
  return list;
}

Atom_List Load_Chain(const Chain_Arguments& arguments, Atom_Type_Function type_function, const Reader_Io& io) {
  return Read_Chain(arguments.protein_name, Load_Structure_Text(arguments.protein_name), {arguments.Chain()},
                    type_function, io);
}

void Check_Chain_Argument(const std::string& chain) {
  if (chain.empty())
    common::Fail(common::kExitBang, "the chain identifier is empty: give '_' for a chain without identifier");
  common::Check_Argument_Length("chain identifier", chain, 99);
}

}  // namespace structure
