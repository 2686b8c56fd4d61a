// The session's photo data of the shown picture: the date overlay by the item mask.
#include "core/session/photo_data_presenter.h"

#include <gtest/gtest.h>

#include "core/session/session_fixture.h"
#include "platform/line_file.h"
#include "platform/text_codec.h"
#include "support/fake_ui.h"
#include "support/temp_dir.h"
#include "support/test_jpeg.h"

namespace sortelia {
namespace {

using testing::FakeMainView;
using testing::FakeUi;
using testing::kWelcome;
using testing::readAll;
using testing::SessionTest;
using testing::TempDir;

// The date overlay shows the shooting date exactly when item 2 ("02:撮影日時") is chosen.
TEST_F(SessionTest, DateOverlayFollowsItemTwoOfTheMask) {
  const std::string canon = readAll(testing::testData("camera/Canon_DIGITAL_IXUS_400.jpg"));
  root.write("src/a.jpg", canon);
  state.list.sourceDir = src;
  const std::pair<std::string, std::string> cases[] = {
      {exif::kDefaultExifItemMask, "2004.08.27 13:52:55."},
      {"100011010101110010101100000", ""},  // items chosen, but not item 2
      {"010000000000000000000000000", "2004.08.27 13:52:55."},
  };
  for (const auto& [mask, date] : cases) {
    state.options.exifItemMask = mask;
    view.dateText = "not set";
    session().scan().rescanSourceFolder();
    EXPECT_EQ(view.dateText, date) << mask;
  }
}

}  // namespace
}  // namespace sortelia
