#include "ui/qt/tooltip_timing.h"

#include <QApplication>
#include <QProxyStyle>
#include <QStyleFactory>

namespace vellora {

namespace {

// The application's own style with the tooltip delay replaced.
class CTooltipStyle : public QProxyStyle {
 public:
  int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                QStyleHintReturn* data) const override {
    if (hint == SH_ToolTip_WakeUpDelay) return kTooltipDelayMs;
    return QProxyStyle::styleHint(hint, option, widget, data);
  }
};

}  // namespace

void InstallTooltipTiming() {
  if (dynamic_cast<CTooltipStyle*>(QApplication::style()) != nullptr) return;
  // A style of the same kind as the current one: the proxy owns its base,
  // and the application owns the proxy.
  auto* style = new CTooltipStyle;
  style->setBaseStyle(QStyleFactory::create(QApplication::style()->name()));
  QApplication::setStyle(style);
}

}  // namespace vellora
