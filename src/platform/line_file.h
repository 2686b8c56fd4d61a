// The program's own line-based text files: CR LF line ends, CP932 or UTF-8 (see text_codec.h).
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "platform/file_ops.h"

namespace sortelia {

// Upper bound for reading one of the program's own small text files; bytes beyond it are
// ignored, so a damaged or hostile file cannot make the program allocate without bound.
inline constexpr std::size_t kMaxTextFileBytes = 16 * 1024 * 1024;

// Reads a text file into UTF-8 lines. Lines end at CR LF, LF or a lone CR; the last line
// needs no line end. A file that starts with the UTF-8 byte order mark is taken as it stands
// behind the mark, bytes that are not UTF-8 (names kept byte for byte) included; any other
// file is taken whole as UTF-8 when valid, otherwise as CP932. nullopt when the file cannot
// be read.
std::optional<std::vector<std::string>> readTextLines(const std::string& path);

// Splits already decoded text into lines as readTextLines does.
std::vector<std::string> splitLines(const std::string& text);

// The lines joined with CR LF between them (none after the last).
std::string joinLines(const std::vector<std::string>& lines);

// Writes lines, each followed by CR LF, atomically; CP932 when the whole text reads back
// unchanged from CP932 (text::encodeForFile), otherwise UTF-8. Text that is not all UTF-8 (a
// folder name of other bytes) is written as it stands behind the UTF-8 byte order mark, which
// tells readTextLines not to take it for CP932. For the program's own files ("zel.ini",
// "zel-prm.txt", "zel-lang.txt", "zel-opt.txt"), which are replaced even when read-only.
fs::FileResult writeTextLines(const std::string& path, const std::vector<std::string>& lines);

}  // namespace sortelia
