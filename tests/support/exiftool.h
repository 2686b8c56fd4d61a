// exiftool's reading of a file, for comparisons (run as a subprocess, never through a shell).
#pragma once

#include <map>
#include <string>
#include <vector>

namespace sortelia::testing {

// "Group:Tag" (e.g. "IFD0:Make", "ExifIFD:FNumber") -> the first value exiftool lists, in
// its numeric form (-n).
using ExiftoolTags = std::map<std::string, std::string>;

bool haveExiftool();

// Every tag exiftool -n -a -G1 reads from path; empty when exiftool fails.
ExiftoolTags readWithExiftool(const std::string& path);

// All values of one "Group:Tag" in the order exiftool lists them.
std::vector<std::string> allExiftoolValues(const std::string& path, const std::string& groupTag);

}  // namespace sortelia::testing
