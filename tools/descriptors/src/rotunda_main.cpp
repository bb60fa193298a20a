// rotunda: the compactness of one chain of a PDB file.
//   rotunda protein_name [protein_chain_id]
// Writes NAME.compactness and prints "compactness<TAB>NAME<TAB>value".
#include <cstdio>

#include "common/files.hpp"
#include "common/program.hpp"
#include "descriptors/compactness.hpp"
#include "structure/structure_tool.hpp"

int main(int argc, char** argv) {
  return common::Run_Program([&] {
    if (argc < 2 || argc > 3) {
      std::fputs(common::Chain_Usage(argv[0], "protein_name").c_str(), stdout);
      return common::kExitFailure;
    }
    structure::Chain_Arguments arguments{argv[1], argc == 3 ? argv[2] : "_"};
    common::Check_Argument_Length("protein name", arguments.protein_name, 99 - 12);
    structure::Check_Chain_Argument(arguments.protein_chain);

    common::File log = common::Open_Output("log");
    const structure::Atom_List list =
        structure::Load_Chain(arguments, structure::Get_AA_Type, {stdout, log.get(), "pdbfile.tmp"});

    const double compactness = descriptors::Compactness(list.first);
    const std::string line = descriptors::Compactness_File_Line(compactness);
    common::Write_Output(arguments.protein_name + ".compactness", line);
    std::printf("compactness\t%s\t%s", arguments.protein_name.c_str(), line.c_str());
    common::Close_Output(log, "log");
    return common::kExitSuccess;
  });
}
