#include "ui/qt/qt_desktop.h"

#include <QApplication>
#include <QDesktopServices>
#include <QDialog>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QUrl>

#include "ui/qt/progress_window.h"
#include "ui/qt/qt_dialogs.h"

namespace vellora {

namespace {

QString Q(const std::string& text) { return QString::fromStdString(text); }

DialogResult Result(int code) {
  return code == QDialog::Accepted ? DialogResult::kOk : DialogResult::kCancel;
}

}  // namespace

QStringList QtNameFilters(const std::string& filter) {
  QStringList result;
  const QStringList parts = Q(filter).split(QLatin1Char('|'));
  for (int i = 0; i + 1 < parts.size(); i += 2) {
    const QString text = parts[i].trimmed();
    if (text.isEmpty() && parts[i + 1].isEmpty()) continue;
    const QStringList patterns = parts[i + 1].split(QLatin1Char(';'), Qt::SkipEmptyParts);
    result << text + QStringLiteral(" (") + patterns.join(QLatin1Char(' ')) +
                  QLatin1Char(')');
  }
  return result;
}

QWidget* CQtDesktop::Parent() const {
  // Over the dialog that asked (a chooser of the frame files dialog), else
  // over the sheet.
  if (QWidget* modal = QApplication::activeModalWidget()) return modal;
  return owner_;
}

void CQtDesktop::MessageBox(const std::string& text, const std::string& caption,
                            MessageIcon icon) {
  QMessageBox::Icon kind = QMessageBox::NoIcon;
  switch (icon) {
    case MessageIcon::kNone: break;
    case MessageIcon::kInformation: kind = QMessageBox::Information; break;
    case MessageIcon::kWarning: kind = QMessageBox::Warning; break;
    case MessageIcon::kError: kind = QMessageBox::Critical; break;
  }
  QMessageBox box(kind, Q(caption), Q(text), QMessageBox::Ok, Parent());
  box.exec();
}

bool CQtDesktop::FileDialog(const CFileDialogRequest& request, bool save, std::string* chosen) {
  QFileDialog dialog(Parent(), Q(request.title));
  dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
  dialog.setFileMode(request.must_exist ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
  dialog.setOption(QFileDialog::DontConfirmOverwrite, !request.prompt_overwrite);
  dialog.setNameFilters(QtNameFilters(request.filter));
  if (!request.default_extension.empty()) dialog.setDefaultSuffix(Q(request.default_extension));
  const QFileInfo initial(Q(request.initial_name));
  if (!request.initial_folder.empty()) {
    dialog.setDirectory(Q(request.initial_folder));
    if (!request.initial_name.empty()) dialog.selectFile(initial.fileName());
  } else if (!request.initial_name.empty()) {
    if (request.initial_name.find('/') != std::string::npos) dialog.setDirectory(initial.path());
    dialog.selectFile(initial.fileName());
  }
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return false;
  *chosen = QDir::toNativeSeparators(dialog.selectedFiles().first()).toStdString();
  return true;
}

bool CQtDesktop::OpenFileDialog(const CFileDialogRequest& request, std::string* chosen) {
  return FileDialog(request, false, chosen);
}

bool CQtDesktop::SaveFileDialog(const CFileDialogRequest& request, std::string* chosen) {
  return FileDialog(request, true, chosen);
}

bool CQtDesktop::BrowseForFolder(const CFolderBrowseRequest& request, std::string* chosen) {
  const QString start =
      request.start_folder.empty() ? QDir::currentPath() : Q(request.start_folder);
  const QString folder = QFileDialog::getExistingDirectory(Parent(), Q(request.title), start);
  if (folder.isEmpty()) return false;
  *chosen = QDir::toNativeSeparators(folder).toStdString();
  return true;
}

bool CQtDesktop::ShellOpen(const std::string& path) {
  return QDesktopServices::openUrl(QUrl::fromLocalFile(Q(path)));
}

void CQtDesktop::Beep() { QApplication::beep(); }

DialogResult CQtDesktop::ShowSortOptions(CSortOptionsModel* model) {
  CSortOptionsDialog dialog(model, Parent());
  return Result(dialog.exec());
}

DialogResult CQtDesktop::ShowDefaultWords(CDefaultWordsModel* model) {
  CDefaultWordsDialog dialog(model, Parent());
  return Result(dialog.exec());
}

DialogResult CQtDesktop::ShowMoreOptions(CMoreOptionsModel* model) {
  CMoreOptionsDialog dialog(model, Parent());
  return Result(dialog.exec());
}

DialogResult CQtDesktop::ShowRecursiveOptions(CRecursiveOptionsModel* model) {
  CRecursiveOptionsDialog dialog(model, Parent());
  return Result(dialog.exec());
}

DialogResult CQtDesktop::ShowFrameFiles(CFrameFilesModel* model) {
  CFrameFilesDialog dialog(model, Parent());
  return Result(dialog.exec());
}

void CQtDesktop::ShowFileCreated(CFileCreatedModel* model) {
  CFileCreatedDialog dialog(model, Parent());
  dialog.exec();
}

void CQtDesktop::ShowAbout() {
  CAboutDialog dialog(Parent());
  dialog.exec();
}

void CQtDesktop::ShowDistributionTerms(const std::string& background_bitmap) {
  CDistributionTermsDialog dialog(background_bitmap, Parent());
  dialog.exec();
}

void CQtDesktop::RunBuild(const CBuildRun& run) {
  CProgressWindow window(run.cancel, Parent());
  window.Run(run.work, &mailbox_);
}

void CQtDesktop::ShowProgress(const CProgressLines& lines) { mailbox_.Post(lines); }

}  // namespace vellora
