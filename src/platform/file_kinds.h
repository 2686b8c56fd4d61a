// The kinds of file a camera folder holds, by extension, in one table: the pictures and movies
// that are entries of the image list, and the files that belong to a picture of the same name
// (its RAW, the sidecars of editors, phones and action cameras, the movie of a Live Photo).
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace sortelia::fs {

enum class MediaKind {
  Picture,  // an entry of the list, shown as a picture
  Movie,    // an entry of the list, shown with the movie button
  Raw,      // a camera's RAW file: a companion of the picture of the same name
  Sidecar,  // an editor's, phone's or camera's side file: a companion too
};

struct MediaKindEntry {
  std::string_view extension;  // lower case, with its dot
  MediaKind kind;
  // A movie of this extension beside a picture of the same name is that picture's Live Photo
  // movie, a companion rather than an entry of its own.
  bool livePhotoMovie = false;
  // One of the three kinds the list has always held (".jpg", ".mov", ".mpg"): the only ones
  // listed when the person asks for JPEG, MOV and MPG only.
  bool classic = false;
};

// Every extension the program knows, in the order the list scan takes them (".jpg" first,
// then ".mov", then ".mpg", as each folder has always been listed, then the newer kinds).
inline constexpr MediaKindEntry kFileKinds[] = {
    {".jpg", MediaKind::Picture, false, true},
    {".mov", MediaKind::Movie, true, true},
    {".mpg", MediaKind::Movie, false, true},
    // Pictures of phones and newer cameras (HEIF with HEVC or AV1 pictures), shown through
    // libheif.
    {".heic", MediaKind::Picture},
    {".heif", MediaKind::Picture},
    {".hif", MediaKind::Picture},
    {".avif", MediaKind::Picture},
    // Movies of phones, action cameras and camcorders, played by the desktop's player.
    {".mp4", MediaKind::Movie},
    {".m4v", MediaKind::Movie},
    {".3gp", MediaKind::Movie},
    {".mts", MediaKind::Movie},
    {".m2ts", MediaKind::Movie},
    {".avi", MediaKind::Movie},
    // RAW files of camera makers, the extensions they write. A RAW beside a picture of its
    // stem is that picture's companion; a RAW alone is an entry, shown by its preview.
    {".3fr", MediaKind::Raw},
    {".arw", MediaKind::Raw},
    {".cr2", MediaKind::Raw},
    {".cr3", MediaKind::Raw},
    {".crw", MediaKind::Raw},
    {".dcr", MediaKind::Raw},
    {".dng", MediaKind::Raw},
    {".erf", MediaKind::Raw},
    {".iiq", MediaKind::Raw},
    {".kdc", MediaKind::Raw},
    {".mef", MediaKind::Raw},
    {".mos", MediaKind::Raw},
    {".mrw", MediaKind::Raw},
    {".nef", MediaKind::Raw},
    {".nrw", MediaKind::Raw},
    {".orf", MediaKind::Raw},
    {".pef", MediaKind::Raw},
    {".raf", MediaKind::Raw},
    {".raw", MediaKind::Raw},
    {".rw2", MediaKind::Raw},
    {".rwl", MediaKind::Raw},
    {".sr2", MediaKind::Raw},
    {".srf", MediaKind::Raw},
    {".srw", MediaKind::Raw},
    {".x3f", MediaKind::Raw},
    // Sidecars: XMP of editors (as "stem.xmp" or "name.ext.xmp"), a phone's edit record, an
    // action camera's thumbnail and low-resolution video, a voice memo, the settings of two
    // RAW developers.
    {".xmp", MediaKind::Sidecar},
    {".aae", MediaKind::Sidecar},
    {".thm", MediaKind::Sidecar},
    {".lrv", MediaKind::Sidecar},
    {".wav", MediaKind::Sidecar},
    {".pp3", MediaKind::Sidecar},
    {".dop", MediaKind::Sidecar},
};

// The extension of a file name as the table spells it: the text from its last "." on, in
// lower case; "" for a name without a dot.
std::string lowerExtension(std::string_view name);

// The table's entry for a file name's extension (letter case ignored); nullopt for an
// extension the table does not hold.
std::optional<MediaKindEntry> kindOfName(std::string_view name);

// The extensions of the entries of the image list (pictures and movies), in the table's order;
// with classicOnly, only ".jpg", ".mov" and ".mpg". RAW files, entries only when alone, are
// not among them.
std::vector<std::string> listedExtensions(bool classicOnly = false);

// Whether a file of this name is shown as a picture (a picture's or a RAW's extension).
bool isPictureName(std::string_view name);
// Whether a file of this name is a movie of the list.
bool isMovieName(std::string_view name);

// The name a companion takes when its picture pictureName is named newPictureName: an
// "name.ext.xmp" follows the picture's whole new name ("IMG_1.JPG.xmp" -> "NEW.JPG.xmp"),
// any other companion the picture's new stem with its own extension ("img_1.CR3" ->
// "NEW.CR3"). companion is the companion's present name, which starts with the picture's stem
// in any letter case.
std::string companionName(std::string_view pictureName, std::string_view newPictureName,
                          std::string_view companion);

}  // namespace sortelia::fs
