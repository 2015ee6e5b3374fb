#include "ui/qt/static_link.h"

#include <QApplication>
#include <QDesktopServices>
#include <QDir>
#include <QMouseEvent>
#include <QPalette>
#include <QUrl>

namespace vellora {

const QColor CStaticLink::kUnvisited(0, 0, 255);
const QColor CStaticLink::kVisited(128, 0, 128);

CStaticLink::CStaticLink(const QString& text, QWidget* parent) : QLabel(text, parent) {
  QFont underlined = font();
  underlined.setUnderline(true);
  setFont(underlined);
  setCursor(Qt::PointingHandCursor);
  setTextFormat(Qt::PlainText);
  SetColour(kUnvisited);
}

void CStaticLink::SetColour(const QColor& colour) {
  QPalette pal = palette();
  pal.setColor(QPalette::WindowText, colour);
  setPalette(pal);
  update();
}

namespace {

// An address keeps its scheme; anything else is a file on this machine.
QUrl UrlOf(const QString& target) {
  const QUrl url(target, QUrl::StrictMode);
  if (url.isValid() && url.scheme().size() > 1) return url;
  return QUrl::fromLocalFile(QDir::fromNativeSeparators(target));
}

}  // namespace

bool CStaticLink::Open() {
  const QString target = target_.isEmpty() ? text() : target_;
  if (target.isEmpty()) return false;
  const bool ok = QDesktopServices::openUrl(UrlOf(target));
  if (ok) {
    visited_ = true;
    SetColour(kVisited);
  } else {
    QApplication::beep();
  }
  emit opened(ok);
  return ok;
}

void CStaticLink::mousePressEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) {
    Open();
    event->accept();
    return;
  }
  QLabel::mousePressEvent(event);
}

}  // namespace vellora
