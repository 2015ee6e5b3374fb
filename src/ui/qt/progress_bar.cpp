#include "ui/qt/progress_bar.h"

#include <QImage>
#include <QPainter>
#include <QScreen>

namespace vellora {

CProgressBar::CProgressBar(QWidget* parent) : QFrame(parent) {
  setFrameStyle(QFrame::Panel | QFrame::Sunken);
  setLineWidth(1);
}

void CProgressBar::SetRange(int low, int high) {
  low_ = low;
  high_ = high;
  update();
}

void CProgressBar::SetPosition(int position) {
  position_ = position;
  update();
}

BarDisplay CProgressBar::Display() const {
  BarDisplay display;
  const QScreen* shown_on = screen();
  const int depth = shown_on != nullptr ? shown_on->depth() : 32;
  display.palette = depth == 8;
  display.few_colours = depth < 8;
  return display;
}

QSize CProgressBar::sizeHint() const {
  return QSize(300, fontMetrics().height() + 8 + 2 * frameWidth());
}

void CProgressBar::paintEvent(QPaintEvent* event) {
  QFrame::paintEvent(event);
  const QRect bar = contentsRect();
  if (bar.isEmpty()) return;

  // Drawn off screen in device pixels, then copied in one step, so the bands
  // keep their exact colours at any scale and nothing flickers.
  const qreal dpr = devicePixelRatioF();
  QImage image((QSizeF(bar.size()) * dpr).toSize(), QImage::Format_RGB32);
  image.setDevicePixelRatio(dpr);
  {
    QPainter p(&image);
    const QRect area(QPoint(0, 0), bar.size());
    const QPalette& pal = palette();
    p.fillRect(area, pal.color(QPalette::Button));
    const int filled = ProgressFilledLength(low_, high_, position_, area.width());
    for (const BarBand& band : ProgressBands(ProgressBarStops(), filled, Display())) {
      p.fillRect(QRect(band.start, 0, band.end - band.start, area.height()),
                 QColor(band.colour.red, band.colour.green, band.colour.blue));
    }

    const QString text = QString::fromStdString(ProgressPercentText(low_, high_, position_));
    const QColor across = pal.color(QPalette::ButtonText);
    const QColor over_fill = pal.color(QPalette::HighlightedText);
    p.setFont(font());
    p.setPen(across);
    p.drawText(area, Qt::AlignCenter, text);
    if (over_fill != across && filled > 0) {
      p.setClipRect(QRect(0, 0, filled, area.height()));
      p.setPen(over_fill);
      p.drawText(area, Qt::AlignCenter, text);
    }
  }
  QPainter painter(this);
  painter.drawImage(bar.topLeft(), image);
}

}  // namespace vellora
