// addestra: trains the suite's potentials and its cPDF table of pG.
#include "common/program.hpp"
#include "help/addestra.hpp"
#include "trainer/addestra.hpp"

int main(int argc, char** argv) {
  if (const auto status = common::Answer_Help_Or_Version(argc, argv, "addestra", help::kText)) return *status;
  return trainer::Run_Addestra(argc, argv);
}
