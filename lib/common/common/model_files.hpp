// The names of the files the programs pass to one another. Every file of a
// model is named after it: the model's name (as given on the command line)
// followed by a fixed suffix. The suffixes live here and nowhere else, so a
// reader and its writer cannot disagree.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace common::model_files {

inline constexpr std::string_view kPairNative = ".vicina.native";
inline constexpr std::string_view kPairRandom = ".vicina.random";
inline constexpr std::string_view kSurfaceNative = ".exposa.native";
inline constexpr std::string_view kSurfaceRandom = ".exposa.random";
inline constexpr std::string_view kLength = ".length";
inline constexpr std::string_view kCompactness = ".compactness";
inline constexpr std::string_view kIdentity = ".seq_ide";  // also after an alignment's name
inline constexpr std::string_view kZScore = ".zscore";
inline constexpr std::string_view kPairZScore = ".pair.zscore";
inline constexpr std::string_view kSurfaceZScore = ".surf.zscore";
inline constexpr std::string_view kZO341 = ".zo341";
inline constexpr std::string_view kFeatures = ".in";
inline constexpr std::string_view kPG = ".pG";

// The shuffled sequences of an energy profile: a random file holds one energy
// line for each.
inline constexpr std::size_t kShuffles = 200;

// The longest suffix: what a model's name may take from a fixed-size name buffer.
inline constexpr std::size_t kLongestSuffix = kPairNative.size();

// NAME followed by the suffix.
inline std::string Name(std::string_view model, std::string_view suffix) {
  std::string name(model);
  name += suffix;
  return name;
}

}  // namespace common::model_files
