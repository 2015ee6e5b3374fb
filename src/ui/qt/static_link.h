// A label that is a link: underlined, blue until it has been opened once
// and purple after, a hand cursor over it. A click hands the target (or,
// without one, the label's text) to the desktop's default handler; a
// failure beeps and leaves the colour alone.
#ifndef VELLORA_UI_QT_STATIC_LINK_H_
#define VELLORA_UI_QT_STATIC_LINK_H_

#include <QColor>
#include <QLabel>
#include <QString>

namespace vellora {

class CStaticLink : public QLabel {
  Q_OBJECT

 public:
  static const QColor kUnvisited;  // 0, 0, 255
  static const QColor kVisited;    // 128, 0, 128

  explicit CStaticLink(const QString& text = QString(), QWidget* parent = nullptr);

  // An address ("https://…", "mailto:…") or a file path.
  void SetTarget(const QString& target) { target_ = target; }
  const QString& Target() const { return target_; }
  bool Visited() const { return visited_; }
  // Opens the target as a click does; true when the desktop opened it.
  bool Open();

 signals:
  void opened(bool ok);

 protected:
  void mousePressEvent(QMouseEvent* event) override;

 private:
  void SetColour(const QColor& colour);

  QString target_;
  bool visited_ = false;
};

}  // namespace vellora

#endif  // VELLORA_UI_QT_STATIC_LINK_H_
