#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

#include "ui/qt/dialog_parts.h"
#include "ui/qt/dialog_units.h"
#include "ui/qt/qt_dialogs.h"

namespace vellora {

namespace {

// The summary words sit under their heading, indented.
constexpr size_t kFirstSummaryBox = 6;
constexpr size_t kLastSummaryBox = 8;
constexpr int kIndent = 16;

}  // namespace

CDefaultWordsDialog::CDefaultWordsDialog(CDefaultWordsModel* model, QWidget* parent)
    : CBitmapDialog(FromSystemName(model->background_bitmap), parent), model_(model) {
  setWindowTitle(Q(kDefaultWordsCaption));
  setMinimumSize(CDialogUnits(font()).Size(300, 234));
  auto* grid = new QGridLayout;
  grid->setColumnMinimumWidth(0, kIndent);
  grid->setColumnStretch(2, 1);
  int row = 0;
  for (size_t i = 0; i < boxes_.size(); ++i) {
    if (i == kFirstSummaryBox) {
      grid->addWidget(PlainLabel(Q("文本摘要信息:")), row++, 0, 1, 3);
    }
    auto* label = new QLabel(Q(CDefaultWordsModel::kLabels[i]));
    boxes_[i] = new QLineEdit(Q(model->boxes[i]));
    boxes_[i]->setMinimumWidth(260);
    label->setBuddy(boxes_[i]);
    const bool summary = i >= kFirstSummaryBox && i <= kLastSummaryBox;
    grid->addWidget(label, row, summary ? 1 : 0, 1, summary ? 1 : 2);
    grid->addWidget(boxes_[i], row, 2);
    ++row;
  }

  CIconButton* ok = DialogButton(Q("确定"), ButtonIcon::kOk, true, true);
  CIconButton* cancel = DialogButton(Q("取消"), ButtonIcon::kCancel, true, true);
  CIconButton* restore = DialogButton(Q("还原为默认(&R)"), ButtonIcon::kNone, false, true);
  ok->setDefault(true);
  connect(ok, &QPushButton::clicked, this, &QDialog::accept);
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
  connect(restore, &QPushButton::clicked, this, &CDefaultWordsDialog::RestoreDefaults);

  auto* buttons = new QHBoxLayout;
  buttons->addWidget(ok);
  buttons->addWidget(cancel);
  buttons->addStretch(1);
  buttons->addWidget(restore);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(grid);
  layout->addSpacing(8);
  layout->addLayout(buttons);
}

void CDefaultWordsDialog::RestoreDefaults() {
  // A copy: the model itself changes only on OK.
  CDefaultWordsModel defaults(*model_);
  defaults.RestoreDefaults();
  for (size_t i = 0; i < boxes_.size(); ++i) boxes_[i]->setText(Q(defaults.boxes[i]));
}

void CDefaultWordsDialog::accept() {
  for (size_t i = 0; i < boxes_.size(); ++i) model_->boxes[i] = boxes_[i]->text().toStdString();
  QDialog::accept();
}

}  // namespace vellora
