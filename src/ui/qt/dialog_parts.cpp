#include "ui/qt/dialog_parts.h"

#include <QDialog>
#include <QFile>
#include <QHBoxLayout>
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

QHBoxLayout* OkCancelRow(QDialog* dialog) {
  CIconButton* ok = DialogButton(Q("确定(&K)"), ButtonIcon::kOk, true, true);
  CIconButton* cancel = DialogButton(Q("取消(&C)"), ButtonIcon::kCancel, true, true);
  ok->setDefault(true);
  QObject::connect(ok, &QPushButton::clicked, dialog, &QDialog::accept);
  QObject::connect(cancel, &QPushButton::clicked, dialog, &QDialog::reject);
  auto* row = new QHBoxLayout;
  row->addStretch(1);
  row->addWidget(ok);
  row->addSpacing(16);
  row->addWidget(cancel);
  row->addStretch(1);
  return row;
}

}  // namespace vellora
