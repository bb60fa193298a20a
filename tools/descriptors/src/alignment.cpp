#include "descriptors/alignment.hpp"

#include <memory>

#include "common/fatal_error.hpp"
#include "common/files.hpp"
#include "common/format.hpp"
#include "common/model_files.hpp"

namespace descriptors {
namespace {

constexpr char kUnreadResidue = '#';
constexpr int kUnreadIndex = 99;

// Reads and discards the rest of a line, its end included.
void Skip_Header_Line(std::FILE* file) {
  int count = 0;
  for (int c = std::getc(file); c != EOF && c != '\n'; c = std::getc(file)) {
    if (++count > kMaxHeaderChars)
      common::Fail(common::kExitPlain, "A header line of the alignment is longer than %d characters", kMaxHeaderChars);
  }
}

// Positions the reader filled in a sequence slot: they hold an index 0 to 20,
// the first unfilled one still holds the initial index.
int Read_Positions(const Alignment& ali, int sequence) {
  int positions = 0;
  while (positions < kAlignmentPositions && ali.indices[sequence][positions] != kUnreadIndex) ++positions;
  return positions;
}

}  // namespace

void Initialize_Alignment(Alignment& ali) {
  for (auto& sequence : ali.residues) sequence.fill(kUnreadResidue);
  for (auto& sequence : ali.indices) sequence.fill(kUnreadIndex);
  ali.sequence_count = -999;
  ali.length = -999;
  ali.aligned = -999;
  ali.seq_ide = -999.9;
}

int Get_AA_Index(char c) {
  for (int i = 0; i <= kGapIndex; ++i)
    if (kAlignmentLetters[i] == c) return i;
  constexpr common::Ending kExitPeriodLine{.words = "Program will exit.", .before = " ", .after = "\n"};
  common::Fail(kExitPeriodLine, "No AA index was assigned.");
}

void Read_Alignment(const std::string& path, Alignment& ali, std::FILE* out) {
  const common::File file = common::Open_Input(path);
  if (!file) common::Fail(common::kBlankLine, "cannot open alignment file '%s'", path.c_str());
  std::FILE* in = file.get();
  int sequence = 0;
  bool stop = false;
  // Everything outside an entry (before the first '>' and between a '*' and
  // the next '>') is skipped.
  for (int c = std::getc(in); c != EOF && !stop; c = std::getc(in)) {
    if (c != '>') continue;
    int position = 0;
    Skip_Header_Line(in);  // code line, e.g. "P1;name"
    Skip_Header_Line(in);  // description line
    for (c = std::getc(in); c != EOF; c = std::getc(in)) {
      if (c == '*') {
        ++sequence;
        if (sequence >= kAlignmentSequences) {
          std::fprintf(out, "Maximum number of sequences in the alignment = %d\n", kAlignmentSequences);
          std::fprintf(out, "No more sequences will be read from the alignment\n");
          stop = true;
        }
        ali.length = position;
        ali.sequence_count = sequence;
        break;
      }
      if (c == '\n') continue;
      // A Windows line end is a line end; a carriage return alone is refused.
      if (c == '\r') {
        const int after = std::getc(in);
        if (after == '\n') continue;
        std::ungetc(after, in);
      }
      ali.residues[sequence][position] = static_cast<char>(c);
      ali.indices[sequence][position] = Get_AA_Index(static_cast<char>(c));
      if (++position == kAlignmentPositions)
        common::Fail(common::kExitPlain, "Maximum number of residues in the alignment = %d", kAlignmentPositions);
    }
  }
  if (std::ferror(in)) common::Fail(common::kBlankLine, "cannot read alignment file");
}

void Get_Seq_Ide_and_Aligned(Alignment& ali, int length) {
  if (length > kAlignmentPositions)
    common::Fail(common::kLineEnd, "alignment length %d is beyond the %d positions of the record", length,
                 kAlignmentPositions);
  int aligned = 0;
  int identical = 0;
  int residues_1 = 0;
  int residues_2 = 0;
  for (int m = 0; m < length; ++m) {
    const int a = ali.indices[0][m];
    const int b = ali.indices[1][m];
    if (a != kGapIndex && b != kGapIndex) {
      ++aligned;
      if (a == b) ++identical;
    }
    if (a != kGapIndex) ++residues_1;
    if (b != kGapIndex) ++residues_2;
    const int shorter = residues_1 < residues_2 ? residues_1 : residues_2;
    ali.aligned = aligned;
    // A shorter sequence made only of gaps shares no residue: identity 0, not 0/0.
    ali.seq_ide = shorter == 0 ? 0.0 : static_cast<double>(identical) / shorter;
  }
}

void Check_Alignment(const Alignment& ali) {
  if (ali.sequence_count < kAlignmentSequences)
    common::Fail(common::kExitPlain, "The alignment holds fewer than %d complete sequences (each must end with '*')",
                 kAlignmentSequences);
  const int first = Read_Positions(ali, 0);
  if (first != ali.length)
    common::Fail(common::kExitPlain, "The sequences of the alignment differ in length (%d and %d positions)", first,
                 ali.length);
  if (ali.length == 0) common::Fail(common::kExitPlain, "The sequences of the alignment have no position");
}

double Alignment_Identity(const std::string& path, std::FILE* out) {
  // About 24 KB: kept off the stack.
  const auto ali = std::make_unique<Alignment>();
  Initialize_Alignment(*ali);
  Read_Alignment(path, *ali, out);
  Check_Alignment(*ali);
  Get_Seq_Ide_and_Aligned(*ali, ali->length);
  return ali->seq_ide;
}

std::string Identity_File_Line(double seq_ide) { return common::Format("%10.2lf\n", seq_ide); }

std::string Identity_Percent_Line(double fraction) { return common::Format("%.2f\n", fraction * 100.0); }

common::Step_Result<Identity> Identity_Step(const std::string& path, std::FILE* notes) {
  std::string line = Identity_File_Line(Alignment_Identity(path, notes));
  Identity identity;
  identity.fraction = common::Filed_Number(line);
  identity.percent_line = Identity_Percent_Line(identity.fraction);
  identity.percent = common::Filed_Number(identity.percent_line);
  return {std::move(identity), {{std::string(common::model_files::kIdentity), std::move(line)}}};
}

}  // namespace descriptors
