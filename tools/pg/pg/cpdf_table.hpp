// The cPDF table: a classifier over a regular grid of feature bins, read
// from a text file once and then looked up in memory (see class_lookup.hpp).
//
// File grammar, as the reader consumes it (C classes, F features):
//   line      number of classes (1..2)
//   C words   class names, then the rest of that line is skipped
//   line      number of features (1..5)
//   F words   feature names, then the rest of that line is skipped
//   F numbers minima, rest of line skipped; then maxima; then bin sizes
//   line      smoothing window (an integer; above 2 it is taken as 2)
//   line      ignored
//   C times   F numbers, the center of mass of each class, rest of line skipped
//   line      tag line whose first word is exactly "DATA"
//   lines     one cell value per line in row order (feature 0 fastest, class slowest)
#pragma once

#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

namespace pg {

inline constexpr int kMaxClasses = 2;
inline constexpr int kMaxFeatures = 5;
inline constexpr int kMaxDimensions = kMaxFeatures + 1;
inline constexpr std::size_t kMaxNameChars = 49;  // names live in 50-character buffers
inline constexpr int kMaxCells = 10000;
inline constexpr int kLineBufferSize = 1000;  // a line read takes at most 999 characters

struct cPDF_Table {
  int classes_num = 0;
  std::vector<std::string> class_names;  // index = class
  int feat_num = 0;
  std::vector<std::string> feat_names;              // kept for completeness; the lookup matches features by position
  std::vector<double> min, max, bs;                 // per feature
  int smooth_window = 0;                            // validated only, never applied
  std::vector<std::vector<double>> center_of_mass;  // [class][feature]
  std::vector<int> num_bins;                        // per feature, then classes_num as the last entry
  int dim_num = 0;                                  // feat_num + 1
  int mt_size = 0;                                  // number of cells
  std::vector<double> cPDF;                         // mt_size values in row order
};

// Number of bins of a feature: the range cut toward zero to a whole number,
// divided by the bin size in 80-bit extended precision and cut toward zero
// again (0 to 1 by 0.1 gives 9, not 10). Returned unconverted so that callers
// can refuse absurd counts before they become ints.
long double Bin_Count(double min, double max, double bs);

// Reads a table from an open stream. Warnings (the smoothing-window clamp)
// go to `warnings` (none when it is null); every failure throws
// common::Fatal_Error with its message.
cPDF_Table Read_cPDF_Table(std::FILE* in, std::FILE* warnings);

// Opens and reads the table file at `path` ("cannot open %s for reading").
cPDF_Table Read_cPDF_Table_File(const std::string& path, std::FILE* warnings);
// The same from the file's text, already read.
cPDF_Table Read_cPDF_Table_Text(std::string_view text, std::FILE* warnings);

}  // namespace pg
