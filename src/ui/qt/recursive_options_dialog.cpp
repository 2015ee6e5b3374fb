#include <QCheckBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "ui/qt/dialog_parts.h"
#include "ui/qt/dialog_units.h"
#include "ui/qt/qt_dialogs.h"

namespace vellora {

CRecursiveOptionsDialog::CRecursiveOptionsDialog(CRecursiveOptionsModel* model, QWidget* parent)
    : QDialog(parent), model_(model) {
  setWindowTitle(Q(kRecursiveOptionsCaption));
  setMinimumSize(CDialogUnits(font()).Size(280, 128));
  skip_root_ = new QCheckBox(Q("不在根目录创建文件(&D)"));
  link_folders_ =
      new QCheckBox(Q("链接文件夹到默认的输出文件名?(&N)(注意: 忽略 /FOLDER_FILE_LINK)"));
  auto* titles = new QGroupBox(Q("页面标题选项"));
  folder_name_ = new QRadioButton(Q("使用文件夹名称作为页面标题(&U)"));
  full_path_ = new QRadioButton(Q("使用完整路径名称作为页面标题(&Y)"));
  default_title_ = new QRadioButton(Q("给所有页面使用默认标题(&T)"));
  auto* titles_layout = new QVBoxLayout(titles);
  titles_layout->addWidget(folder_name_);
  titles_layout->addWidget(full_path_);
  titles_layout->addWidget(default_title_);

  auto* build = new QPushButton(Q("创建(&B)"));
  auto* cancel = new QPushButton(Q("取消(&C)"));
  build->setDefault(true);
  connect(build, &QPushButton::clicked, this, &QDialog::accept);
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

  skip_root_->setChecked(model->skip_root);
  link_folders_->setChecked(model->link_folders);
  folder_name_->setChecked(model->folder_name_title);
  full_path_->setChecked(model->full_path_title);
  default_title_->setChecked(model->default_title);

  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  buttons->addWidget(build);
  buttons->addWidget(cancel);
  buttons->addStretch(1);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(skip_root_);
  layout->addWidget(link_folders_);
  layout->addWidget(titles);
  layout->addLayout(buttons);
}

void CRecursiveOptionsDialog::accept() {
  model_->skip_root = skip_root_->isChecked();
  model_->link_folders = link_folders_->isChecked();
  model_->folder_name_title = folder_name_->isChecked();
  model_->full_path_title = full_path_->isChecked();
  model_->default_title = default_title_->isChecked();
  QDialog::accept();
}

}  // namespace vellora
