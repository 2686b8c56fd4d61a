#include "core/display/image_list.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>

#include "support/temp_dir.h"

namespace sortelia {
namespace {

TEST(ChkDMRK, StripsTheMarkOnlyAtTheStart) {
  std::string path;
  EXPECT_TRUE(ChkDMRK("!:/p/a.jpg", path));
  EXPECT_EQ(path, "/p/a.jpg");
  EXPECT_FALSE(ChkDMRK("/p/!:a.jpg", path));
  EXPECT_EQ(path, "/p/!:a.jpg");
  EXPECT_FALSE(ChkDMRK("!", path));
  EXPECT_EQ(path, "!");
  EXPECT_TRUE(ChkDMRK("!:", path));
  EXPECT_EQ(path, "");
}

TEST(RotationMark, ExtractOnlyTheThreeMarks) {
  EXPECT_EQ(ExtractRotationMark("@090:Hello"), "@090:");
  EXPECT_EQ(ExtractRotationMark("@180:"), "@180:");
  EXPECT_EQ(ExtractRotationMark("@270:x"), "@270:");
  EXPECT_EQ(ExtractRotationMark("@000:x"), "");
  EXPECT_EQ(ExtractRotationMark("@90:x"), "");
  EXPECT_EQ(ExtractRotationMark("x@090:"), "");
  EXPECT_EQ(ExtractRotationMark(""), "");
}

TEST(RotationMark, ApplyReplacesAddsOrRemoves) {
  std::string t = "@090:Trip";
  ApplyRotationMark("@180:", t);
  EXPECT_EQ(t, "@180:Trip");
  t = "@270:Trip";
  ApplyRotationMark("", t);
  EXPECT_EQ(t, "Trip");
  t = "Trip";
  ApplyRotationMark("@090:", t);
  EXPECT_EQ(t, "@090:Trip");
  t = "";
  ApplyRotationMark("", t);
  EXPECT_EQ(t, "");
}

TEST(RotationMark, ApplyKeepsAllOfTheTextAfterAnOldMark) {
  // Fault found earlier: a new mark kept only 512 characters of the text behind the old one.
  std::string t = "@090:" + std::string(600, 'a');
  ApplyRotationMark("@180:", t);
  EXPECT_EQ(t, "@180:" + std::string(600, 'a'));
  t = "@090:" + std::string(511, 'a') + "日本";
  ApplyRotationMark("", t);
  EXPECT_EQ(t, std::string(511, 'a') + "日本");
}

TEST(SortImageList, CaseInsensitiveStableFullPathOrder) {
  std::vector<std::string> v{"/p/m.MOV", "/p/B.JPG", "/p/a.jpg"};
  sortImageList(v);
  EXPECT_EQ(v, (std::vector<std::string>{"/p/a.jpg", "/p/B.JPG", "/p/m.MOV"}));
  // Entries equal but for case keep their relative order.
  std::vector<std::string> w{"/p/X.jpg", "/p/x.jpg", "/p/a.jpg"};
  sortImageList(w);
  EXPECT_EQ(w, (std::vector<std::string>{"/p/a.jpg", "/p/X.jpg", "/p/x.jpg"}));
}

}  // namespace
}  // namespace sortelia

namespace sortelia {
namespace {

using testing::TempDir;

// The names of a listing relative to root, for readable expectations.
std::vector<std::string> relative(const TempDir& root, const std::vector<std::string>& paths) {
  std::vector<std::string> out;
  for (const auto& p : paths) out.push_back(p.substr(root.path().size() + 1));
  return out;
}

TEST(ListPictures, CompanionsGoWithTheirPicture) {
  TempDir root;
  for (const char* n :
       {"IMG_0001.JPG", "IMG_0001.CR3", "IMG_0001.JPG.xmp", "img_0001.xmp", "IMG_0002.JPG",
        "IMG_0002.MOV", "IMG_0002.AAE", "IMG_0003.MOV", "IMG_0003.THM", "GOPR.MPG", "GOPR.LRV",
        "IMG_0004.NEF", "notes.txt", "IMG_0001.jpeg"}) {
    root.write(n, n);
  }
  // Not companions: a hidden file, a folder named like one, a symbolic link.
  root.write(".IMG_0002.CR3", "hidden");
  root.mkdir("IMG_0002.xmp");
  ASSERT_EQ(::symlink(root.file("IMG_0001.CR3").c_str(), root.file("IMG_0002.CR3").c_str()), 0);

  const ImageListing without = listPictures({root.path() + "/"}, false);
  EXPECT_EQ(relative(root, without.entries),
            (std::vector<std::string>{"GOPR.MPG", "IMG_0001.JPG", "IMG_0002.JPG", "IMG_0002.MOV",
                                      "IMG_0003.MOV", "IMG_0004.NEF"}));
  EXPECT_TRUE(without.companions.empty());
  EXPECT_EQ(listImages({root.path() + "/"}), without.entries);

  const ImageListing with = listPictures({root.path() + "/"}, true);
  // The Live Photo movie is no longer an entry; a movie without a picture stays one.
  EXPECT_EQ(relative(root, with.entries),
            (std::vector<std::string>{"GOPR.MPG", "IMG_0001.JPG", "IMG_0002.JPG", "IMG_0003.MOV",
                                      "IMG_0004.NEF"}));
  const auto of = [&](const std::string& name) {
    return relative(root, companionsOf(with.companions, root.file(name)));
  };
  EXPECT_EQ(of("IMG_0001.JPG"),
            (std::vector<std::string>{"IMG_0001.CR3", "IMG_0001.JPG.xmp", "img_0001.xmp"}));
  EXPECT_EQ(of("IMG_0002.JPG"), (std::vector<std::string>{"IMG_0002.AAE", "IMG_0002.MOV"}));
  EXPECT_EQ(of("IMG_0003.MOV"), (std::vector<std::string>{"IMG_0003.THM"}));
  EXPECT_EQ(of("GOPR.MPG"), (std::vector<std::string>{"GOPR.LRV"}));
  EXPECT_TRUE(with.sharedStem.empty());
}

TEST(ListPictures, NewerPicturesMoviesAndLoneRawsAreEntriesUnlessOnlyTheClassicKindsAreAsked) {
  TempDir root;
  for (const char* n : {"IMG_0001.HEIC", "IMG_0001.MOV",  "IMG_0001.AAE", "IMG_0002.heif",
                        "IMG_0003.HIF",  "IMG_0004.avif", "IMG_0005.JPG", "IMG_0005.CR3",
                        "IMG_0006.HEIC", "IMG_0006.DNG",  "DSC_0007.NEF", "DSC_0007.NEF.xmp",
                        "DSC_0007.pp3",  "R_0008.RAF",    "clip.MP4",     "clip.THM",
                        "a.m4v",         "b.3GP",         "c.MTS",        "d.m2ts",
                        "e.AVI",         "f.MPG",         "g.mov",        "h.jpg",
                        "readme.txt",    "x.tif"}) {
    root.write(n, n);
  }
  struct Row {
    bool companions;
    bool classicOnly;
    std::vector<std::string> entries;
  };
  const Row rows[] = {
      // A RAW beside a JPEG or a HEIC of its stem is that picture's companion, or, with
      // companions off, not listed; a RAW alone is a picture.
      {true,
       false,
       {"a.m4v", "b.3GP", "c.MTS", "clip.MP4", "d.m2ts", "DSC_0007.NEF", "e.AVI", "f.MPG", "g.mov",
        "h.jpg", "IMG_0001.HEIC", "IMG_0002.heif", "IMG_0003.HIF", "IMG_0004.avif", "IMG_0005.JPG",
        "IMG_0006.HEIC", "R_0008.RAF"}},
      {false,
       false,
       {"a.m4v", "b.3GP", "c.MTS", "clip.MP4", "d.m2ts", "DSC_0007.NEF", "e.AVI", "f.MPG", "g.mov",
        "h.jpg", "IMG_0001.HEIC", "IMG_0001.MOV", "IMG_0002.heif", "IMG_0003.HIF", "IMG_0004.avif",
        "IMG_0005.JPG", "IMG_0006.HEIC", "R_0008.RAF"}},
      // JPEG, MOV and MPG only: the list the program always made.
      {false, true, {"f.MPG", "g.mov", "h.jpg", "IMG_0001.MOV", "IMG_0005.JPG"}},
      {true, true, {"f.MPG", "g.mov", "h.jpg", "IMG_0001.MOV", "IMG_0005.JPG"}},
  };
  for (const Row& r : rows) {
    const ImageListing l = listPictures({root.path() + "/"}, r.companions, r.classicOnly);
    EXPECT_EQ(relative(root, l.entries), r.entries) << r.companions << r.classicOnly;
  }
  const ImageListing l = listPictures({root.path() + "/"}, true);
  const auto of = [&](const std::string& name) {
    return relative(root, companionsOf(l.companions, root.file(name)));
  };
  EXPECT_EQ(of("IMG_0001.HEIC"), (std::vector<std::string>{"IMG_0001.AAE", "IMG_0001.MOV"}));
  EXPECT_EQ(of("IMG_0005.JPG"), (std::vector<std::string>{"IMG_0005.CR3"}));
  EXPECT_EQ(of("IMG_0006.HEIC"), (std::vector<std::string>{"IMG_0006.DNG"}));
  EXPECT_EQ(of("DSC_0007.NEF"), (std::vector<std::string>{"DSC_0007.NEF.xmp", "DSC_0007.pp3"}));
  EXPECT_EQ(of("clip.MP4"), (std::vector<std::string>{"clip.THM"}));
}

TEST(ListPictures, SharedStemGivesTheCompanionsToTheFirstInListOrder) {
  TempDir root;
  root.mkdir("sub");
  for (const char* n : {"IMG_1.JPG", "img_1.jpg", "IMG_1.CR3", "img_1.jpg.xmp", "sub/IMG_1.JPG",
                        "sub/IMG_1.DNG", "P.JPG", "p.jpg"}) {
    root.write(n, n);
  }
  const ImageListing l = listPictures({root.path() + "/", root.path() + "/sub/"}, true);
  const auto of = [&](const std::string& name) {
    return relative(root, companionsOf(l.companions, root.file(name)));
  };
  // The two names differ only in letter case, so the list keeps them in directory order.
  const auto rel = relative(root, l.entries);
  const bool upperFirst = std::find(rel.begin(), rel.end(), "IMG_1.JPG") <
                          std::find(rel.begin(), rel.end(), "img_1.jpg");
  const std::string first = upperFirst ? "IMG_1.JPG" : "img_1.jpg";
  const std::string second = upperFirst ? "img_1.jpg" : "IMG_1.JPG";
  // An XMP named after one of them by its whole name stays with that one.
  EXPECT_EQ(of("img_1.jpg.xmp").size(), 0u);
  std::vector<std::string> firstHas{"IMG_1.CR3"};
  if (!upperFirst) firstHas.push_back("img_1.jpg.xmp");
  EXPECT_EQ(of(first), firstHas);
  EXPECT_EQ(of(second),
            upperFirst ? std::vector<std::string>{"img_1.jpg.xmp"} : std::vector<std::string>{});
  // Folders do not share stems.
  EXPECT_EQ(of("sub/IMG_1.JPG"), (std::vector<std::string>{"sub/IMG_1.DNG"}));
  // Said for the picture that lost the shared companions; "p.jpg" and "P.JPG" share a stem but
  // have none.
  EXPECT_EQ(relative(root, l.sharedStem), (std::vector<std::string>{second}));
}

}  // namespace
}  // namespace sortelia
