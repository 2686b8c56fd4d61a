// The sorting state: one object, created with the main window and handed to whoever needs it.
#pragma once

#include <array>
#include <string>
#include <vector>

namespace sortelia {

inline constexpr int kSlotCount = 12;
inline constexpr const char* kDefaultExifItemMask = "110011010101110010101100000";

// A destination slot: its folder (no trailing "/") and caption (the folder's last component);
// both empty when the slot is unbound.
struct Slot {
  std::string folder;
  std::string caption;
  bool bound() const { return !caption.empty(); }
};

struct SortingState {
  std::string sourceDir;  // ends with "/"; empty when no folder is set
  int imageCount = 0;     // set only by the scan
  int sortIndex = 0;      // 1-based position in sorting mode
  int viewIndex = 0;      // 1-based position in viewer mode
  bool japaneseMode = true;
  bool loopSlideShow = false;
  bool autoRename = false;
  bool keepOriginal = false;
  std::string exifItemMask = kDefaultExifItemMask;
  int cameraParamIndex = 0;
  bool firstActivation = true;
  std::string rotationMark;  // "", "@090:", "@180:" or "@270:"
  std::string deleteCaption;
  std::string restoreCaption;

  bool viewerMode = false;                // CheckView ticked
  bool subfolderSwitch = false;           // SubDchkBox down
  int resizeOption = 0;                   // 0 full size, 1 width 1600, 2 width 1280
  std::string openDialogDir;              // initial folder of the picture open dialog
  std::string undoHint = "Undoのヘルプ";  // first part of the Undo1 caption

  std::vector<std::string> images;   // FnBox: full paths, optionally behind "!:"
  std::vector<std::string> undoBox;  // UndoBox: one line per completed step
  std::array<Slot, kSlotCount> slots;

  // --- Comment editing: the picture whose comment the display put into Edit3 ---
  // Set through CommentEditor::noteShownPicture / noteNoPicture (comment_edit.h) each time
  // an entry is shown. RewriteCMT writes only into commentPath, and only when Edit3's text
  // differs from loadedComment or RotationMark differs from the file's stored mark.
  std::string commentPath;    // file of the shown picture; empty for a movie or no picture
  std::string loadedComment;  // Edit3's text as loaded for commentPath
};

}  // namespace sortelia
