#include "app/print/print_wiring.h"

#include <QAction>
#include <QPrintDialog>
#include <QPrinter>
#include <algorithm>

#include "outputs/print/print_layout.h"
#include "platform/format.h"
#include "platform/path.h"

namespace sortelia::app {

PrintWiring::PrintWiring(MainWindow& main, PrintWindow& window, QtUi& ui, SortingSession& session)
    : main_(main), w_(window), ui_(ui), session_(session) {
  connect(main_.find<QAction>(Control::Print1), &QAction::triggered, this, [this] {
    try {
      Print1Click();
    } catch (const std::exception& e) {
      ui_.message(Icon::Error, e.what(), Buttons::Ok);
    }
  });
  w_.onPrint = [this] { Button2Click(); };
}

void PrintWiring::open(const std::string& fileList, const std::string& caption) {
  w_.setFileList(fileList);
  w_.setWindowTitle(QString::fromStdString(caption));
  w_.exec();
}

void PrintWiring::Print1Click() {
  // The record of the shown picture names it; printing only reads, so the pending rotation of
  // the shown picture stays as it is.
  const std::string path = session_.photoData().photo().record.FilePath;
  if (path.empty()) return;  // no picture read yet
  open(outputs::quotedFileList({path}), format("印刷[ %s ]", {fs::fileNameOf(path)}));
}

exif::PhotoRecord PrintWiring::readPhoto(const std::string& path) {
  const Options& o = session_.state().options;
  photo_.GetPdata(path, o.exifItemMask, session_.photoData().selectedCameraSet());
  return photo_.record;
}

void PrintWiring::Button2Click() {
  QPrinter printer(QPrinter::HighResolution);
  // Pages are drawn as one bitmap each: 300 dots per inch keep an A4 page near 8 megapixels.
  printer.setResolution(300);
  QPrintDialog dialog(&printer, &w_);
  if (dialog.exec() == QDialog::Accepted) {
    try {
      w_.printFiles(printer, [this](const std::string& p) { return readPhoto(p); });
    } catch (const std::exception& e) {
      ui_.message(Icon::Error, e.what(), Buttons::Ok);
    }
  }
  w_.accept();
}

}  // namespace sortelia::app
