// The sheet's modal dialogs on Qt: each shows its model from the sheet's
// core, hands the user's changes to it and ends with OK or Cancel. The sort
// options, default words and distribution terms lie over the tiled
// background; the others are plain dialogs with the system's buttons. Each
// is at least as large as its template in dialog units of its font.
#ifndef VELLORA_UI_QT_QT_DIALOGS_H_
#define VELLORA_UI_QT_QT_DIALOGS_H_

#include <QDialog>

#include <array>

#include "sheet/option_dialogs.h"
#include "ui/qt/tiled_background.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace vellora {

class CIconButton;
class CStaticLink;

// "选择排序选项": on OK the radios and boxes go into the model.
class CSortOptionsDialog : public CBitmapDialog {
  Q_OBJECT

 public:
  CSortOptionsDialog(CSortOptionsModel* model, QWidget* parent = nullptr);
  void accept() override;

 private:
  CSortOptionsModel* model_;
  QCheckBox* folders_first_;
  QCheckBox* column_wise_;
  // In the dialog's order: name, size, date, type; ascending, descending,
  // unsorted.
  std::array<QRadioButton*, 4> keys_;
  std::array<QRadioButton*, 3> orders_;
};

// "改变生成文件的默认字词": ten boxes; restore defaults fills the boxes only,
// and only OK hands them to the model.
class CDefaultWordsDialog : public CBitmapDialog {
  Q_OBJECT

 public:
  CDefaultWordsDialog(CDefaultWordsModel* model, QWidget* parent = nullptr);
  void accept() override;
  // Puts the default texts into the boxes.
  void RestoreDefaults();

 private:
  CDefaultWordsModel* model_;
  std::array<QLineEdit*, CDefaultWordsModel::kWords> boxes_;
};

// "更多选项": the check boxes and the two edit boxes go into the model on OK;
// the checksum box is enabled only while the manifest box is ticked.
class CMoreOptionsDialog : public CBitmapDialog {
  Q_OBJECT

 public:
  CMoreOptionsDialog(CMoreOptionsModel* model, QWidget* parent = nullptr);
  void accept() override;

 private:
  CMoreOptionsModel* model_;
  std::array<QCheckBox*, CMoreOptionsModel::kFlagCount> flags_;
  std::array<QLineEdit*, CMoreOptionsModel::kBoxCount> boxes_;
};

// "递归文件生成选项": OK ("创建(&B)") writes the three values into the model.
class CRecursiveOptionsDialog : public QDialog {
  Q_OBJECT

 public:
  CRecursiveOptionsDialog(CRecursiveOptionsModel* model, QWidget* parent = nullptr);
  void accept() override;

 private:
  CRecursiveOptionsModel* model_;
  QCheckBox* skip_root_;
  QCheckBox* link_folders_;
  QRadioButton* folder_name_;
  QRadioButton* full_path_;
  QRadioButton* default_title_;
};

// "请给每个框架选择自定义的 HTML 文件": every way out hands the three boxes
// back to the model, since the sheet keeps them even when the build is
// cancelled.
class CFrameFilesDialog : public QDialog {
  Q_OBJECT

 public:
  CFrameFilesDialog(CFrameFilesModel* model, QWidget* parent = nullptr);
  void done(int result) override;

 private:
  void WriteBoxes();

  CFrameFilesModel* model_;
  std::array<QLineEdit*, 3> boxes_;  // by CFrameFilesModel::Row
};

// "HTML 文件创建成功": the count line, the path line shortened to its width,
// OK and "打开文件(&L)", which leaves the dialog open.
class CFileCreatedDialog : public QDialog {
  Q_OBJECT

 public:
  CFileCreatedDialog(CFileCreatedModel* model, QWidget* parent = nullptr);
  QLabel* countLine() const { return count_; }
  QLabel* pathLine() const { return path_; }

 private:
  QLabel* count_;
  QLabel* path_;
};

// "关于 vellora": icon, name and version, build date, credit, the web and
// mail links; no background picture.
class CAboutDialog : public QDialog {
  Q_OBJECT

 public:
  static const char kWebAddress[];
  static const char kMailAddress[];
  static const char kMailTarget[];  // mailto: with the feedback subject

  explicit CAboutDialog(QWidget* parent = nullptr);
  CStaticLink* webLink() const { return web_; }
  CStaticLink* mailLink() const { return mail_; }

 private:
  CStaticLink* web_;
  CStaticLink* mail_;
};

// "vellora 授权信息": the terms over the tiled background.
class CDistributionTermsDialog : public CBitmapDialog {
  Q_OBJECT

 public:
  explicit CDistributionTermsDialog(const std::string& background_bitmap,
                                    QWidget* parent = nullptr);
};

}  // namespace vellora

#endif  // VELLORA_UI_QT_QT_DIALOGS_H_
