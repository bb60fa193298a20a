#include "descriptors/descriptor_tool.hpp"

#include <cstdio>

#include "common/files.hpp"
#include "common/program.hpp"
#include "structure/structure_tool.hpp"

namespace descriptors {

int Run_Descriptor_Program(const Descriptor_Tool& tool, int argc, char** argv) {
  return common::Run_Program([&] {
    const auto args = common::Chain_Command_Line(argc, argv, "protein_name");
    if (!args) return common::kExitFailure;
    const structure::Chain_Arguments arguments{(*args)[0], (*args)[1]};
    // Names are built in 100 characters, terminator included.
    common::Check_Argument_Length("protein name", arguments.protein_name, 99 - tool.suffix.size());
    structure::Check_Chain_Argument(arguments.protein_chain);

    common::File log = common::Open_Output("log");
    const common::Step_Result<double> result =
        tool.step(structure::Load_Chain(arguments, structure::Get_AA_Type, {stdout, log.get(), "pdbfile.tmp"}));
    common::Write_Step_Files(arguments.protein_name, result.files);
    const std::string label(tool.label);
    std::printf("%s\t%s\t%s", label.c_str(), arguments.protein_name.c_str(), result.files.front().text.c_str());
    common::Close_Output(log, "log");
    return common::kExitSuccess;
  });
}

}  // namespace descriptors
