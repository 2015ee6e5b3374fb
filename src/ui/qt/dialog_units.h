// Sizes given in dialog units turned into pixels by a font's metrics: a
// horizontal unit is a quarter of the font's average character width, a
// vertical unit an eighth of its height.
#ifndef VELLORA_UI_QT_DIALOG_UNITS_H_
#define VELLORA_UI_QT_DIALOG_UNITS_H_

#include <QFont>
#include <QSize>

namespace vellora {

class CDialogUnits {
 public:
  explicit CDialogUnits(const QFont& font);

  int X(int units) const { return (units * char_width_ + 2) / 4; }
  int Y(int units) const { return (units * char_height_ + 4) / 8; }
  QSize Size(int x_units, int y_units) const { return QSize(X(x_units), Y(y_units)); }

  int CharWidth() const { return char_width_; }
  int CharHeight() const { return char_height_; }

 private:
  int char_width_;   // the average width of the Latin letters, rounded
  int char_height_;
};

}  // namespace vellora

#endif  // VELLORA_UI_QT_DIALOG_UNITS_H_
