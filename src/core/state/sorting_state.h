// The sorting state: one object, created with the main window and handed to whoever needs it.
// It is split by what owns each part: the source list, the options (edited as one value by the
// options window), the slots, the comment of the shown picture, and the journal.
#pragma once

#include <array>
#include <map>
#include <string>
#include <vector>

#include "exif/photo_info.h"

namespace sortelia {

inline constexpr int kSlotCount = 12;

// A destination slot: its folder (no trailing "/") and caption (the folder's last component);
// both empty when the slot is unbound.
struct Slot {
  std::string folder;
  std::string caption;
  bool bound() const { return !caption.empty(); }
};

// The image list and the positions in it.
struct SourceList {
  std::string sourceDir;            // ends with "/"; empty when no folder is set
  std::vector<std::string> images;  // FnBox: full paths, optionally behind "!:"
  int imageCount = 0;               // set only by the scan
  unsigned rebuilds = 0;            // how often the scan rebuilt images
  int sortIndex = 0;                // 1-based position in sorting mode
  int viewIndex = 0;                // 1-based position in viewer mode
  bool viewerMode = false;          // CheckView ticked
  bool subfolderSwitch = false;     // SubDchkBox down
  std::string openDialogDir;        // initial folder of the picture open dialog
  // Each listed picture's companion files (full paths: its RAW, sidecars, Live Photo movie),
  // by the picture's path; set by the scan when companions are kept with their picture.
  std::map<std::string, std::vector<std::string>> companions;

  // The 1-based position on display: viewIndex in viewer mode, sortIndex otherwise.
  int shownIndex() const { return viewerMode ? viewIndex : sortIndex; }
  // The list's entry on display (maybe behind the deletion mark); nullptr when the position is
  // outside the list.
  const std::string* shownEntry() const {
    const int i = shownIndex();
    return i >= 1 && i <= static_cast<int>(images.size()) ? &images[i - 1] : nullptr;
  }
};

// The largest bounds of the transfer queue the options accept.
inline constexpr int kMaxQueueSteps = 1000;
inline constexpr int kMaxQueueMegabytes = 65536;

// The options the person sets (the options window edits a copy and applies it as one value).
struct Options {
  bool japaneseMode = true;
  bool loopSlideShow = false;
  bool autoRename = false;
  bool keepOriginal = false;
  std::string exifItemMask = exif::kDefaultExifItemMask;
  int cameraParamIndex = 0;
  int resizeOption = 0;  // 0 full size, 1 width 1600, 2 width 1280
  // Kept outside "zel.ini", in the data folder's "zel-opt.txt":
  bool keepCompanions = true;  // RAW, sidecars and Live Photo movies go with their picture
  bool trashDeleted = true;    // the deletion pass moves files to the desktop Trash
  // The list holds ".jpg", ".mov" and ".mpg" files only, as it always did, and none of the
  // newer pictures (HEIC, HEIF, AVIF, RAW alone) and movies.
  bool jpegMovMpgOnly = false;
  // The transfer queue's bounds: a slot key waits while this many steps, or this many
  // megabytes, are queued and not yet written.
  int queueSteps = 8;
  int queueMegabytes = 512;
  bool operator==(const Options&) const = default;
};

// The comment of the shown picture. RewriteCMT writes only into path, and only when Edit3's
// text differs from loadedText or rotationMark differs from the file's stored mark.
struct CommentState {
  std::string path;          // file of the shown picture; empty for a movie or no picture
  std::string loadedText;    // Edit3's text as loaded for path
  std::string rotationMark;  // "", "@090:", "@180:" or "@270:"
  // The shown picture is not a JPEG: the field shows kCommentJpegOnly and takes no text.
  bool jpegOnlyNote = false;
};

// The undo journal UndoBox and the captions that name its steps.
struct UndoState {
  std::vector<std::string> lines;     // one line per completed step, the newest last
  std::string hint = "Undoのヘルプ";  // first part of the Undo1 caption
};

// Captions that depend on the language mode.
struct ModeCaptions {
  std::string deleteCaption;
  std::string restoreCaption;
};

struct SortingState {
  SourceList list;
  Options options;
  std::array<Slot, kSlotCount> slots;
  CommentState comment;
  UndoState undo;
  ModeCaptions captions;
  bool firstActivation = true;
};

}  // namespace sortelia
