#include "ui/qt/dialog_units.h"

#include <QFontMetrics>
#include <QString>

namespace vellora {

CDialogUnits::CDialogUnits(const QFont& font) {
  const QFontMetrics fm(font);
  // The average over the 52 Latin letters, rounded to the nearest pixel.
  const int letters = fm.horizontalAdvance(
      QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
  char_width_ = qMax(1, (letters / 26 + 1) / 2);
  char_height_ = qMax(1, fm.height());
}

}  // namespace vellora
