// The deletion pass against a real home Trash: this program's main points XDG_DATA_HOME at a
// temporary folder before GLib reads it (tests/trash_test_main.cpp).
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <set>
#include <string>
#include <vector>

#include "core/sorting/deletion.h"
#include "core/sorting_fixture.h"
#include "platform/file_ops.h"
#include "support/home_trash.h"

namespace sortelia {
namespace {

using testing::readAll;

class DeletionToTheTrash : public testing::SortingFixture {
 protected:
  void SetUp() override {
    ASSERT_TRUE(testing::homeTrashIsTemporary()) << testing::homeTrash();
    testing::emptyHomeTrash();
    files.realTrash = true;
  }
  void TearDown() override { testing::emptyHomeTrash(); }
};

// Each trashed picture and companion carries what the desktop needs to put it back: moving
// every file back to the path its .trashinfo names gives the folder as it was.
TEST_F(DeletionToTheTrash, EveryFileOfAMarkedPictureCanBeRestoredFromTheTrash) {
  scan({"写真 1.JPG", "IMG_0002.JPG"});
  for (const char* n : {"写真 1.CR3", "写真 1.JPG.xmp"}) {
    root.write(std::string("src/") + n, bytesOf(n));
    state.list.companions[s("写真 1.JPG")].push_back(s(n));
  }
  const auto& images = state.list.images;
  const auto marked = std::find(images.begin(), images.end(), s("写真 1.JPG"));
  ASSERT_NE(marked, images.end());
  marks.MrkDelImg(static_cast<int>(marked - images.begin()));
  ui.queueAnswer(Answer::Yes);
  marks.DMRKFdelete();
  EXPECT_EQ(ui.messages.size(), 1u);
  EXPECT_EQ(ui.status(), "Deleted 1 / 1 files.");
  const std::vector<std::string> gone = {"写真 1.JPG", "写真 1.CR3", "写真 1.JPG.xmp"};
  for (const auto& n : gone) EXPECT_FALSE(fs::exists(s(n))) << n;
  EXPECT_EQ(readAll(s("IMG_0002.JPG")), bytesOf("IMG_0002.JPG"));

  const std::vector<testing::TrashedFile> trash = testing::trashedFiles();
  ASSERT_EQ(trash.size(), gone.size());
  std::set<std::string> originals;
  for (const auto& f : trash) {
    EXPECT_TRUE(f.hasHeader && f.hasDeletionDate) << f.name;
    EXPECT_EQ(f.infoPath, testing::trashInfoEscape(f.originalPath));
    originals.insert(f.originalPath);
    ASSERT_EQ(std::rename(f.path.c_str(), f.originalPath.c_str()), 0) << f.originalPath;
  }
  EXPECT_EQ(originals, (std::set<std::string>{s(gone[0]), s(gone[1]), s(gone[2])}));
  for (const auto& n : gone) EXPECT_EQ(readAll(s(n)), bytesOf(n)) << n;
}

}  // namespace
}  // namespace sortelia
