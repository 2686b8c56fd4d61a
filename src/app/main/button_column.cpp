#include "app/main/button_column.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QProxyStyle>
#include <QWidget>

namespace sortelia::app {
namespace {

// The application's style with the caption of a check box 2 pixels after its indicator;
// sizes and drawing otherwise as they were.
class NarrowCheckBoxStyle : public QProxyStyle {
 public:
  int pixelMetric(PixelMetric metric, const QStyleOption* option,
                  const QWidget* widget) const override {
    if (metric == PM_CheckBoxLabelSpacing) return 2;
    return QProxyStyle::pixelMetric(metric, option, widget);
  }
};

}  // namespace

void finishButtonColumn(QWidget* column) {
  for (auto* b : column->findChildren<QAbstractButton*>()) b->setFocusPolicy(Qt::TabFocus);
  auto* narrow = new NarrowCheckBoxStyle;
  narrow->setParent(column);
  for (auto* c : column->findChildren<QCheckBox*>()) c->setStyle(narrow);
}

}  // namespace sortelia::app
