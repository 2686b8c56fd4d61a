// Path helpers on "/"-separated UTF-8 paths: pure text, no file-system access.
#pragma once

#include <string>
#include <string_view>

namespace sortelia::fs {

// The folder of path: the text before its last "/"; "/" for a file in the root, "." when
// path has no "/".
std::string folderOf(const std::string& path);
// The text up to and including the last "/" of path; empty when path has none.
std::string folderPrefixOf(const std::string& path);
// The file name of path: the text after its last "/" (all of path when it has none).
std::string fileNameOf(const std::string& path);
// True when the file name of path ends with ext (".jpg"; compared in any ASCII letter case).
bool hasExtension(const std::string& path, std::string_view ext);
// path without the "/" characters at its end ("/" itself stays "/").
std::string withoutTrailingSlashes(const std::string& path);

}  // namespace sortelia::fs

namespace sortelia::text {

// s without blanks and tabs at both ends.
std::string trimBlanks(std::string_view s);
// s without ASCII white space (blank, tab, CR, LF, VT, FF) at both ends.
std::string trimWhitespace(std::string_view s);

}  // namespace sortelia::text
