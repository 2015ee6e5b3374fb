// The tiled background of the pages and of the bitmap dialogs: a picture
// repeated from the window's top left at its own size, never stretched, with
// labels, check boxes, radios and group boxes drawn over it without a
// background of their own. A file that cannot be loaded as a bitmap gives
// the marble tile built into the program.
#ifndef VELLORA_UI_QT_TILED_BACKGROUND_H_
#define VELLORA_UI_QT_TILED_BACKGROUND_H_

#include <QDialog>
#include <QPixmap>
#include <QString>
#include <QWidget>

class QPainter;
class QRect;

namespace vellora {

class CTiledBackground {
 public:
  // The built-in tile (128 by 128 pixels).
  static QPixmap BuiltIn();

  // Loads `file` as a bitmap (a relative name from the current folder at the
  // moment of the call). An empty name, a missing, unreadable or non-bitmap
  // file silently gives the built-in tile. True when the file was used.
  bool Load(const QString& file);
  // Uses `tile` as it is (no check of its format).
  void SetPixmap(const QPixmap& tile);

  const QPixmap& pixmap() const { return tile_; }
  bool FromFile() const { return from_file_; }

  // Fills `area` with whole copies of the tile, the first at the area's top
  // left; the last row and column are cut at its edges. False (nothing
  // painted) without a tile.
  bool Paint(QPainter& painter, const QRect& area) const;

 private:
  QPixmap tile_;
  bool from_file_ = false;
};

// A widget whose whole area shows the tiled background, anchored at its own
// top left whatever part of it is repainted. Its children that paint no
// background (labels, check boxes, radios, CTransparentGroupBox, a
// transparent CIconButton) show the tiles through.
class CBitmapWidget : public QWidget {
  Q_OBJECT

 public:
  explicit CBitmapWidget(const QString& bitmap_file, QWidget* parent = nullptr);
  CTiledBackground& background() { return background_; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  CTiledBackground background_;
};

// The same for a dialog (sort options, default words, distribution terms).
class CBitmapDialog : public QDialog {
  Q_OBJECT

 public:
  explicit CBitmapDialog(const QString& bitmap_file, QWidget* parent = nullptr);
  CTiledBackground& background() { return background_; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  CTiledBackground background_;
};

}  // namespace vellora

#endif  // VELLORA_UI_QT_TILED_BACKGROUND_H_
