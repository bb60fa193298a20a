// Sequence identity of a two-sequence alignment in PIR format: the positions
// where both sequences carry the same residue, divided by the number of
// residues of the shorter sequence (gaps excluded), as a fraction 0 to 1.
#pragma once

#include <array>
#include <cstdio>
#include <string>

#include "common/step.hpp"

namespace descriptors {

inline constexpr int kAlignmentSequences = 2;
// A sequence may hold at most kAlignmentPositions - 1 positions.
inline constexpr int kAlignmentPositions = 2000;
// Residue letters in residue-index order; the gap '-' is index 20.
inline constexpr char kAlignmentLetters[] = "ARNDCEQGHILKMFPSTWYV-";
inline constexpr int kGapIndex = 20;
// Longest PIR header line (code or description line) that is accepted.
inline constexpr int kMaxHeaderChars = 999;

struct Alignment {
  // Characters exactly as read; '#' where nothing was read.
  std::array<std::array<char, kAlignmentPositions>, kAlignmentSequences> residues;
  // Index of each character in kAlignmentLetters; 99 where nothing was read.
  std::array<std::array<int, kAlignmentPositions>, kAlignmentSequences> indices;
  int sequence_count;  // complete sequences read, -999 before the first
  int length;          // positions of the sequence completed last, -999 before the first
  int aligned;         // positions where neither sequence has a gap
  double seq_ide;      // -999.9 until computed
};

// Sets every field to its initial value: '#', 99, -999, -999, -999, -999.9.
void Initialize_Alignment(Alignment& ali);

// Fills the record from a PIR file. Each entry is '>', the rest of that line
// (code), one description line, then the sequence up to '*'; newlines inside
// the sequence are skipped. After the second complete sequence it prints
// "Maximum number of sequences in the alignment = 2\n" and
// "No more sequences will be read from the alignment\n" on `out` and stops.
// Throws Fatal_Error for a file that cannot be opened or read, a character outside
// kAlignmentLetters in a sequence, a sequence reaching 2000 positions and a
// header line longer than kMaxHeaderChars.
void Read_Alignment(const std::string& path, Alignment& ali, std::FILE* out);

// Index of `c` in kAlignmentLetters (case-sensitive); any other character
// throws "No AA index was assigned. Program will exit.\n".
int Get_AA_Index(char c);

// Counts the aligned positions and computes the identity over the first
// `length` positions, storing both in the record after each position. When the
// shorter sequence has no residue in those positions the identity is 0.
void Get_Seq_Ide_and_Aligned(Alignment& ali, int length);

// Refuses a read record that cannot give a meaningful identity: fewer than
// two complete sequences, sequences of different length, or no position.
void Check_Alignment(const Alignment& ali);

// The identity of the alignment in a file: read, checked and computed.
// Reading messages go to `out`.
double Alignment_Identity(const std::string& path, std::FILE* out);

// The content of ALIGNMENT.seq_ide: "%10.2lf\n".
std::string Identity_File_Line(double seq_ide);

// The identity as the assessment takes it on.
struct Identity {
  double fraction = 0.0;     // as ALIGNMENT.seq_ide gives it
  std::string percent_line;  // the model's NAME.seq_ide: Identity_Percent_Line(fraction)
  double percent = 0.0;      // as that line gives it to ZO341
};

// The percentage line of a model's identity: the fraction times 100, "%.2f\n".
std::string Identity_Percent_Line(double fraction);

// The identity step: the identity of the alignment in a file (reading notes
// go to `notes`) and its file ALIGNMENT.seq_ide, named after the alignment.
common::Step_Result<Identity> Identity_Step(const std::string& path, std::FILE* notes);

}  // namespace descriptors
