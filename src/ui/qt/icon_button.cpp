#include "ui/qt/icon_button.h"

#include <QEvent>
#include <QFocusEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionFocusRect>

namespace vellora {

namespace {

// The picture's name among the program's resources.
const char* IconName(ButtonIcon icon) {
  switch (icon) {
    case ButtonIcon::kNone: return nullptr;
    case ButtonIcon::kFolderClosed: return "folder_closed";
    case ButtonIcon::kFolderOpen: return "folder_open";
    case ButtonIcon::kSort: return "sort";
    case ButtonIcon::kWords: return "words";
    case ButtonIcon::kOptions: return "options";
    case ButtonIcon::kBrowser: return "browser";
    case ButtonIcon::kTablet: return "tablet";
    case ButtonIcon::kBatch: return "batch";
    case ButtonIcon::kConfigRead: return "config_read";
    case ButtonIcon::kConfigWrite: return "config_write";
    case ButtonIcon::kBrush: return "brush";
    case ButtonIcon::kHelp: return "help";
    case ButtonIcon::kIdCard: return "id_card";
    case ButtonIcon::kOk: return "ok";
    case ButtonIcon::kCancel: return "cancel";
    case ButtonIcon::kProgram: return nullptr;
  }
  return nullptr;
}

// Space between the edge, the icon and the caption.
constexpr int kGap = 3;

}  // namespace

QIcon LoadButtonIcon(ButtonIcon icon) {
  if (icon == ButtonIcon::kProgram) return ProgramIcon();
  const char* name = IconName(icon);
  if (name == nullptr) return QIcon();
  const QString base = QStringLiteral(":/art/buttons/") + QLatin1String(name);
  QIcon result;
  result.addFile(base + QStringLiteral(".png"), QSize(32, 32));
  result.addFile(base + QStringLiteral("@2x.png"), QSize(64, 64));
  return result;
}

QIcon ProgramIcon() {
  QIcon result;
  for (int size : {16, 24, 32, 48, 64, 128, 256}) {
    result.addFile(QStringLiteral(":/art/vellora-%1.png").arg(size), QSize(size, size));
  }
  return result;
}

CIconButton::CIconButton(const QString& text, QWidget* parent) : QPushButton(text, parent) {
  setAttribute(Qt::WA_Hover, true);
  setAutoDefault(false);
}

void CIconButton::SetIcon(ButtonIcon in, ButtonIcon out) {
  SetIcon(LoadButtonIcon(in), LoadButtonIcon(out));
}

void CIconButton::SetIcon(const QIcon& in, const QIcon& out) {
  in_ = in;
  out_ = out;
  updateGeometry();
  update();
}

void CIconButton::SetFlat(bool flat, bool repaint) {
  flat_ = flat;
  if (!flat_) mouse_over_ = false;
  if (repaint) update();
}

void CIconButton::DrawTransparent(bool repaint) {
  transparent_ = true;
  if (repaint) update();
}

const QIcon& CIconButton::IconShown() const {
  if (isDown() || mouse_over_ || out_.isNull()) return in_;
  return out_;
}

void CIconButton::SetMouseOver(bool over) {
  if (over && !flat_) return;  // only flat buttons light up
  if (mouse_over_ == over) return;
  mouse_over_ = over;
  update();
}

QSize CIconButton::sizeHint() const {
  const QFontMetrics fm(font());
  const QSize text = fm.size(Qt::TextShowMnemonic, QPushButton::text());
  int width = text.width() + 4 * kGap + 4;
  int height = text.height() + 4 * kGap;
  if (HasIn()) {
    width += kIconSize + (text.isEmpty() ? 0 : kGap);
    height = qMax(height, kIconSize + 2 * kGap + 2);
  }
  return QSize(width, height);
}

QSize CIconButton::minimumSizeHint() const { return sizeHint(); }

bool CIconButton::event(QEvent* event) {
  switch (event->type()) {
    case QEvent::Enter:
    case QEvent::HoverEnter:
      SetMouseOver(true);
      break;
    case QEvent::Leave:
    case QEvent::HoverLeave:
      SetMouseOver(false);
      break;
    default:
      break;
  }
  return QPushButton::event(event);
}

void CIconButton::mouseMoveEvent(QMouseEvent* event) {
  // A drag that started elsewhere does not light the button up.
  const bool held = (event->buttons() & Qt::LeftButton) != 0;
  const bool inside = rect().contains(event->position().toPoint());
  if (inside && !(held && !mouse_over_)) SetMouseOver(true);
  else if (!inside) SetMouseOver(false);
  QPushButton::mouseMoveEvent(event);
}

void CIconButton::focusOutEvent(QFocusEvent* event) {
  SetMouseOver(false);
  QPushButton::focusOutEvent(event);
}

void CIconButton::changeEvent(QEvent* event) {
  if (event->type() == QEvent::ActivationChange && !isActiveWindow()) SetMouseOver(false);
  QPushButton::changeEvent(event);
}

void CIconButton::paintEvent(QPaintEvent*) {
  QPainter p(this);
  const QPalette& pal = palette();
  const bool pressed = isDown();
  const bool focused = hasFocus();
  const bool disabled = !isEnabled();
  QRect r = rect();

  // A raised button that has the focus or is the default gets a black frame.
  if (!flat_ && (focused || isDefault())) {
    p.setPen(Qt::black);
    p.drawRect(r.adjusted(0, 0, -1, -1));
    r.adjust(1, 1, -1, -1);
  }
  // Face: none when transparent, so the parent's picture shows.
  if (!transparent_) p.fillRect(r, pal.color(QPalette::Button));

  // A one-pixel line along the top and left, or the bottom and right, of `box`.
  auto top_left = [&p](const QRect& box, const QColor& c) {
    p.setPen(c);
    p.drawLine(box.left(), box.top(), box.right() - 1, box.top());
    p.drawLine(box.left(), box.top(), box.left(), box.bottom() - 1);
  };
  auto bottom_right = [&p](const QRect& box, const QColor& c) {
    p.setPen(c);
    p.drawLine(box.left(), box.bottom(), box.right(), box.bottom());
    p.drawLine(box.right(), box.top(), box.right(), box.bottom());
  };
  if (!pressed) {
    if (!flat_) {
      top_left(r, pal.color(QPalette::Light));
      bottom_right(r, pal.color(QPalette::Shadow));
      const QRect inner = r.adjusted(1, 1, -1, -1);
      top_left(inner, pal.color(QPalette::Midlight));
      bottom_right(inner, pal.color(QPalette::Dark));
    } else if (mouse_over_) {
      top_left(r, pal.color(QPalette::Light));
      bottom_right(r, pal.color(QPalette::Dark));
    }
  } else if (!flat_) {
    p.setPen(pal.color(QPalette::Dark));
    p.drawRect(r.adjusted(0, 0, -1, -1));
  } else {
    top_left(r, pal.color(QPalette::Dark));
    bottom_right(r, pal.color(QPalette::Light));
  }

  const int shift = pressed ? 1 : 0;
  const QString caption = text();
  QRect text_area = r;
  const QIcon& icon = IconShown();
  if (!icon.isNull()) {
    const QPixmap pixmap = icon.pixmap(QSize(kIconSize, kIconSize), devicePixelRatioF(),
                                       disabled ? QIcon::Disabled : QIcon::Normal);
    QRect place(0, 0, kIconSize, kIconSize);
    if (caption.isEmpty()) {
      place.moveCenter(r.center());
    } else {
      place.moveLeft(r.left() + kGap);
      place.moveTop(r.top() + (r.height() - kIconSize) / 2);
      text_area.setLeft(place.right() + 1 + kGap);
    }
    p.drawPixmap(place.translated(shift, shift), pixmap);
  }

  if (!caption.isEmpty()) {
    const int flags = Qt::AlignCenter | Qt::TextWordWrap | Qt::TextShowMnemonic;
    const QRect area = text_area.translated(shift, shift);
    if (disabled) {
      p.setPen(pal.color(QPalette::Light));
      p.drawText(area.translated(1, 1), flags, caption);
      p.setPen(pal.color(QPalette::Dark));
    } else {
      p.setPen(pal.color(QPalette::ButtonText));
    }
    p.drawText(area, flags, caption);
  }

  if (focused && !flat_) {
    QStyleOptionFocusRect option;
    option.initFrom(this);
    option.rect = r.adjusted(kGap, kGap, -kGap, -kGap);
    option.backgroundColor = pal.color(QPalette::Button);
    style()->drawPrimitive(QStyle::PE_FrameFocusRect, &option, &p, this);
  }
}

}  // namespace vellora
