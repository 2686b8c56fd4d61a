// Editing the EXIF user comment of the shown picture in the comment field Edit3, and writing
// it back, with the picture's rotation mark, when the person leaves the picture.
#pragma once

#include <string>
#include <vector>

#include "core/display/entry_events.h"
#include "core/session/sorting_session.h"

namespace sortelia {

// Height of the comment field Edit3 in pixels, used to place it at the panel's bottom.
inline constexpr int kCommentFieldHeight = 21;

// Status text while comment editing is on.
inline constexpr const char* kCommentEditStatus =
    "☆↑★↑☆【 Exif定義のユーザーコメントを編集します 】☆↑★↑☆";

// What the comment field says on a picture that is not a JPEG file (HEIC, AVIF, a RAW), in
// place of a comment it could take.
inline constexpr const char* kCommentJpegOnly = "コメントはJPEGファイルにだけ書き込めます。";
inline constexpr const char* kCommentJpegOnlyEnglish =
    "Comments can be written into JPEG files only.";

// The rotation mark the EXIF user comment of the file at path carries ("" for none), as the
// editor takes it when the picture is shown. Touches nothing but the file: safe on any thread.
std::string rotationMarkOfFile(const std::string& path);

class CommentEditor : public EntryListener {
 public:
  explicit CommentEditor(SortingSession& session);

  // The display shows the picture at path whose UserComment lines are userComment, and Edit3
  // holds the comment the photo data put there: RotationMark becomes the picture's mark, and
  // the field's text, as the field gives it back, is remembered as the unchanged text.
  void noteShownPicture(const std::string& path, const std::vector<std::string>& userComment);
  // The display shows no picture (a movie, an undecodable file, nothing): nothing to write.
  void noteNoPicture();
  // The display shows a picture that is not a JPEG file: the field, read only, says that
  // comments go into JPEG files only, and nothing is written.
  void noteOtherPicture();
  // A shown picture fills Edit3 with its comment (shown and focused while editing is on);
  // any other entry leaves nothing to write.
  void entryShown(const ShownEntry& e) override;
  void noPicture() override { noteNoPicture(); }

  // SpeedButton1Click, after the button toggled: shows or hides Edit3 and the red status.
  void SpeedButton1Click();
  // SetCmtEdit: places Edit3 along the bottom of the display area; a visible field gets the
  // focus with its text selected.
  void SetCmtEdit();
  // RewriteCMT: writes Edit3's text and RotationMark into entry index (1-based) when either
  // changed and the entry is the picture they were loaded for; true when the file was written.
  // Only ".JPG" files (any letter case) are written. Throws exif::ExifWriteError (the file is
  // then untouched) or std::system_error when the file cannot be read or written.
  bool RewriteCMT(int index);

 private:
  SortingSession& session_;
};

}  // namespace sortelia
