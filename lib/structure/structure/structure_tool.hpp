// The steps every structure program shares: its command line, the "log"
// file and reading the chosen chain.
#pragma once

#include <string>

#include "structure/pdb_reader.hpp"

namespace structure {

// "protein_name [protein_chain_id]" arguments; the chain is "_" when absent.
struct Chain_Arguments {
  std::string protein_name;
  std::string protein_chain = "_";
  char Chain() const { return protein_chain.front(); }
};

// Reads the chain into a list, as the structure programs do: a file that
// cannot be read gives "file not found '%s'. Program will exit.\n\n", an empty
// selection the message of Require_Atoms. Both throw Fatal_Error.
Atom_List Load_Chain(const Chain_Arguments& arguments, Atom_Type_Function type_function, const Reader_Io& io);

// Checks the chain argument: it must hold at least one character (the first
// one selects the chain) and fit its buffer.
void Check_Chain_Argument(const std::string& chain);

}  // namespace structure
