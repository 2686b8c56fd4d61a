// Image list entries and their marks, and the rotation mark of a picture's comment.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "core/state/sorting_state.h"

namespace sortelia {

inline constexpr const char* kDeletionMark = "!:";

// ChkDMRK: true when entry starts with the deletion mark; path is then the entry without it,
// otherwise the entry unchanged.
bool ChkDMRK(const std::string& entry, std::string& path);

// The file path of an entry, with any deletion mark stripped.
std::string entryPath(const std::string& entry);

// "@090:", "@180:" or "@270:" when text starts with one of them, otherwise "".
std::string ExtractRotationMark(const std::string& text);

// Puts mark in front of text in place of an existing mark, keeping all of the text after it;
// the empty mark removes an existing one.
void ApplyRotationMark(const std::string& mark, std::string& text);

// Sorts entries by their full text ignoring ASCII letter case, keeping the relative order of
// entries that compare equal.
void sortImageList(std::vector<std::string>& entries);

// The image list of folders (each ending with "/"): each folder's ".jpg" files, then its
// ".mov" and ".mpg" files, then the newer kinds of the file-kinds table and the RAW files
// without a picture of their stem, all sorted by sortImageList, no companions taken out. An
// unreadable folder adds nothing.
std::vector<std::string> listImages(const std::vector<std::string>& folders);

// An image list with the companions of its entries.
struct ImageListing {
  std::vector<std::string> entries;  // as listImages, less the Live Photo movies
  // Each entry's companions (full paths, sorted by name), by the entry's path; an entry
  // without companions has none here.
  std::map<std::string, std::vector<std::string>> companions;
  // Entries whose companions another entry of the same stem took, being first in the list
  // ("IMG_1.JPG" takes "IMG_1.CR3" from "img_1.jpg").
  std::vector<std::string> sharedStem;
};

// The image list of folders: each folder's pictures, movies and RAW files without a picture of
// their stem (only ".jpg", ".mov" and ".mpg" with classicOnly), sorted by sortImageList, with
// companions when withCompanions is set (else exactly listImages). A companion is a regular,
// non-hidden file (never a folder or a symbolic link) of the entry's folder whose name is the
// entry's stem plus the extension of a RAW or a sidecar, letter case ignored, or, for an ".xmp",
// the entry's whole name plus ".xmp". A ".mov" of a picture's stem is its Live Photo movie: a
// companion, no longer an entry. A stem that several entries share gives its companions to the
// first in list order, pictures before movies; an
// ".xmp" named after one entry's whole name goes to that entry.
ImageListing listPictures(const std::vector<std::string>& folders, bool withCompanions,
                          bool classicOnly = false);

// The files a step on picture acts on: the picture, then, when companions are kept with their
// picture, each of its listed companions that is still a regular file.
std::vector<std::string> filesOfPicture(const SortingState& state, const std::string& picture);

// The companions of path as listing recorded them; none when it recorded none.
const std::vector<std::string>& companionsOf(
    const std::map<std::string, std::vector<std::string>>& companions, const std::string& path);

}  // namespace sortelia
