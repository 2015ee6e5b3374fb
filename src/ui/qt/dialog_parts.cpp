#include "ui/qt/dialog_parts.h"

#include <QFile>
#include <QLabel>

namespace vellora {

QString FromSystemName(const std::string& name) {
  return QFile::decodeName(QByteArray::fromStdString(name));
}

std::string ToSystemName(const QString& name) { return QFile::encodeName(name).toStdString(); }

QLabel* PlainLabel(const QString& text, QWidget* parent) {
  auto* label = new QLabel(parent);
  label->setTextFormat(Qt::PlainText);
  label->setText(text);
  return label;
}

CIconButton* DialogButton(const QString& text, ButtonIcon icon, bool flat, bool transparent) {
  auto* button = new CIconButton(text);
  button->SetIcon(icon);
  button->SetFlat(flat, false);
  if (transparent) button->DrawTransparent(false);
  return button;
}

}  // namespace vellora
