// The sorting loop from end to end on the domain objects: ten pictures into three folders,
// two marked, one step undone, the deletion pass at close.
#include <gtest/gtest.h>

#include <filesystem>

#include "core/sorting_fixture.h"
#include "platform/file_ops.h"

namespace sortelia {
namespace {

using testing::readAll;

class SortingLoop : public testing::SortingFixture {};

TEST_F(SortingLoop, TenPicturesThreeFoldersTwoMarkedOneUndo) {
  std::vector<std::string> names;
  for (int i = 0; i < 10; ++i) names.push_back("IMG_" + std::to_string(100 + i) + ".JPG");
  scan(names);
  const std::string f1 = root.mkdir("dst/people"), f2 = root.mkdir("dst/places"),
                    f3 = root.mkdir("dst/things");
  bind(1, f1);
  bind(2, f2);
  bind(3, f3);
  // 100 -> people, 101 marked, 102 -> places, 103 -> things, 104 marked, 105 -> people,
  // then undo (105 comes back), 105 -> things, and the rest into places.
  transfer.Button1Click(1);
  marks.Button13Click();
  transfer.Button1Click(2);
  transfer.Button1Click(3);
  marks.Button13Click();
  transfer.Button1Click(1);
  journal.Undo1Click();
  EXPECT_EQ(state.list.sortIndex, 6);
  EXPECT_EQ(readAll(s("IMG_105.JPG")), bytesOf("IMG_105.JPG"));
  transfer.Button1Click(3);
  while (state.list.sortIndex <= state.list.imageCount) transfer.Button1Click(2);
  EXPECT_EQ(state.undo.lines.size(), 10u);
  ui.queueAnswer(Answer::Yes);
  marks.DMRKFdelete();
  EXPECT_EQ(ui.status(), "Deleted 2 / 2 files.");

  const auto filesIn = [](const std::string& folder) {
    std::vector<std::string> out;
    for (const auto& e : std::filesystem::directory_iterator(folder)) {
      out.push_back(e.path().filename().string());
    }
    std::sort(out.begin(), out.end());
    return out;
  };
  EXPECT_TRUE(filesIn(src).empty());
  EXPECT_EQ(filesIn(f1), std::vector<std::string>{"IMG_100.JPG"});
  EXPECT_EQ(filesIn(f2), (std::vector<std::string>{"IMG_102.JPG", "IMG_106.JPG", "IMG_107.JPG",
                                                   "IMG_108.JPG", "IMG_109.JPG"}));
  EXPECT_EQ(filesIn(f3), (std::vector<std::string>{"IMG_103.JPG", "IMG_105.JPG"}));
  for (const auto& folder : {f1, f2, f3}) {
    for (const auto& n : filesIn(folder)) EXPECT_EQ(readAll(folder + "/" + n), bytesOf(n)) << n;
  }
}

}  // namespace
}  // namespace sortelia
