#include "core/display/image_list.h"

#include <algorithm>
#include <set>

#include "exif/rotation_mark.h"
#include "platform/file_kinds.h"
#include "platform/file_list.h"
#include "platform/file_ops.h"
#include "platform/path.h"
#include "platform/text_codec.h"

namespace sortelia {
namespace {

char lowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

}  // namespace

bool ChkDMRK(const std::string& entry, std::string& path) {
  if (entry.rfind(kDeletionMark, 0) == 0) {
    path = entry.substr(2);
    return true;
  }
  path = entry;
  return false;
}

std::string entryPath(const std::string& entry) {
  std::string path;
  ChkDMRK(entry, path);
  return path;
}

std::string ExtractRotationMark(const std::string& text) { return exif::rotationMarkOf(text); }

void ApplyRotationMark(const std::string& mark, std::string& text) {
  exif::ApplyRotationMark(mark, text);
}

void sortImageList(std::vector<std::string>& entries) {
  std::stable_sort(entries.begin(), entries.end(), [](const std::string& a, const std::string& b) {
    return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
      return static_cast<unsigned char>(lowerAscii(x)) < static_cast<unsigned char>(lowerAscii(y));
    });
  });
}

std::vector<std::string> listImages(const std::vector<std::string>& folders) {
  return listPictures(folders, false).entries;
}

namespace {

// The folder of path with its "/" and the stem of its name in lower case: the key under which
// files of one picture meet.
std::string stemKey(const std::string& path) {
  const std::string name = fs::fileNameOf(path);
  const auto dot = name.rfind('.');
  return fs::folderPrefixOf(path) +
         text::asciiLower(dot == std::string::npos ? name : name.substr(0, dot));
}

bool isKind(const std::string& path, fs::MediaKind kind) {
  const auto k = fs::kindOfName(fs::fileNameOf(path));
  return k && k->kind == kind;
}

// The kind of an entry of the list: a RAW that is an entry is a picture.
bool isEntryKind(const std::string& path, fs::MediaKind kind) {
  return kind == fs::MediaKind::Picture ? fs::isPictureName(fs::fileNameOf(path))
                                        : isKind(path, kind);
}

// Assigns the companions of the listed entries, taking the Live Photo movies out of the list.
void groupCompanions(ImageListing& listing, const std::vector<std::string>& others) {
  std::map<std::string, std::string> ownerOfStem;  // stem key -> first entry of that stem
  std::map<std::string, std::string> ownerOfName;  // folder + lower-case name -> entry
  std::map<std::string, int> entriesOfStem;
  for (const auto kind : {fs::MediaKind::Picture, fs::MediaKind::Movie}) {
    for (const std::string& e : listing.entries) {
      if (!isEntryKind(e, kind)) continue;
      const std::string key = stemKey(e);
      if (kind == fs::MediaKind::Movie && fs::kindOfName(fs::fileNameOf(e))->livePhotoMovie) {
        const auto owner = ownerOfStem.find(key);
        if (owner != ownerOfStem.end() && isEntryKind(owner->second, fs::MediaKind::Picture)) {
          listing.companions[owner->second].push_back(e);
          continue;
        }
      }
      ++entriesOfStem[key];
      ownerOfStem.emplace(key, e);
      ownerOfName.emplace(fs::folderPrefixOf(e) + text::asciiLower(fs::fileNameOf(e)), e);
    }
  }
  for (const std::string& file : others) {
    const std::string lower = fs::folderPrefixOf(file) + text::asciiLower(fs::fileNameOf(file));
    const auto byName = fs::lowerExtension(lower) == ".xmp"
                            ? ownerOfName.find(lower.substr(0, lower.size() - 4))
                            : ownerOfName.end();
    if (byName != ownerOfName.end()) {
      listing.companions[byName->second].push_back(file);
    } else if (const auto byStem = ownerOfStem.find(stemKey(file)); byStem != ownerOfStem.end()) {
      listing.companions[byStem->second].push_back(file);
    }
  }
  std::vector<std::string> movies;
  for (auto& [owner, files] : listing.companions) {
    sortImageList(files);
    for (const std::string& f : files) {
      if (isKind(f, fs::MediaKind::Movie)) movies.push_back(f);
    }
  }
  std::sort(movies.begin(), movies.end());
  std::erase_if(listing.entries, [&](const std::string& e) {
    return std::binary_search(movies.begin(), movies.end(), e);
  });
  for (const std::string& e : listing.entries) {
    const auto owner = ownerOfStem.find(stemKey(e));
    if (owner != ownerOfStem.end() && owner->second != e && entriesOfStem[owner->first] > 1 &&
        listing.companions.count(owner->second) > 0) {
      listing.sharedStem.push_back(e);
    }
  }
}

}  // namespace

ImageListing listPictures(const std::vector<std::string>& folders, bool withCompanions,
                          bool classicOnly) {
  ImageListing listing;
  const std::vector<std::string> listed = fs::listedExtensions(classicOnly);
  std::vector<std::string> others;
  for (const std::string& folder : folders) {
    std::vector<std::string> files;
    listImageFiles(folder, {""}, files);
    std::set<std::string> pictureStems;
    for (const std::string& ext : listed) {
      for (const std::string& f : files) {
        if (!fs::hasExtension(f, ext)) continue;
        listing.entries.push_back(f);
        if (isKind(f, fs::MediaKind::Picture)) pictureStems.insert(stemKey(f));
      }
    }
    for (const std::string& f : files) {
      const auto kind = fs::kindOfName(fs::fileNameOf(f));
      if (!kind) continue;
      // A RAW without a picture of its stem is a picture of its own.
      if (kind->kind == fs::MediaKind::Raw && !classicOnly && !pictureStems.count(stemKey(f))) {
        listing.entries.push_back(f);
      } else if (withCompanions &&
                 (kind->kind == fs::MediaKind::Raw || kind->kind == fs::MediaKind::Sidecar)) {
        others.push_back(f);
      }
    }
  }
  sortImageList(listing.entries);
  if (withCompanions) groupCompanions(listing, others);
  return listing;
}

std::vector<std::string> filesOfPicture(const SortingState& state, const std::string& picture) {
  std::vector<std::string> files{picture};
  if (!state.options.keepCompanions) return files;
  // A companion gone since the listing is no longer part of the picture.
  for (const std::string& c : companionsOf(state.list.companions, picture)) {
    if (fs::isRegularFile(c)) files.push_back(c);
  }
  return files;
}

const std::vector<std::string>& companionsOf(
    const std::map<std::string, std::vector<std::string>>& companions, const std::string& path) {
  static const std::vector<std::string> kNone;
  const auto it = companions.find(path);
  return it == companions.end() ? kNone : it->second;
}

}  // namespace sortelia
