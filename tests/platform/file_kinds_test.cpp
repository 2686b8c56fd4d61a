#include "platform/file_kinds.h"

#include <gtest/gtest.h>

namespace sortelia::fs {
namespace {

TEST(FileKinds, KindsByExtensionInAnyLetterCase) {
  struct Row {
    const char* name;
    std::optional<MediaKind> kind;
  };
  const Row rows[] = {
      {"IMG_0001.JPG", MediaKind::Picture},
      {"a.jpg", MediaKind::Picture},
      {"clip.MoV", MediaKind::Movie},
      {"clip.mpg", MediaKind::Movie},
      {"IMG_0001.CR3", MediaKind::Raw},
      {"DSC.nef", MediaKind::Raw},
      {"x.X3F", MediaKind::Raw},
      {"IMG_0001.JPG.xmp", MediaKind::Sidecar},
      {"IMG.AAE", MediaKind::Sidecar},
      {"GOPR.LRV", MediaKind::Sidecar},
      {"a.jpeg", std::nullopt},
      {"noextension", std::nullopt},
      {"a.txt", std::nullopt},
      {"cr3", std::nullopt},
  };
  for (const Row& r : rows) {
    const auto k = kindOfName(r.name);
    EXPECT_EQ(k ? std::optional<MediaKind>(k->kind) : std::nullopt, r.kind) << r.name;
  }
  EXPECT_TRUE(kindOfName("IMG.MOV")->livePhotoMovie);
  EXPECT_FALSE(kindOfName("IMG.MPG")->livePhotoMovie);
  EXPECT_EQ(listedExtensions(true), (std::vector<std::string>{".jpg", ".mov", ".mpg"}));
  EXPECT_EQ(listedExtensions(),
            (std::vector<std::string>{".jpg", ".mov", ".mpg", ".heic", ".heif", ".hif", ".avif",
                                      ".mp4", ".m4v", ".3gp", ".mts", ".m2ts", ".avi"}));
  for (const char* name : {"IMG.HEIC", "a.avif", "b.Hif", "DSC.NEF", "x.jpg"}) {
    EXPECT_TRUE(isPictureName(name)) << name;
    EXPECT_FALSE(isMovieName(name)) << name;
  }
  for (const char* name : {"clip.MP4", "a.m2ts", "b.AVI", "c.mov"}) {
    EXPECT_TRUE(isMovieName(name)) << name;
    EXPECT_FALSE(isPictureName(name)) << name;
  }
  for (const char* name : {"IMG.xmp", "a.jpeg", "notes"}) {
    EXPECT_FALSE(isPictureName(name) || isMovieName(name)) << name;
  }
}

TEST(FileKinds, CompanionFollowsThePicturesNewName) {
  struct Row {
    const char* picture;
    const char* newPicture;
    const char* companion;
    const char* expected;
  };
  const Row rows[] = {
      {"IMG_0001.JPG", "IMG_0001_1.jpg", "IMG_0001.CR3", "IMG_0001_1.CR3"},
      {"IMG_0001.JPG", "IMG_0001_1.jpg", "img_0001.cr3", "IMG_0001_1.cr3"},
      // An XMP named after the whole picture follows its whole new name.
      {"IMG_0001.JPG", "IMG_0001_1.jpg", "IMG_0001.JPG.xmp", "IMG_0001_1.jpg.xmp"},
      {"IMG_0001.JPG", "20240101-120000.JPG", "IMG_0001.xmp", "20240101-120000.xmp"},
      {"IMG_0001.JPG", "20240101-120000.JPG", "img_0001.jpg.XMP", "20240101-120000.JPG.XMP"},
      // A stem with dots of its own: only the last dot ends it.
      {"a.b.JPG", "c.JPG", "a.b.MOV", "c.MOV"},
      {"a.b.JPG", "c.JPG", "a.b.JPG.xmp", "c.JPG.xmp"},
  };
  for (const Row& r : rows) {
    EXPECT_EQ(companionName(r.picture, r.newPicture, r.companion), r.expected) << r.companion;
  }
}

}  // namespace
}  // namespace sortelia::fs
