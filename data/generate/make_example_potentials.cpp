// Writes the bundled example potential tables:
//   make_example_potentials PAIR_FILE SURFACE_FILE
//
// They are NOT derived statistical potentials. They follow one simple idea,
// hydrophobic burial (Kyte-Doolittle hydropathy), so that a native structure
// usually scores below its shuffled sequences and the suite can be tried end
// to end. They give no meaningful verdict.
//   pair:    beta carbons within 7.0 angstrom attract by the hydropathy of the
//            two residues, every other entry is 0;
//   surface: a residue's energy falls with burial for hydrophobic residues
//            and rises for polar ones.
#include <cstdio>
#include <string>

namespace {

// Hydropathy by one-letter code.
double Hydropathy(char code) {
  const std::string codes = "ARNDCQEGHILKMFPSTWYV";
  const double values[] = {1.8, -4.5, -3.5, -3.5, 2.5,  -3.5, -3.5, -0.4, -3.2, 4.5,
                           3.8, -3.9, 1.9,  2.8,  -1.6, -0.8, -0.7, -0.9, -1.3, 4.2};
  return values[codes.find(code)];
}

// Residue order of the pair atom types (type 2p is the CA, 2p+1 the CB).
constexpr char kPairOrder[] = "GAVLIMPFWSTQKYNCEDRH";
// Residue order of the surface types.
constexpr char kSurfaceOrder[] = "ARNDCEQGHILKMFPSTWYV";

bool Write_Pair(const char* path) {
  std::FILE* out = std::fopen(path, "w");
  if (!out) return false;
  for (int i = 0; i < 40; ++i)
    for (int j = 0; j < 40; ++j)
      for (int k = 0; k < 7; ++k)
        for (int l = 0; l < 30; ++l) {
          const bool cb_pair = i % 2 == 1 && j % 2 == 1;
          const bool contact = l <= 13;  // (0, 7.0] angstrom
          double value = 0.0;
          if (cb_pair && contact) value = -(Hydropathy(kPairOrder[i / 2]) + Hydropathy(kPairOrder[j / 2])) / 9.0;
          std::fprintf(out, "%d %d %d %d %.5f\n", i, j, k, l, value);
        }
  return std::fclose(out) == 0;
}

bool Write_Surface(const char* path) {
  std::FILE* out = std::fopen(path, "w");
  if (!out) return false;
  for (int i = 0; i < 20; ++i)
    for (int j = 0; j < 20; ++j) {
      const double burial = (j - 9.5) / 9.5;  // -1 exposed .. 1 buried
      std::fprintf(out, "%d %d %.5f\n", i, j, -Hydropathy(kSurfaceOrder[i]) * burial / 4.5);
    }
  return std::fclose(out) == 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fputs("usage: make_example_potentials PAIR_FILE SURFACE_FILE\n", stderr);
    return 2;
  }
  if (!Write_Pair(argv[1]) || !Write_Surface(argv[2])) {
    std::fputs("make_example_potentials: cannot write the tables\n", stderr);
    return 1;
  }
  return 0;
}
