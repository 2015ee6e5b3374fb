// A group box drawn by the program over the tiled background: an etched
// frame whose top line runs through the middle of the caption, with a gap
// for the caption 10 pixels from the edge (by its alignment), and no panel,
// so the picture behind shows inside and out. It takes no clicks.
#ifndef VELLORA_UI_QT_TRANSPARENT_GROUP_BOX_H_
#define VELLORA_UI_QT_TRANSPARENT_GROUP_BOX_H_

#include <QGroupBox>
#include <QString>

namespace vellora {

class CTransparentGroupBox : public QGroupBox {
  Q_OBJECT

 public:
  static constexpr int kCaptionInset = 10;

  explicit CTransparentGroupBox(const QString& title = QString(), QWidget* parent = nullptr);

 protected:
  void paintEvent(QPaintEvent* event) override;
};

}  // namespace vellora

#endif  // VELLORA_UI_QT_TRANSPARENT_GROUP_BOX_H_
