#include "core/sorting/sorting_loop.h"

#include "exif/photo_info.h"

namespace sortelia {

SortingLoop::SortingLoop(SortingSession& session, fs::FileOperations& files)
    : journal(session, files),
      comments(session),
      transfer(session, journal, comments, files),
      marks(session, journal, files),
      session_(session) {
  session.deletionPass = [this] { marks.DMRKFdelete(); };
  EntryDisplay& display = session.display();
  display.markDeleted = [this](bool marked) { marks.DelMark(marked); };
  display.noPicture = [this] { comments.noteNoPicture(); };
  auto getPdata = display.loadPhotoData;
  display.loadPhotoData = [this, getPdata](const std::string& path) {
    if (getPdata) getPdata(path);
    if (!session_.display().picture()) {
      comments.noteNoPicture();
      return;
    }
    // In EXIF item mode GetPdata has just read this file's comment; in camera parameter mode
    // it read none, so the comment is read here.
    if (exif::isExifItemMode(session_.state().options.exifItemMask)) {
      comments.noteShownPicture(path, session_.photo().ExifInfo1.UserComment);
    } else {
      exif::TExifInfo own;
      own.setImageFileName(path);
      comments.noteShownPicture(path, own.UserComment);
    }
  };
}

}  // namespace sortelia
