#include <QFontMetrics>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "ui/qt/dialog_parts.h"
#include "ui/qt/dialog_units.h"
#include "ui/qt/qt_dialogs.h"

namespace vellora {

CFileCreatedDialog::CFileCreatedDialog(CFileCreatedModel* model, QWidget* parent)
    : QDialog(parent) {
  setWindowTitle(Q(kFileCreatedCaption));
  setMinimumSize(CDialogUnits(font()).Size(424, 62));
  count_ = PlainLabel(Q(model->CountLine()));
  path_ = PlainLabel(QString());
  // The line is as wide as the path may be, and the path is measured in the
  // font the line draws it with.
  path_->setFixedWidth(CFileCreatedModel::kPathWidth);
  const QFontMetrics metrics(path_->font());
  path_->setText(Q(model->PathLine(CFileCreatedModel::kPathWidth, [&metrics](const std::string& t) {
    return metrics.horizontalAdvance(Q(t));
  })));

  auto* ok = new QPushButton(Q("确定(&O)"));
  auto* open = new QPushButton(Q("打开文件(&L)"));
  ok->setDefault(true);
  open->setAutoDefault(false);
  connect(ok, &QPushButton::clicked, this, &QDialog::accept);
  connect(open, &QPushButton::clicked, this, [model] { model->OpenFile(); });

  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  buttons->addWidget(ok);
  buttons->addWidget(open);
  buttons->addStretch(1);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(count_);
  layout->addWidget(path_);
  layout->addSpacing(6);
  layout->addLayout(buttons);
}

}  // namespace vellora
