#include <QGridLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "ui/qt/dialog_parts.h"
#include "ui/qt/dialog_units.h"
#include "ui/qt/qt_dialogs.h"

namespace vellora {

CFrameFilesDialog::CFrameFilesDialog(CFrameFilesModel* model, QWidget* parent)
    : QDialog(parent), model_(model) {
  setWindowTitle(Q(kFrameFilesCaption));
  setMinimumSize(CDialogUnits(font()).Size(300, 96));
  auto* grid = new QGridLayout;
  grid->setColumnStretch(1, 1);
  const char* names[] = {"框架 HTML 代码(&F):", "左框架(&L):", "右框架(&R):"};
  for (int row = 0; row < 3; ++row) {
    const auto which = static_cast<CFrameFilesModel::Row>(row);
    auto* choose = new QPushButton(Q(names[row]));
    auto* edit = new QPushButton(Q("编辑它"));
    choose->setAutoDefault(false);
    edit->setAutoDefault(false);
    boxes_[row] = new QLineEdit(FromSystemName(model->boxes[row]));
    boxes_[row]->setMinimumWidth(240);
    // Both buttons act on the names as they stand in the boxes.
    connect(choose, &QPushButton::clicked, this, [this, which] {
      WriteBoxes();
      model_->Choose(which);
      boxes_[which]->setText(FromSystemName(model_->boxes[which]));
    });
    connect(edit, &QPushButton::clicked, this, [this, which] {
      WriteBoxes();
      model_->Edit(which);
    });
    grid->addWidget(choose, row, 0);
    grid->addWidget(boxes_[row], row, 1);
    grid->addWidget(edit, row, 2);
  }

  auto* build = new QPushButton(Q("创建框架站点(&B)"));
  auto* cancel = new QPushButton(Q("取消创建(&A)"));
  build->setDefault(true);
  cancel->setAutoDefault(false);
  connect(build, &QPushButton::clicked, this, &QDialog::accept);
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  buttons->addWidget(build);
  buttons->addWidget(cancel);
  buttons->addStretch(1);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(grid);
  layout->addLayout(buttons);
}

void CFrameFilesDialog::WriteBoxes() {
  for (size_t i = 0; i < boxes_.size(); ++i) model_->boxes[i] = ToSystemName(boxes_[i]->text());
}

void CFrameFilesDialog::done(int result) {
  // OK, Cancel, Esc and the close box all keep what was typed.
  WriteBoxes();
  QDialog::done(result);
}

}  // namespace vellora
