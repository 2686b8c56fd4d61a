// Image list entries and their marks, and the rotation mark of a picture's comment.
#pragma once

#include <string>
#include <vector>

namespace sortelia {

inline constexpr const char* kDeletionMark = "!:";

// ChkDMRK: true when entry starts with the deletion mark; path is then the entry without it,
// otherwise the entry unchanged.
bool ChkDMRK(const std::string& entry, std::string& path);

// The file path of an entry, with any deletion mark stripped.
std::string entryPath(const std::string& entry);

// "@090:", "@180:" or "@270:" when text starts with one of them, otherwise "".
std::string ExtractRotationMark(const std::string& text);

// Puts mark in front of text in place of an existing mark (of which at most 512 following
// bytes are kept, never half a character); the empty mark removes an existing one.
void ApplyRotationMark(const std::string& mark, std::string& text);

// Sorts entries by their full text ignoring ASCII letter case, keeping the relative order of
// entries that compare equal.
void sortImageList(std::vector<std::string>& entries);

// The image list of folders (each ending with "/"): each folder's ".jpg" files, then its
// ".mov" and ".mpg" files, all sorted by sortImageList. An unreadable folder adds nothing.
std::vector<std::string> listImages(const std::vector<std::string>& folders);

}  // namespace sortelia
