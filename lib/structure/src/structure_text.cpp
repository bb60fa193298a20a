// Every use of gemmi and zlib is in this file: their headers are heavy, and
// nothing else in the suite needs them.
#include "structure/structure_text.hpp"

#include <zlib.h>

#include <algorithm>
#include <filesystem>
#include <sstream>
#include <stdexcept>

// Numbers in the PDB lines come from the C library's snprintf, which rounds
// correctly.
#define USE_STD_SNPRINTF
#define GEMMI_WRITE_IMPLEMENTATION
#include <gemmi/cif.hpp>
#include <gemmi/mmcif.hpp>
#include <gemmi/to_pdb.hpp>

#include "common/fatal_error.hpp"
#include "common/files.hpp"
#include "common/scan.hpp"

namespace structure {
namespace {

// Inflates every member of a gzip stream (files may hold several).
std::string Gunzip(std::string_view bytes, const std::string& name) {
  std::string out;
  z_stream stream{};
  if (inflateInit2(&stream, 16 + MAX_WBITS) != Z_OK) throw std::bad_alloc();
  stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(bytes.data()));
  stream.avail_in = static_cast<uInt>(bytes.size());
  char buffer[1 << 16];
  int status = Z_OK;
  while (true) {
    stream.next_out = reinterpret_cast<Bytef*>(buffer);
    stream.avail_out = sizeof buffer;
    status = inflate(&stream, Z_NO_FLUSH);
    out.append(buffer, sizeof buffer - stream.avail_out);
    if (status == Z_STREAM_END) {
      if (stream.avail_in == 0 || !Is_Gzip({reinterpret_cast<const char*>(stream.next_in), stream.avail_in})) break;
      inflateReset(&stream);
      continue;
    }
    if (status != Z_OK) break;
  }
  inflateEnd(&stream);
  if (status == Z_MEM_ERROR) throw std::bad_alloc();
  if (status != Z_STREAM_END)
    common::Fail(common::kExitBang, "cannot decompress '%s': the gzip data is damaged or incomplete", name.c_str());
  return out;
}

}  // namespace

bool Is_Gzip(std::string_view bytes) { return bytes.size() >= 2 && bytes[0] == '\x1f' && bytes[1] == '\x8b'; }

bool Is_Mmcif(std::string_view text) {
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find('\n', start);
    if (end == std::string_view::npos) end = text.size();
    const std::string_view line = text.substr(start, end - start);
    if (!common::First_Word(line).empty())
      return line.substr(line.find_first_not_of(" \t\r\f\v")).rfind("data_", 0) == 0;
    start = end + 1;
  }
  return false;
}

// The mmCIF structure is read back from PDB lines, whose fixed columns hold
// at most 8 characters of a coordinate and 6 of an occupancy or temperature
// factor: a wider number would shift every column after it and be misread,
// so it is refused, as a PDB file cannot hold it either. HETATM records are
// never read and are let through.
void Check_Fits_Pdb_Columns(const gemmi::Structure& st, const std::string& name) {
  auto fits = [](double value, double low, double high) { return value > low && value < high; };
  for (const gemmi::Model& model : st.models)
    for (const gemmi::Chain& chain : model.chains)
      for (const gemmi::Residue& residue : chain.residues) {
        if (residue.het_flag == 'H') continue;
        for (const gemmi::Atom& atom : residue.atoms) {
          const gemmi::Position& p = atom.pos;
          const bool coordinates =
              fits(p.x, -999.9995, 9999.9995) && fits(p.y, -999.9995, 9999.9995) && fits(p.z, -999.9995, 9999.9995);
          const bool others = fits(atom.occ, -99.995, 999.995) && fits(atom.b_iso, -99.995, 999.995);
          if (!coordinates || !others)
            common::Fail(common::kExitBang,
                         "atom %s of residue %s %s of chain '%s' in the mmCIF file '%s' has a coordinate, occupancy or "
                         "temperature factor that does not fit the columns of a PDB line (%g %g %g, %g, %g)",
                         atom.name.c_str(), residue.name.c_str(), residue.seqid.str().c_str(), chain.name.c_str(),
                         name.c_str(), p.x, p.y, p.z, atom.occ, atom.b_iso);
        }
      }
}

// gemmi converts integer fields with an accumulator that overflows (undefined
// behaviour) past nine digits; no integer field of a structure needs more, so
// such a value is refused before the structure is built.
bool Is_Overlong_Integer(const std::string& value) {
  std::size_t i = (!value.empty() && (value[0] == '-' || value[0] == '+')) ? 1 : 0;
  std::size_t digits = 0;
  while (i < value.size() && value[i] >= '0' && value[i] <= '9') ++i, ++digits;
  return digits > 9;
}

void Check_Integer_Widths(const gemmi::cif::Document& document, const std::string& name) {
  auto check = [&name](const std::string& value) {
    if (Is_Overlong_Integer(value))
      common::Fail(common::kExitBang,
                   "cannot read the mmCIF file '%s': the number '%.40s' has more digits than a structure's field holds",
                   name.c_str(), value.c_str());
  };
  auto check_items = [&check](const auto& self, const std::vector<gemmi::cif::Item>& items) -> void {
    for (const gemmi::cif::Item& item : items) {
      if (item.type == gemmi::cif::ItemType::Pair) check(item.pair[1]);
      if (item.type == gemmi::cif::ItemType::Loop)
        for (const std::string& value : item.loop.values) check(value);
      if (item.type == gemmi::cif::ItemType::Frame) self(self, item.frame.items);
    }
  };
  for (const gemmi::cif::Block& block : document.blocks) check_items(check_items, block.items);
}

std::string Mmcif_To_Pdb_Text(std::string_view text, const std::string& name) {
  try {
    const gemmi::cif::Document document = gemmi::cif::read_memory(text.data(), text.size(), name.c_str());
    Check_Integer_Widths(document, name);
    gemmi::Structure st = gemmi::make_structure(document);
    for (gemmi::Model& model : st.models)
      model.chains.erase(std::remove_if(model.chains.begin(), model.chains.end(),
                                        [](const gemmi::Chain& chain) { return chain.name.size() > 2; }),
                         model.chains.end());
    Check_Fits_Pdb_Columns(st, name);
    std::ostringstream pdb;
    gemmi::write_minimal_pdb(st, pdb);
    return pdb.str();
  } catch (const std::bad_alloc&) {
    throw;
  } catch (const common::Fatal_Error&) {
    throw;
  } catch (const std::exception& error) {
    common::Fail(common::kExitBang, "cannot read the mmCIF file '%s': %s", name.c_str(), error.what());
  }
}

std::string Structure_Text(std::string bytes, const std::string& name) {
  if (Is_Gzip(bytes)) bytes = Gunzip(bytes, name);
  if (Is_Mmcif(bytes)) return Mmcif_To_Pdb_Text(bytes, name);
  return bytes;
}

std::optional<std::string> Load_Structure_Text(const std::string& path) {
  std::error_code error;
  if (std::filesystem::is_directory(path, error))
    common::Fail(common::kExitPeriod, "'%s' is a directory.", path.c_str());
  auto bytes = common::Read_Whole_File(path);
  if (!bytes) return std::nullopt;
  return Structure_Text(std::move(*bytes), path);
}

}  // namespace structure
