#include "app/dump/dump_wiring.h"
#include "app/common/guarded.h"

namespace sortelia::app {

DumpWiring::DumpWiring(DumpWindow& window, Ui& ui, SortingSession& session)
    : w_(window), ui_(ui), commands_(session) {
  w_.onOpen = [this](int pane) {
    guarded([&] {
      commands_.DmpFileOpen(pane);
      showPane(pane);
    });
  };
  w_.onChk = [this] { guarded([&] { Chk(); }); };
  w_.onEdit = [this] { guarded([&] { commands_.Edit(); }); };
  w_.onDumpClicked = [this] { stop_.cancel(); };
}

void DumpWiring::guarded(const std::function<void()>& command) { runGuarded(ui_, command); }

void DumpWiring::showPane(int pane) {
  const DumpPane& p = commands_.pane(pane);
  w_.setPanePath(pane, p.path);
  w_.setPaneLines(pane, p.lines);
}

void DumpWiring::showDumpList(const std::optional<std::string>& picture,
                              const QRect& mainGeometry) {
  w_.setWindowTitle("ダンプリスト");
  w_.setGeometry(mainGeometry);
  if (picture) {
    guarded([&] {
      commands_.MakeDump(1, *picture);
      showPane(1);
    });
  }
  w_.exec();
}

void DumpWiring::Chk() {
  if (comparing_) return;  // a second click while comparing
  comparing_ = true;
  stop_ = CancelToken();
  const QString caption = w_.windowTitle();
  w_.resetColours();
  outputs::DumpComparison result;
  try {
    result = commands_.Chk(
        stop_, [this](const std::string& c) { w_.setWindowTitle(QString::fromStdString(c)); });
  } catch (...) {
    w_.setWindowTitle(caption);
    comparing_ = false;
    throw;
  }
  w_.colourMarks(result.marks);
  w_.setWindowTitle(caption);
  comparing_ = false;
}

}  // namespace sortelia::app
