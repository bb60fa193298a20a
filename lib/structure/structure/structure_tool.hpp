// The steps every structure program shares: its command line, the "log"
// file and reading the chosen chain.
#pragma once

#include <optional>
#include <string>

#include "structure/pdb_reader.hpp"

namespace structure {

// "protein_name [protein_chain_id]" arguments; the chain is "_" when absent.
struct Chain_Arguments {
  std::string protein_name;
  std::string protein_chain = "_";
  char Chain() const { return protein_chain.front(); }
};

// The first step of an assessment: the chain of a structure, as every
// program and catena read it. `text` is the structure as PDB text (see
// Load_Structure_Text), nothing when it could not be loaded: that notes
// "Can not open NAME" on io.out and io.log and throws "file not found '%s'.
// Program will exit.\n\n". An empty selection throws the message of
// Require_Atoms. The reader writes io.tmp_path itself; `name` is used in
// messages.
Atom_List Read_Chain(const std::string& name, const std::optional<std::string>& text, const Chain_Request& request,
                     Atom_Type_Function type_function, const Reader_Io& io);

// Read_Chain on the file the arguments name, its first model.
Atom_List Load_Chain(const Chain_Arguments& arguments, Atom_Type_Function type_function, const Reader_Io& io);

// Checks the chain argument: it must hold at least one character (the first
// one selects the chain) and fit its buffer.
void Check_Chain_Argument(const std::string& chain);

}  // namespace structure
