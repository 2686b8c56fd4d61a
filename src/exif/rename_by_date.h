// Renaming the pictures of an image list after the moment they were taken: YYYYMMDD-HHMMSS
// from the shooting date and time (or the file's modification time), in the same folder, with
// the extension as it was, never over an existing file.
#pragma once

#include <ctime>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "exif/photo_loader.h"
#include "platform/batch_report.h"
#include "platform/file_ops.h"
#include "platform/safe_copy.h"

namespace sortelia::exif {

// The stem from the shooting date and time: ShotDate + "-" + ShotTime with every ":" removed,
// when the date is digits in the places of YYYY:MM:DD and the time digits in the places of
// HH:MM:SS ("2003:05:06", "12:34:56" -> "20030506-123456"). nullopt for any other form: the
// EXIF "unknown" date (blanks with the colons kept), dots, a missing blank, or anything else
// that would not name the moment.
std::optional<std::string> shootingTimeStem(const PhotoRecord& record);

// The stem from a file time: the local date as yyyy/MM/dd, "-", the local time as H:mm:ss,
// with every "/" and ":" removed (2003-05-06 09:12:34 -> "20030506-91234").
std::string fileTimeStem(std::time_t time);

struct RenameOptions {
  // Called after every rename, with the old and the new path (a companion's too).
  std::function<void(const std::string& from, const std::string& to)> renamed;
  // The rename itself, never over an existing file; tests put a file system that refuses in
  // its place.
  std::function<fs::FileResult(const std::string& from, const std::string& to)> rename =
      [](const std::string& from, const std::string& to) {
        return fs::FileOperations().renameNoReplace(from, to);
      };
  // The companions of an entry (its RAW, sidecars, Live Photo movie: full paths in its folder),
  // which take the entry's new stem with it; none when unset.
  std::function<std::vector<std::string>(const std::string& entry)> companionsOf = {};
};

// Renames every entry of the list that carries no deletion mark, first to last: the target
// is the entry's folder + stem + its extension in its own letter case, where the stem comes
// from shootingTimeStem of the loaded photo data, else from the file's modification time.
// While something exists at the target, or a name of the folder differs from it only in
// ASCII letter case, "_1", "_2", ... go behind the stem, the first free name winning; a picture
// already named after its time thus moves on to the next free name. A picture's companions
// take its new stem ("name.ext.xmp" its new name), and a number goes on until every name of
// the picture and its companions is free. A rename that fails is reported and the loop goes
// on; done counts the pictures renamed.
BatchReport renameByShootingTime(const std::vector<std::string>& entries, PhotoDataLoader& loader,
                                 const RenameOptions& options = {});

}  // namespace sortelia::exif
