#include "outputs/album/album_run.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>

#include "outputs/album/album_error.h"
#include "outputs/album/album_template.h"
#include "support/temp_dir.h"
#include "support/test_jpeg.h"

namespace sortelia::outputs::album {
namespace {

using sortelia::testing::makeTestJpeg;
using sortelia::testing::readAll;
using sortelia::testing::TempDir;

bool exists(const std::string& path) { return std::filesystem::exists(path); }

// A source folder with pictures, and a template folder with small templates that show the
// order and the grid rule plainly.
struct AlbumFixture {
  TempDir dir;
  std::string src = dir.mkdir("src") + "/";
  std::string templates = dir.mkdir("templates");
  AlbumJob job;
  std::vector<std::string> labels;
  std::vector<int> steps;
  AlbumCallbacks callbacks{[this](const std::string& t) { labels.push_back(t); },
                           [this](int i, int) { steps.push_back(i); }};

  AlbumFixture() {
    dir.write("templates/zel-html1.txt", "F1 [*LNK*]\r\n\r\n[*NUMBER*]:[*FNAME*];\r\n\r\nB1\r\n");
    dir.write("templates/zel-html2.txt", "F2\r\n\r\n[*NUMBER*]\r\n\r\nB2\r\n");
    job.sourceDir = src;
    job.size = {32, 24};
    job.level = 7;
    job.columns = 3;
    job.templateFolder = templates;
    job.itemMask = "110011010101110010101100000";
    job.title = "T";
  }
  // Adds an entry; a picture is written unless bytes is "-" (a missing file).
  void add(const std::string& name, const std::string& bytes, bool marked = false) {
    if (bytes != "-") dir.write("src/" + name, bytes);
    job.entries.push_back({src + name, marked});
  }
  std::string out(const std::string& name) const { return src + "0_Box32x24-7/" + name; }
};

TEST(AlbumRun, WritesRowsInListOrderAndReducesThePictures) {
  for (int threads : {1, 3}) {
    AlbumFixture f;
    f.job.threads = threads;
    const std::string jpeg = makeTestJpeg(64, 48);
    f.add("a.jpg", jpeg);
    f.add("b.jpg", jpeg, true);
    f.add("gone.jpg", "-");
    f.add("c.mov", "movie");
    for (const char* n : {"d.JPG", "e.jpg", "f.jpg", "g.jpg", "h.jpg"}) f.add(n, jpeg);
    const AlbumResult r = runAlbum(f.job, f.callbacks, CancelToken());

    EXPECT_EQ(readAll(f.out("src_1.html")), "F1 " + f.out("src_2.html") +
                                                "\r\n1:a.jpg;\r\n2:c.mov;\r\n3:d.JPG;\r\n"
                                                "4:e.jpg;\r\n5:f.jpg;\r\n6:g.jpg;\r\n7:h.jpg;\r\n"
                                                "B1\r\n");
    EXPECT_EQ(readAll(f.out("src_2.html")),
              "F2\r\n<tr>1\r\n2\r\n3\r\n</tr><tr>4\r\n5\r\n6\r\n</tr><tr>7\r\nB2\r\n");
    for (const char* n : {"0_a.jpg", "0_d.JPG", "0_e.jpg", "0_h.jpg"}) {
      EXPECT_TRUE(exists(f.out(n))) << n;
    }
    EXPECT_FALSE(exists(f.out("0_b.jpg")));
    EXPECT_FALSE(exists(f.out("0_c.mov")));
    // The same bytes as the file-to-file reduction on its own.
    TempDir alone;
    EXPECT_EQ(readAll(f.out("0_e.jpg")),
              readAll(FToFJpgStrch(f.src + "e.jpg", alone.path(), {}, {32, 24}, 7)));

    EXPECT_EQ(r.paths.folder, f.out(""));
    EXPECT_EQ(r.report.done, 7);
    EXPECT_TRUE(r.report.ok());
    EXPECT_FALSE(r.report.stopped);
    const EntryOutcome want[] = {EntryOutcome::Reduced, EntryOutcome::Marked, EntryOutcome::Missing,
                                 EntryOutcome::Listed, EntryOutcome::Reduced};
    for (std::size_t i = 0; i < 5; ++i) EXPECT_EQ(r.entries[i].outcome, want[i]) << i;
    EXPECT_EQ(r.entries[3].number, 2);
    EXPECT_EQ(r.entries[8].number, 7);
    EXPECT_EQ(f.steps, (std::vector<int>{1, 2, 3, 4, 5, 6, 7, 8, 9}));
    ASSERT_EQ(f.labels.size(), 10u);  // none for the marked entry, "" after the missing one
    EXPECT_EQ(f.labels[0], f.src + "a.jpg\r\n[1/9]");
    EXPECT_EQ(f.labels[1], f.src + "gone.jpg\r\n[3/9]");
    EXPECT_EQ(f.labels[2], "");
    EXPECT_EQ(f.labels[3], f.src + "c.mov\r\n[4/9]");
    EXPECT_EQ(f.labels.back(), "");
  }
}

TEST(AlbumRun, ABadPictureKeepsItsRowAndTheOthersGoOn) {
  AlbumFixture f;
  f.add("a.jpg", makeTestJpeg(64, 48));
  f.add("bad.jpg", "not a picture");
  f.add("c.jpg", makeTestJpeg(48, 64));
  const AlbumResult r = runAlbum(f.job, f.callbacks, CancelToken());
  EXPECT_EQ(readAll(f.out("src_1.html")),
            "F1 " + f.out("src_2.html") + "\r\n1:a.jpg;\r\n2:bad.jpg;\r\n3:c.jpg;\r\nB1\r\n");
  EXPECT_TRUE(exists(f.out("0_a.jpg")));
  EXPECT_FALSE(exists(f.out("0_bad.jpg")));
  EXPECT_TRUE(exists(f.out("0_c.jpg")));
  EXPECT_EQ(r.report.done, 2);
  ASSERT_EQ(r.report.failed.size(), 1u);
  EXPECT_EQ(r.report.failed[0].path, f.src + "bad.jpg");
  EXPECT_FALSE(r.report.failed[0].text.empty());
  EXPECT_EQ(r.entries[1].outcome, EntryOutcome::Failed);
  EXPECT_EQ(r.entries[1].number, 2);
}

// Fault: an album run truncated read-only pages and replaced read-only reduced pictures of an
// earlier run.
TEST(AlbumRun, ReadOnlyPagesAndPicturesOfAnEarlierRunAreKept) {
  AlbumFixture f;
  f.add("a.jpg", makeTestJpeg(64, 48));
  f.add("c.jpg", makeTestJpeg(48, 64));
  f.dir.mkdir("src/0_Box32x24-7");
  const std::string picture = f.dir.write("src/0_Box32x24-7/0_a.jpg", "earlier picture");
  ASSERT_EQ(::chmod(picture.c_str(), 0444), 0);
  const AlbumResult r = runAlbum(f.job, f.callbacks, CancelToken());
  EXPECT_EQ(readAll(picture), "earlier picture");
  EXPECT_TRUE(exists(f.out("0_c.jpg")));
  ASSERT_EQ(r.report.failed.size(), 1u);
  EXPECT_EQ(r.report.failed[0].path, f.src + "a.jpg");
  EXPECT_EQ(r.report.failed[0].text, "cannot write \"" + picture + "\": Permission denied");

  const std::string page = f.out("src_2.html");
  ASSERT_EQ(::chmod(page.c_str(), 0444), 0);
  const std::string before = readAll(page);
  try {
    (void)runAlbum(f.job, f.callbacks, CancelToken());
    ADD_FAILURE() << "no error";
  } catch (const AlbumError& e) {
    EXPECT_EQ(std::string(e.what()), "cannot write \"" + page + "\": Permission denied");
  }
  EXPECT_EQ(readAll(page), before);
}

TEST(AlbumRun, AStopEndsAfterTheCurrentPicturesAndClosesThePages) {
  // A stop after entry 2 is done, or while entry 3 waits for its reduction (as a window
  // stopping the run from another thread may).
  for (auto [threads, whileWaiting] : {std::pair{1, false}, {2, false}, {1, true}, {2, true}}) {
    AlbumFixture f;
    f.job.threads = threads;
    for (int i = 1; i <= 8; ++i) f.add("p" + std::to_string(i) + ".jpg", makeTestJpeg(64, 48));
    CancelToken stop;
    f.callbacks.step = [&](int i, int) {
      if (i == 2 && !whileWaiting) stop.cancel();
    };
    f.callbacks.label = [&](const std::string& text) {
      f.labels.push_back(text);
      if (text.ends_with("[3/8]") && whileWaiting) stop.cancel();
    };
    const AlbumResult r = runAlbum(f.job, f.callbacks, stop);
    EXPECT_TRUE(r.report.stopped);
    // Entries 1 and 2 at least; then at most the pictures that were being reduced.
    ASSERT_GE(r.report.done, 2);
    EXPECT_LE(r.report.done, 2 + 2 * threads);
    std::string want = "F1 " + f.out("src_2.html") + "\r\n";
    for (int i = 1; i <= r.report.done; ++i) {
      want += std::to_string(i) + ":p" + std::to_string(i) + ".jpg;\r\n";
    }
    EXPECT_EQ(readAll(f.out("src_1.html")), want + "B1\r\n");
    EXPECT_TRUE(readAll(f.out("src_2.html")).ends_with("B2\r\n"));
    EXPECT_EQ(f.labels.back(), "");
    for (int i = 1; i <= 8; ++i) {
      const bool listed = i <= r.report.done;
      EXPECT_EQ(r.entries[i - 1].outcome == EntryOutcome::Reduced, listed) << i;
      if (threads == 1) {
        EXPECT_EQ(exists(f.out("0_p" + std::to_string(i) + ".jpg")), listed) << i;
      }
    }
  }
}

TEST(AlbumRun, PicturesOfOneNameFromTwoFoldersLeaveTheLaterOne) {
  AlbumFixture f;
  f.job.threads = 2;
  // The earlier picture takes far longer: run side by side, it would be written last.
  f.add("a/x.jpg", makeTestJpeg(2400, 1800));
  f.add("b/x.jpg", makeTestJpeg(64, 48));
  const AlbumResult r = runAlbum(f.job, f.callbacks, CancelToken());
  EXPECT_EQ(r.report.done, 2);
  TempDir alone;
  EXPECT_EQ(readAll(f.out("0_x.jpg")),
            readAll(FToFJpgStrch(f.src + "b/x.jpg", alone.path(), {}, {32, 24}, 7)));
  EXPECT_NE(readAll(f.out("0_x.jpg")),
            readAll(FToFJpgStrch(f.src + "a/x.jpg", alone.path(), {}, {32, 24}, 7)));
}

TEST(AlbumRun, NoPageWithoutOutputFolderOrTemplates) {
  AlbumFixture f;
  f.add("a.jpg", makeTestJpeg(64, 48));
  f.dir.write("src/0_Box32x24-7", "a file in the way");
  try {
    (void)runAlbum(f.job, f.callbacks, CancelToken());
    ADD_FAILURE() << "no error";
  } catch (const AlbumError& e) {
    EXPECT_EQ(std::string(e.what()), "Cannot create" + f.src + "0_Box32x24-7");
  }
  std::filesystem::remove(f.src + "0_Box32x24-7");
  std::filesystem::remove(f.templates + "/zel-html2.txt");
  EXPECT_THROW((void)runAlbum(f.job, f.callbacks, CancelToken()), AlbumError);
  EXPECT_TRUE(std::filesystem::is_directory(f.out("")));
  EXPECT_FALSE(exists(f.out("src_1.html")));
  EXPECT_FALSE(exists(f.out("0_a.jpg")));
}

}  // namespace
}  // namespace sortelia::outputs::album
