// The session over fakes of the ports, with a data folder and a source folder of its own:
// the fixture of the session units' tests.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "core/session/sorting_session.h"
#include "platform/line_file.h"
#include "platform/text_codec.h"
#include "support/fake_ui.h"
#include "support/temp_dir.h"
#include "support/test_jpeg.h"

namespace sortelia::testing {

inline const char* const kWelcome =
    "右クリックしてネ！\r\n　移動先ボタンの上でクリックすると移動先フォルダの登録ができます。"
    "その他のところでは、整理するイメージファイルが保存してあるフォルダが選択できます。";

class SessionTest : public ::testing::Test {
 protected:
  SessionTest() : data(root.mkdir("data")), src(root.mkdir("src") + "/") {}

  SortingSession& session() {
    if (!session_) session_ = std::make_unique<SortingSession>(state, ui, view, data);
    return *session_;
  }
  // Writes zel.ini from lines 1.. given; the rest of the 23 lines follow defaults.
  void writeIni(std::vector<std::string> lines) {
    ASSERT_TRUE(writeTextLines(data + "/zel.ini", lines).ok());
  }
  std::vector<std::string> iniWithSource(const std::string& source) {
    std::vector<std::string> l(12);
    l.push_back(source);
    for (const char* v : {"108", "250", "603", "545", "FALSE", "3", "FALSE", "FALSE", "FALSE"}) {
      l.push_back(v);
    }
    l.push_back(exif::kDefaultExifItemMask);
    return l;
  }

  TempDir root;
  std::string data;
  std::string src;
  SortingState state;
  FakeUi ui;
  FakeMainView view;
  std::unique_ptr<SortingSession> session_;
};

}  // namespace sortelia::testing
