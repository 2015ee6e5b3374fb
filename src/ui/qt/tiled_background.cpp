#include "ui/qt/tiled_background.h"

#include <QImageReader>
#include <QPaintEvent>
#include <QPainter>
#include <QRect>

namespace vellora {

QPixmap CTiledBackground::BuiltIn() {
  // Read from the program's resources once; an image, not a pixmap, may
  // outlive the application object.
  static const QImage marble(QStringLiteral(":/art/green_marble.bmp"), "BMP");
  return QPixmap::fromImage(marble);
}

bool CTiledBackground::Load(const QString& file) {
  QImage image;
  if (!file.isEmpty()) {
    // Only a bitmap file: anything else gives the built-in tile, as a
    // missing file does.
    QImageReader reader(file, "BMP");
    reader.setDecideFormatFromContent(false);
    image = reader.read();
  }
  from_file_ = !image.isNull() && image.width() > 0 && image.height() > 0;
  tile_ = from_file_ ? QPixmap::fromImage(image) : BuiltIn();
  return from_file_;
}

void CTiledBackground::SetPixmap(const QPixmap& tile) {
  tile_ = tile;
  from_file_ = false;
}

bool CTiledBackground::Paint(QPainter& painter, const QRect& area) const {
  const int w = tile_.width();
  const int h = tile_.height();
  if (w <= 0 || h <= 0) return false;
  painter.save();
  painter.setClipRect(area, Qt::IntersectClip);
  // Whole copies at the tile's own size, from the top left; never scaled.
  for (int y = 0; y < area.height(); y += h) {
    for (int x = 0; x < area.width(); x += w) {
      painter.drawPixmap(area.left() + x, area.top() + y, tile_);
    }
  }
  painter.restore();
  return true;
}

CBitmapWidget::CBitmapWidget(const QString& bitmap_file, QWidget* parent) : QWidget(parent) {
  background_.Load(bitmap_file);
}

void CBitmapWidget::paintEvent(QPaintEvent*) {
  // The whole rectangle, not the event's: a partial repaint must keep the
  // tiles anchored at the top left (the painter is clipped already).
  QPainter painter(this);
  background_.Paint(painter, rect());
}

CBitmapDialog::CBitmapDialog(const QString& bitmap_file, QWidget* parent) : QDialog(parent) {
  background_.Load(bitmap_file);
}

void CBitmapDialog::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  background_.Paint(painter, rect());
}

}  // namespace vellora
