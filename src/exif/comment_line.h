// makecmt: the short date and comment line of prints and the "FILE" overlay.
#pragma once

#include <string>

#include "exif/photo_info.h"

namespace sortelia::exif {

// One line about the picture of record: file name (of record.FilePath), date, time (each
// followed by blanks), then freeText, with ":" and record.Comment when withComment; cut to 50
// CP932 bytes (never half a character) and trimmed. The date and time are record.ShotDate and
// record.ShotTime when exifDateTime is set (the "Exif DT" box) and the date is not empty,
// otherwise the modification time of path as "yyyy/MM/dd" and "H:mm:ss" (local time; empty
// when path has none).
std::string makecmt(const PhotoRecord& record, const std::string& path, bool withName,
                    const std::string& freeText, bool withComment, bool withTime, bool withDate,
                    bool exifDateTime = true);

}  // namespace sortelia::exif
