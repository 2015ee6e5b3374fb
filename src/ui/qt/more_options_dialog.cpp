#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

#include "ui/qt/dialog_parts.h"
#include "ui/qt/dialog_units.h"
#include "ui/qt/qt_dialogs.h"
#include "ui/qt/transparent_group_box.h"

namespace vellora {

CMoreOptionsDialog::CMoreOptionsDialog(CMoreOptionsModel* model, QWidget* parent)
    : CBitmapDialog(FromSystemName(model->background_bitmap), parent), model_(model) {
  using M = CMoreOptionsModel;
  setWindowTitle(Q(kMoreOptionsCaption));
  setMinimumSize(CDialogUnits(font()).Size(280, 196));
  for (size_t i = 0; i < flags_.size(); ++i) {
    flags_[i] = new QCheckBox(Q(M::kFlagLabels[i]));
    flags_[i]->setChecked(model->flags[i]);
  }

  auto* pages = new CTransparentGroupBox(Q(M::kPagesGroup));
  auto* pages_layout = new QGridLayout(pages);
  const M::Flag page_flags[] = {M::kHumanSizes, M::kIsoDates, M::kNaturalSort};
  int row = 0;
  for (M::Flag f : page_flags) pages_layout->addWidget(flags_[f], row++, 0, 1, 2);
  for (size_t i = 0; i < boxes_.size(); ++i) {
    boxes_[i] = new QLineEdit(FromSystemName(model->boxes[i]));
    auto* label = new QLabel(Q(M::kBoxLabels[i]));
    label->setBuddy(boxes_[i]);
    boxes_[i]->setToolTip(Q(M::kBoxHints[i]));
    boxes_[i]->setPlaceholderText(Q(M::kBoxHints[i]));
    pages_layout->addWidget(label, row, 0);
    pages_layout->addWidget(boxes_[i], row++, 1);
  }

  auto* manifest = new CTransparentGroupBox(Q(M::kManifestGroup));
  auto* manifest_layout = new QVBoxLayout(manifest);
  for (M::Flag f : {M::kManifest, M::kManifestChecksums, M::kFollowOutsideLinks}) {
    manifest_layout->addWidget(flags_[f]);
  }
  QCheckBox* checksums = flags_[M::kManifestChecksums];
  checksums->setEnabled(model->ChecksumsEnabled());
  connect(flags_[M::kManifest], &QCheckBox::toggled, checksums, &QWidget::setEnabled);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(pages);
  layout->addWidget(manifest);
  layout->addStretch(1);
  layout->addLayout(OkCancelRow(this));
}

void CMoreOptionsDialog::accept() {
  for (size_t i = 0; i < flags_.size(); ++i) model_->flags[i] = flags_[i]->isChecked();
  for (size_t i = 0; i < boxes_.size(); ++i) model_->boxes[i] = ToSystemName(boxes_[i]->text());
  QDialog::accept();
}

}  // namespace vellora
