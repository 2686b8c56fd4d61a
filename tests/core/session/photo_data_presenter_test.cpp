// The session's photo data of the shown picture: the date overlay by the item mask.
#include "core/session/photo_data_presenter.h"

#include <gtest/gtest.h>

#include "core/session/session_fixture.h"
#include "platform/line_file.h"
#include "platform/text_codec.h"
#include "support/fake_ui.h"
#include "support/raw_builder.h"
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

// A phone's HEIC, a Canon CR3 and a DNG: the information text names their camera and the
// overlay shows their shooting date (with its fraction), as exiftool reads them.
TEST_F(SessionTest, InformationOfHeicCr3AndDngPictures) {
  const std::string canon = readAll(testing::testData("camera/Canon_40D.jpg"));
  const std::string tiff = testing::exifTiffOf(canon);
  root.write("src/a.HEIC", readAll(testing::testData("heif/canon_40d.heic")));
  root.write("src/b.CR3", testing::makeCr3(canon, "", tiff, tiff));
  root.write("src/c.DNG",
             testing::exifTiffOf(readAll(testing::testData("camera/Pentax_K10D.jpg"))));
  state.list.sourceDir = src;
  state.options.exifItemMask = exif::kDefaultExifItemMask;
  session().scan().rescanSourceFolder();
  ASSERT_EQ(state.list.images.size(), 3u);
  const struct {
    const char* model;
    const char* date;
  } expected[] = {{"Canon EOS 40D", "2008.05.30 15:56:01.00"},
                  {"Canon EOS 40D", "2008.05.30 15:56:01.00"},
                  {"PENTAX K10D", "2008.05.04 16:47:24."}};
  for (int n = 1; n <= 3; ++n) {
    SCOPED_TRACE(n);
    session().scan().showListPosition(n);
    EXPECT_NE(ui.infoText().find(expected[n - 1].model), std::string::npos) << ui.infoText();
    EXPECT_EQ(view.dateText, expected[n - 1].date);
  }
}

}  // namespace
}  // namespace sortelia
