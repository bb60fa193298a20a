#include "catena/provenance.hpp"

#include "common/fatal_error.hpp"
#include "common/format.hpp"
#include "common/sha256.hpp"
#include "common/version.hpp"

namespace catena {

Run_Provenance Collect_Provenance(const Options& options, unsigned seed, const std::string& seed_origin,
                                  const std::map<std::string, std::string>& read) {
  Run_Provenance provenance{std::string(common::kVersion), seed, seed_origin, {}};
  for (const auto& [name, path] : {std::pair<const char*, const std::string&>{"pair_potential", options.pair_potential},
                                   {"surface_potential", options.surface_potential},
                                   {"table", options.table}}) {
    const auto known = read.find(path);
    const auto digest = known != read.end() ? known->second : common::File_Sha256_Hex(path);
    if (!digest) common::Fail(common::kNoEnding, "cannot read '%s' again to compute its SHA-256 sum", path.c_str());
    provenance.tables.push_back({name, path, *digest});
  }
  return provenance;
}

std::string Provenance_Text(const Run_Provenance& provenance) {
  std::string text = "catena: version " + provenance.version + ", seed " + std::to_string(provenance.seed) + " (" +
                     provenance.seed_origin + ")\n";
  for (const Table_Digest& table : provenance.tables)
    text += "catena: " + table.name + " " + table.path + " sha256 " + table.sha256 + "\n";
  return text;
}

std::string Provenance_Json(const Run_Provenance& provenance) {
  std::string json = "{\"version\": " + Json_String(provenance.version) +
                     ", \"seed\": " + std::to_string(provenance.seed) +
                     ", \"seed_origin\": " + Json_String(provenance.seed_origin);
  for (const Table_Digest& table : provenance.tables)
    json += ", \"" + table.name + "\": {\"path\": " + Json_String(table.path) +
            ", \"sha256\": " + Json_String(table.sha256) + "}";
  return json + "}";
}

std::string Json_String(const std::string& text) {
  std::string quoted = "\"";
  for (const char c : text) {
    switch (c) {
      case '"':
        quoted += "\\\"";
        break;
      case '\\':
        quoted += "\\\\";
        break;
      case '\n':
        quoted += "\\n";
        break;
      case '\t':
        quoted += "\\t";
        break;
      case '\r':
        quoted += "\\r";
        break;
      default:
        if (static_cast<unsigned char>(c) < 0x20) {
          quoted += common::Format("\\u%04x", c);
        } else {
          quoted += c;
        }
    }
  }
  return quoted + "\"";
}

}  // namespace catena
