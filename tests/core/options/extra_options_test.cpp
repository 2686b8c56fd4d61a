// The options kept in "zel-opt.txt": what each file content gives, what is written, and the
// lines of other keys kept when it is written again.
#include "core/options/extra_options.h"

#include <gtest/gtest.h>

#include "platform/file_ops.h"
#include "platform/line_file.h"
#include "support/fake_ui.h"
#include "support/temp_dir.h"

namespace sortelia {
namespace {

using testing::readAll;
using testing::TempDir;

TEST(ExtraOptions, EachFileContentGivesTheseOptions) {
  struct Row {
    const char* what;
    std::vector<std::string> lines;  // empty: no file at all
    bool companions;
    bool trash;
    int queueSteps = 8;
    int queueMegabytes = 512;
    bool jpegMovMpgOnly = false;
  };
  const std::vector<Row> rows = {
      {"no file: the defaults", {}, true, true},
      {"both off", {"Companions=0", "Trash=0"}, false, false},
      {"both on", {"Companions=1", "Trash=1"}, true, true},
      {"a missing key keeps its default", {"Trash=0"}, true, false},
      {"blanks around key and value", {"  Companions = 0 ", "\tTrash=0\t"}, false, false},
      {"unknown keys and other lines are ignored",
       {"[Sortelia]", "JpegOnly=1", "# Trash=0", "", "companions=0", "Companions=0"},
       false,
       true},
      {"broken values keep the defaults",
       {"Companions=yes", "Trash=", "Trash=2", "Trash=0x", "Companions"},
       true,
       true},
      {"a later line of a key wins",
       {"Trash=0", "Trash=1", "Companions=1", "Companions=0"},
       false,
       true},
      {"the queue's bounds", {"QueueSteps=3", "QueueMegabytes=100"}, true, true, 3, 100},
      {"bounds at their limits", {"QueueSteps=1000", "QueueMegabytes=1"}, true, true, 1000, 1},
      {"JPEG, MOV and MPG only", {"JpegMovMpgOnly=1"}, true, true, 8, 512, true},
      {"JPEG, MOV and MPG only, broken", {"JpegMovMpgOnly=yes"}, true, true, 8, 512, false},
      {"bounds out of range or not whole numbers keep the defaults",
       {"QueueSteps=0", "QueueSteps=1001", "QueueMegabytes=-5", "QueueMegabytes=12MB",
        "QueueSteps=99999999999", "QueueMegabytes=65537", "QueueSteps= "},
       true,
       true},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    TempDir data;
    if (!row.lines.empty()) {
      ASSERT_TRUE(writeTextLines(data.file(kExtraOptionsFileName), row.lines).ok());
    }
    Options o;
    readExtraOptions(data.path(), o);
    EXPECT_EQ(o.keepCompanions, row.companions);
    EXPECT_EQ(o.trashDeleted, row.trash);
    EXPECT_EQ(o.queueSteps, row.queueSteps);
    EXPECT_EQ(o.queueMegabytes, row.queueMegabytes);
    EXPECT_EQ(o.jpegMovMpgOnly, row.jpegMovMpgOnly);
  }
}

TEST(ExtraOptions, WritesOneLinePerOptionAndKeepsOtherKeys) {
  TempDir root;
  const std::string data = root.file("data");  // made when first written
  const std::string file = data + "/" + kExtraOptionsFileName;
  Options o;
  o.keepCompanions = false;
  ASSERT_TRUE(writeExtraOptions(data, o));
  EXPECT_EQ(
      readAll(file),
      "Companions=0\r\nTrash=1\r\nQueueSteps=8\r\nQueueMegabytes=512\r\nJpegMovMpgOnly=0\r\n");

  // Keys of a later version stay; this version's keys are written once, with their new values.
  ASSERT_TRUE(writeTextLines(file, {"JpegOnly=1", "Trash=1", "QueueMax=8", "Companions=0"}).ok());
  o.keepCompanions = true;
  o.trashDeleted = false;
  ASSERT_TRUE(writeExtraOptions(data, o));
  EXPECT_EQ(readAll(file),
            "Companions=1\r\nTrash=0\r\nQueueSteps=8\r\nQueueMegabytes=512\r\nJpegMovMpgOnly=0\r\n"
            "JpegOnly=1\r\n"
            "QueueMax=8\r\n");
  Options back;
  readExtraOptions(data, back);
  EXPECT_TRUE(back.keepCompanions);
  EXPECT_FALSE(back.trashDeleted);

  EXPECT_FALSE(writeExtraOptions("", o));  // no data folder: nothing is written
}

TEST(ExtraOptions, AppliedAtTheStartFromTheSessionsDataFolder) {
  TempDir data;
  ASSERT_TRUE(writeTextLines(data.file(kExtraOptionsFileName), {"Companions=0", "Trash=0"}).ok());
  SortingState state;
  testing::FakeUi ui;
  testing::FakeMainView view;
  SortingSession session(state, ui, view, data.path());
  applyStoredExtraOptions(session);
  EXPECT_FALSE(state.options.keepCompanions);
  EXPECT_FALSE(state.options.trashDeleted);
}

}  // namespace
}  // namespace sortelia
