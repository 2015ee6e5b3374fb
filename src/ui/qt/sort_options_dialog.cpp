#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QRadioButton>
#include <QVBoxLayout>

#include "ui/qt/dialog_parts.h"
#include "ui/qt/dialog_units.h"
#include "ui/qt/qt_dialogs.h"
#include "ui/qt/transparent_group_box.h"

namespace vellora {

CSortOptionsDialog::CSortOptionsDialog(CSortOptionsModel* model, QWidget* parent)
    : CBitmapDialog(FromSystemName(model->background_bitmap), parent), model_(model) {
  setWindowTitle(Q(kSortOptionsCaption));
  setMinimumSize(CDialogUnits(font()).Size(252, 176));
  folders_first_ = new QCheckBox(Q("首先给文件夹排序(&F)"));
  column_wise_ = new QCheckBox(Q("按列排序(&C) ?"));

  auto* by = new CTransparentGroupBox(Q("排序按..."));
  auto* by_layout = new QVBoxLayout(by);
  const char* key_texts[] = {"名称(&N)", "大小(&S)", "日期(&D)", "类型(&X)"};
  for (size_t i = 0; i < keys_.size(); ++i) {
    keys_[i] = new QRadioButton(Q(key_texts[i]));
    by_layout->addWidget(keys_[i]);
  }
  auto* order = new CTransparentGroupBox(Q("排序次序..."));
  auto* order_layout = new QVBoxLayout(order);
  const char* order_texts[] = {"升序(&A)", "降序(&E)", "不排序(&U)"};
  for (size_t i = 0; i < orders_.size(); ++i) {
    orders_[i] = new QRadioButton(Q(order_texts[i]));
    order_layout->addWidget(orders_[i]);
  }
  order_layout->addStretch(1);

  QLabel* note_label = PlainLabel(Q("注意:"));
  QLabel* note = PlainLabel(
      Q("除非你要创建一个 '在一个文件中显示所有链接 ' 的递归文件, 否则没有文件夹可以排序."));
  note->setWordWrap(true);


  // Seeded from the model; an order it does not know checks no order radio.
  folders_first_->setChecked(model->folders_first);
  column_wise_->setChecked(model->column_wise);
  keys_[0]->setChecked(model->by_name);
  keys_[1]->setChecked(model->by_size);
  keys_[2]->setChecked(model->by_date);
  keys_[3]->setChecked(model->by_type);
  orders_[0]->setChecked(model->ascending);
  orders_[1]->setChecked(model->descending);
  orders_[2]->setChecked(model->unsorted);

  auto* groups = new QHBoxLayout;
  groups->addWidget(by, 1);
  groups->addWidget(order, 1);
  auto* notes = new QHBoxLayout;
  notes->addWidget(note_label, 0, Qt::AlignTop);
  notes->addWidget(note, 1);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(folders_first_);
  layout->addLayout(groups);
  layout->addWidget(column_wise_);
  layout->addLayout(notes);
  layout->addLayout(OkCancelRow(this));
}

void CSortOptionsDialog::accept() {
  model_->by_name = keys_[0]->isChecked();
  model_->by_size = keys_[1]->isChecked();
  model_->by_date = keys_[2]->isChecked();
  model_->by_type = keys_[3]->isChecked();
  model_->ascending = orders_[0]->isChecked();
  model_->descending = orders_[1]->isChecked();
  model_->unsorted = orders_[2]->isChecked();
  model_->folders_first = folders_first_->isChecked();
  model_->column_wise = column_wise_->isChecked();
  QDialog::accept();
}

}  // namespace vellora
