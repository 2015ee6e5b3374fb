// The progress window's bar, painted by the program: the filled part shows
// the whole gradient of the bar's colour stops as bands of solid colour
// (the sheet's band function), the rest the button face, and the
// percentage is written over the middle twice, in the button-text colour
// across the bar and in the highlighted-text colour over the filled part.
#ifndef VELLORA_UI_QT_PROGRESS_BAR_H_
#define VELLORA_UI_QT_PROGRESS_BAR_H_

#include <QFrame>

#include "sheet/progress_bands.h"

namespace vellora {

class CProgressBar : public QFrame {
  Q_OBJECT

 public:
  explicit CProgressBar(QWidget* parent = nullptr);

  // The position is kept as given: one outside the bounds fills nothing.
  void SetRange(int low, int high);
  void SetPosition(int position);
  int low() const { return low_; }
  int high() const { return high_; }
  int position() const { return position_; }

  // What the screen the bar is on can show.
  BarDisplay Display() const;

  QSize sizeHint() const override;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  int low_ = 0;
  int high_ = 100;
  int position_ = 0;
};

}  // namespace vellora

#endif  // VELLORA_UI_QT_PROGRESS_BAR_H_
