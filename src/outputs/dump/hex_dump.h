// The hex dump of the head of a picture file, the comparison of two dumps and pointing at a
// byte: the computations behind the dump window, which only shows their lines and colours
// their marks.
//
// A dump line shows 16 bytes in 74 characters: the offset as 6 upper-case hex digits and ":"
// (columns 0-6, 0-based), one blank and 2 hex digits per byte (the pairs at 8, 11, ... 53),
// " : " (55-57), and the bytes as characters (58-73): 32..126 as themselves, every other byte
// as the half-width middle dot.
#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/file_ops.h"
#include "platform/progress.h"

namespace sortelia::outputs {

inline constexpr std::size_t kDumpSize = 1536;  // bytes dumped from the start of a file
inline constexpr std::size_t kDumpBytesPerLine = 16;
inline constexpr int kDumpLineChars = 74;
inline constexpr int kDumpLineStride = 76;          // characters from one line to the next (CR LF)
inline constexpr int kDumpHexColumn = 8;            // 0-based column of the first hex pair
inline constexpr int kDumpCharColumn = 58;          // 0-based column of the first character
inline constexpr const char* kDumpOtherByte = "･";  // shown for bytes outside 32..126
inline constexpr const char* kDumpColumnHeader =
    "Address: 0  1  2  3  4  5  6  7  8  9  A  B  C  D  E  F : 0123456789ABCDEF";

// One dump line for bytes (at most 16 are used) that start at offset in the file. A short
// last line is padded with blanks to the full 74 characters, so that every line has the same
// columns.
std::string dumpLine(std::size_t offset, std::string_view bytes);

// The dump lines of head, one per 16 bytes of its first kDumpSize bytes.
std::vector<std::string> dumpLines(std::string_view head);

// A dump of one file: its lines, or the error that kept the file from being read.
struct HexDump {
  fs::FileResult result;           // errno and path when the file could not be read
  std::vector<std::string> lines;  // empty on failure and for an empty file
};

// MakeDump: the dump of the first kDumpSize bytes of the file at path (fewer lines for a
// shorter file). A file that cannot be opened or read, a folder or any other non-regular file
// gives a failed result and no lines, so the window keeps its previous dump.
HexDump MakeDump(const std::string& path);

// A place shown in red: a hex pair (length 2) or a character (length 1) of a dump line.
struct DumpMark {
  int row = 0;     // 0-based line
  int column = 0;  // 0-based column in the line
  int length = 0;  // characters
  // Position in a dump text whose lines are stride characters apart.
  int position(int stride = kDumpLineStride) const { return row * stride + column; }
  bool operator==(const DumpMark&) const = default;
};

struct DumpComparison {
  std::vector<DumpMark> marks;  // line by line: the differing hex pairs, then the characters
  bool stopped = false;         // the token was cancelled before the last line
};

// Called after each compared line with its 0-based row and the number of lines compared.
using DumpLineDone = std::function<void(int row, int rows)>;

// The comparison ("Chk"): walks two dumps line by line as far as the shorter one reaches,
// the last line included, comparing the 16 hex pairs and then the 16 characters of each
// line; every pair or character whose text differs is marked, and the marks apply to both
// views alike. Nothing is compared when either dump is empty. After each line lineDone is
// called and the token checked; a cancelled token ends the walk (stopped, with the marks of
// the lines compared so far).
DumpComparison compareDumps(const std::vector<std::string>& upper,
                            const std::vector<std::string>& lower, const CancelToken& token,
                            const DumpLineDone& lineDone = {});

// The window caption while line row of rows is compared: "比較処理中[ %d / %d ]" with the
// position of the line's last character and the length of the shorter dump text (CR LF
// after every line).
std::string comparisonCaption(int row, int rows);

// A stretch of a dump text to select.
struct DumpSelection {
  int start = 0;
  int length = 0;
  bool operator==(const DumpSelection&) const = default;
};

// Pointing at a byte: for a caret position in a dump text whose lines are stride characters
// apart, row = caret / stride and column = caret mod stride; when the column is on one of the
// 16 characters (58..73) the result selects the hex pair of the same byte,
// start = stride * row + 3 * column - 166 and length 2 (column 58 gives the first pair at
// column 8). nullopt anywhere else, the hex part included.
std::optional<DumpSelection> hexPairAtCaret(int caret, int stride = kDumpLineStride);

}  // namespace sortelia::outputs
