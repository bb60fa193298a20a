// The formats a structure comes in, turned into the PDB lines the reader
// parses: PDB text as it is, gzip-compressed files (by their magic number)
// decompressed, and mmCIF files (first non-blank line "data_...") written
// as PDB atom lines, one MODEL per model, TER after each chain.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace structure {

// True for the gzip magic number.
bool Is_Gzip(std::string_view bytes);

// True when the first non-blank line starts with "data_".
bool Is_Mmcif(std::string_view text);

// The PDB text of a structure file's bytes; `name` is used in messages.
// Throws Fatal_Error for a damaged gzip stream or an unreadable mmCIF file.
std::string Structure_Text(std::string bytes, const std::string& name);

// The PDB text of a structure file; nothing when it cannot be opened or read.
// Throws Fatal_Error for a directory and as Structure_Text does.
std::optional<std::string> Load_Structure_Text(const std::string& path);

// An mmCIF document as PDB lines, as the gemmi library writes them: author
// chain, residue number and insertion code, the atom names aligned as in PDB
// files, ATOM for polymer residues and HETATM for the rest. Chains whose
// names do not fit the two PDB columns are left out.
std::string Mmcif_To_Pdb_Text(std::string_view text, const std::string& name);

}  // namespace structure
