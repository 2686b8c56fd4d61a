// The EXIF record as text, one "Name: value" line per field in declared order.
#pragma once

#include <string>

#include "exif/exif_info.h"

namespace sortelia::exif {

// Every field of the record on its own line, "Name: value", each line ended by "\n": a
// rational as its Text and its Value in %g, an enumeration as its Value and its Text, one
// "UserComment: ..." line per comment item.
std::string recordText(const TExifInfo& info);

}  // namespace sortelia::exif
