// Writing the photo information text of the pictures of an image list into text files: all
// of them into "_Photo.txt" in the source folder, or one ".txt" file beside each picture.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "exif/photo_loader.h"
#include "platform/batch_report.h"

namespace sortelia::exif {

inline constexpr const char* kPhotoInfoFileName = "_Photo.txt";

// Called once for every record written: the picture and the text file that now holds its
// information.
using ExportedCallback = std::function<void(const std::string& picture, const std::string& file)>;

// The entries of an image list that are exported, in list order: those without the deletion
// mark whose file exists as a regular file (pictures and movies alike).
std::vector<std::string> exportedPictures(const std::vector<std::string>& entries);

// The per-picture text file of picture: its folder and name with the extension (the text
// after the last "." of the name) replaced by ".txt"; ".txt" appended when it has none.
std::string infoFileNameOf(const std::string& picture);

// All-in-one export: loads every exported entry in turn and writes the information texts,
// each followed by CR LF CR LF, into sourceDir + "_Photo.txt" (sourceDir ends with "/"),
// replacing that file atomically; the file is written even when no entry is exported.
// done counts the records written; a picture that cannot be read has no record and is
// reported as a failure ("cannot read "X": Permission denied"); a failed write leaves the old
// file and is reported as one failure for "_Photo.txt".
BatchReport exportAllInOne(const std::vector<std::string>& entries, const std::string& sourceDir,
                           PhotoDataLoader& loader, const ExportedCallback& exported = {});

// Per-picture export: for every exported entry, its information text followed by
// CR LF CR LF replaces infoFileNameOf(entry) atomically. A file that cannot be written is
// reported and the export goes on with the next picture; so is a picture that cannot be read,
// and an entry whose text file holds an earlier entry's information of this run (a picture and
// a movie of one stem). done counts the files written.
BatchReport exportEachPicture(const std::vector<std::string>& entries, PhotoDataLoader& loader,
                              const ExportedCallback& exported = {});

}  // namespace sortelia::exif
