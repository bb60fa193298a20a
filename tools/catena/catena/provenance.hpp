// What a run needs to be repeated: the version, the seed and the exact tables.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "catena/options.hpp"

namespace catena {

struct Table_Digest {
  std::string name;  // "pair_potential", "surface_potential", "table"
  std::string path;
  std::string sha256;
};

struct Run_Provenance {
  std::string version;
  unsigned seed = 0;
  std::string seed_origin;  // "--seed", "SHUFFLE_SEED" or "clock"
  std::vector<Table_Digest> tables;
};

// Digests the three tables of the run (after they were read successfully).
// A table found in `read` (by path) takes that digest, of the text its
// reader read, instead of reading the file again: a pipe gives its text once.
Run_Provenance Collect_Provenance(const Options& options, unsigned seed, const std::string& seed_origin,
                                  const std::map<std::string, std::string>& read = {});

// The lines catena prints on standard error at the start of a run.
std::string Provenance_Text(const Run_Provenance& provenance);

// The JSON object of the run, on one line.
std::string Provenance_Json(const Run_Provenance& provenance);

// A JSON string literal.
std::string Json_String(const std::string& text);

}  // namespace catena
