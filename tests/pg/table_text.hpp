// Builds cPDF table texts for the tests.
#pragma once

#include <functional>
#include <string>

namespace pg_test {

// A header for the classes "good" and "bad": `features` is the features count
// line and the names, `ranges` the three lines of minima, maxima and bin sizes,
// `centers` one line per class. Window 1, then "DATA".
inline std::string Header(const std::string& features, const std::string& ranges, const std::string& centers) {
  return "2\ngood bad\n" + features + ranges + "1\nfree line\n" + centers + "DATA\n";
}

// `cells` body lines, one value each.
inline std::string Body(int cells, const std::function<double(int)>& value) {
  std::string text;
  for (int row = 0; row < cells; ++row) {
    char line[64];
    std::snprintf(line, sizeof line, "%.17g\n", value(row));
    text += line;
  }
  return text;
}

// The 2-feature table of the examples: (0, 1, 0.1) gives 9 bins, (0, 1000, 50)
// gives 20, so 360 cells; class 0's value at row r is r / 1000, class 1's 0.5.
inline const std::string kHeader360 = Header("2\nzo len\n", "0 0\n1 1000\n0.1 50\n", "0.1 100\n0.9 300\n");
inline std::string Table360() {
  return kHeader360 + Body(360, [](int row) { return row < 180 ? row / 1000.0 : 0.5; });
}

}  // namespace pg_test
