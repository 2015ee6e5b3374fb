// The program's push button, painted by the program: an icon beside its
// caption, a raised or flat look, a face that lets the window's picture show
// through, and (when flat) a border and the "in" icon while the mouse is
// over it.
#ifndef VELLORA_UI_QT_ICON_BUTTON_H_
#define VELLORA_UI_QT_ICON_BUTTON_H_

#include <QIcon>
#include <QPushButton>
#include <QString>

namespace vellora {

// The button pictures built into the program (32 by 32, with a 64 by 64
// version for scaled screens).
enum class ButtonIcon {
  kNone,
  kFolderClosed,
  kFolderOpen,
  kSort,         // A and Z with a down arrow
  kWords,        // red A-Z book
  kBrowser,      // reptile head: the web browser
  kTablet,       // stone tablet
  kBatch,        // document with a gear
  kConfigRead,   // arrow into a tree of boxes
  kConfigWrite,  // arrow out of a tree of boxes
  kBrush,
  kHelp,         // purple book with a question mark
  kIdCard,
  kOptions,      // three sliders
  kOk,           // green tick
  kCancel,       // red cross
  kProgram,      // the program's own icon
};

// The built-in picture; an empty icon for kNone.
QIcon LoadButtonIcon(ButtonIcon icon);
// The program's icon at every size it is drawn in.
QIcon ProgramIcon();

class CIconButton : public QPushButton {
  Q_OBJECT

 public:
  static constexpr int kIconSize = 32;

  explicit CIconButton(const QString& text = QString(), QWidget* parent = nullptr);

  // The "in" icon is shown while the mouse is over the button or it is
  // pressed, the "out" icon otherwise; with no "out" icon the "in" icon is
  // always shown. kNone / an empty icon: none.
  void SetIcon(ButtonIcon in, ButtonIcon out = ButtonIcon::kNone);
  void SetIcon(const QIcon& in, const QIcon& out = QIcon());
  // Flat (the default) or raised.
  void SetFlat(bool flat, bool repaint = true);
  bool IsFlat() const { return flat_; }
  // Paints no face, so the parent's picture shows behind the button.
  void DrawTransparent(bool repaint = true);
  bool IsTransparent() const { return transparent_; }
  bool IsMouseOver() const { return mouse_over_; }

  QSize sizeHint() const override;
  QSize minimumSizeHint() const override;

 protected:
  void paintEvent(QPaintEvent* event) override;
  bool event(QEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;
  void changeEvent(QEvent* event) override;

 private:
  void SetMouseOver(bool over);
  bool HasIn() const { return !in_.isNull(); }
  const QIcon& IconShown() const;

  bool flat_ = true;
  bool mouse_over_ = false;
  bool transparent_ = false;
  QIcon in_;
  QIcon out_;
};

}  // namespace vellora

#endif  // VELLORA_UI_QT_ICON_BUTTON_H_
