#include "ui/qt/transparent_group_box.h"

#include <QPainter>

namespace vellora {

CTransparentGroupBox::CTransparentGroupBox(const QString& title, QWidget* parent)
    : QGroupBox(title, parent) {
  // A frame, not a control: it never takes the mouse for itself.
  setFocusPolicy(Qt::NoFocus);
}

void CTransparentGroupBox::paintEvent(QPaintEvent*) {
  QPainter p(this);
  const QFont caption_font = parentWidget() != nullptr ? parentWidget()->font() : font();
  p.setFont(caption_font);
  const QFontMetrics fm(caption_font);
  const QString caption = title().isEmpty() ? QString() : QLatin1Char(' ') + title() + QLatin1Char(' ');
  const int caption_width = caption.isEmpty() ? 0 : fm.horizontalAdvance(caption);

  // The etched frame: a shadow line and a highlight line one pixel inside
  // and below it; the top line runs through the caption's middle.
  const QRect r = rect();
  const int top = r.top() + fm.height() / 2;
  int gap_left = r.left() + kCaptionInset;
  if (alignment() & Qt::AlignRight) gap_left = r.right() + 1 - kCaptionInset - caption_width;
  else if (alignment() & Qt::AlignHCenter) gap_left = r.left() + (r.width() - caption_width) / 2;
  const int gap_right = gap_left + caption_width;

  const QColor shadow = isFlat() ? QColor(Qt::black) : palette().color(QPalette::Dark);
  const QColor highlight = palette().color(QPalette::Light);
  auto frame = [&](const QRect& box, const QColor& colour) {
    p.setPen(colour);
    if (caption_width > 0) {
      p.drawLine(box.left(), box.top(), gap_left - 1, box.top());
      p.drawLine(gap_right, box.top(), box.right(), box.top());
    } else {
      p.drawLine(box.left(), box.top(), box.right(), box.top());
    }
    p.drawLine(box.left(), box.top(), box.left(), box.bottom());
    p.drawLine(box.left(), box.bottom(), box.right(), box.bottom());
    p.drawLine(box.right(), box.top(), box.right(), box.bottom());
  };
  frame(QRect(QPoint(r.left(), top), QPoint(r.right() - 1, r.bottom() - 1)), shadow);
  frame(QRect(QPoint(r.left() + 1, top + 1), QPoint(r.right(), r.bottom())), highlight);

  if (!caption.isEmpty()) {
    p.setPen(palette().color(QPalette::WindowText));
    const QRect text_box(gap_left, top - fm.height() / 2, caption_width, fm.height());
    p.drawText(text_box, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine | Qt::TextDontClip |
                             Qt::TextShowMnemonic, caption);
  }
}

}  // namespace vellora
