#include "outputs/dump/hex_dump.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>

#include "platform/format.h"
#include "platform/text_codec.h"
#include "platform/unique_fd.h"

namespace sortelia::outputs {
namespace {

constexpr int kPairs = static_cast<int>(kDumpBytesPerLine);

// The 16 character cells of a dump line (UTF-8 sequences from the character column on);
// cells a damaged line lacks are empty.
std::vector<std::string_view> characterCells(std::string_view line) {
  std::vector<std::string_view> cells(kDumpBytesPerLine);
  std::size_t i = kDumpCharColumn;
  for (auto& cell : cells) {
    if (i >= line.size()) break;
    const std::size_t n =
        std::min(text::utf8SequenceLength(static_cast<unsigned char>(line[i])), line.size() - i);
    cell = line.substr(i, n);
    i += n;
  }
  return cells;
}

std::string_view hexPair(std::string_view line, int j) {
  const std::size_t at = kDumpHexColumn + 3 * static_cast<std::size_t>(j);
  return at < line.size() ? line.substr(at, 2) : std::string_view();
}

// Reads at most kDumpSize bytes from the start of an open regular file.
bool readHead(int fd, std::string& out) {
  char buf[kDumpSize];
  std::size_t got = 0;
  while (got < kDumpSize) {
    const ssize_t n = ::read(fd, buf + got, kDumpSize - got);
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    if (n == 0) break;
    got += static_cast<std::size_t>(n);
  }
  out.assign(buf, got);
  return true;
}

}  // namespace

std::string dumpLine(std::size_t offset, std::string_view bytes) {
  bytes = bytes.substr(0, std::min(bytes.size(), kDumpBytesPerLine));
  char head[16];
  std::snprintf(head, sizeof head, "%06zX:", offset & 0xFFFFFF);
  std::string line = head;
  std::string chars;
  for (std::size_t j = 0; j < kDumpBytesPerLine; ++j) {
    if (j >= bytes.size()) {
      line += "   ";
      chars += ' ';
      continue;
    }
    const auto b = static_cast<unsigned char>(bytes[j]);
    char pair[4];
    std::snprintf(pair, sizeof pair, " %02X", b);
    line += pair;
    if (b >= 32 && b <= 126) {
      chars += static_cast<char>(b);
    } else {
      chars += kDumpOtherByte;
    }
  }
  return line + " : " + chars;
}

std::vector<std::string> dumpLines(std::string_view head) {
  head = head.substr(0, std::min(head.size(), kDumpSize));
  std::vector<std::string> lines;
  for (std::size_t offset = 0; offset < head.size(); offset += kDumpBytesPerLine) {
    lines.push_back(dumpLine(offset, head.substr(offset, kDumpBytesPerLine)));
  }
  return lines;
}

HexDump MakeDump(const std::string& path) {
  HexDump dump;
  // Non-blocking, so that a pipe or device given by mistake cannot hang the open.
  fs::UniqueFd fd(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
  if (fd.get() < 0) {
    dump.result = fs::FileResult::failure(errno, path);
    return dump;
  }
  struct stat st {};
  if (::fstat(fd.get(), &st) != 0) {
    dump.result = fs::FileResult::failure(errno, path);
    return dump;
  }
  if (!S_ISREG(st.st_mode)) {
    dump.result = fs::FileResult::failure(S_ISDIR(st.st_mode) ? EISDIR : EINVAL, path);
    return dump;
  }
  std::string head;
  if (!readHead(fd.get(), head)) {
    dump.result = fs::FileResult::failure(errno, path);
    return dump;
  }
  dump.lines = dumpLines(head);
  return dump;
}

DumpComparison compareDumps(const std::vector<std::string>& upper,
                            const std::vector<std::string>& lower, const CancelToken& token,
                            const DumpLineDone& lineDone) {
  DumpComparison result;
  const int rows = static_cast<int>(std::min(upper.size(), lower.size()));
  for (int row = 0; row < rows; ++row) {
    const std::string_view a = upper[row];
    const std::string_view b = lower[row];
    for (int j = 0; j < kPairs; ++j) {
      if (hexPair(a, j) != hexPair(b, j)) result.marks.push_back({row, kDumpHexColumn + 3 * j, 2});
    }
    const auto ca = characterCells(a);
    const auto cb = characterCells(b);
    for (int j = 0; j < kPairs; ++j) {
      if (ca[j] != cb[j]) result.marks.push_back({row, kDumpCharColumn + j, 1});
    }
    if (lineDone) lineDone(row, rows);
    if (token.cancelled() && row + 1 < rows) {
      result.stopped = true;
      break;
    }
  }
  return result;
}

std::string comparisonCaption(int row, int rows) {
  return format("比較処理中[ %d / %d ]",
                {row * kDumpLineStride + kDumpLineChars, rows * kDumpLineStride});
}

std::optional<DumpSelection> hexPairAtCaret(int caret, int stride) {
  if (caret < 0 || stride < kDumpLineChars) return std::nullopt;
  const int row = caret / stride;
  const int column = caret % stride;
  if (column < kDumpCharColumn || column >= kDumpLineChars) return std::nullopt;
  return DumpSelection{stride * row + 3 * column - 166, 2};
}

}  // namespace sortelia::outputs
