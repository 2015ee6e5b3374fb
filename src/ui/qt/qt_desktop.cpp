#include "ui/qt/qt_desktop.h"

#include <QApplication>
#include <QDesktopServices>
#include <QDialog>
#include <QDir>
#include <QEventLoop>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontMetrics>
#include <QHBoxLayout>
#include <QLabel>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QUrl>
#include <QVBoxLayout>

#include <atomic>
#include <thread>

#include "settings/main_sheet.h"
#include "sheet/option_dialogs.h"

namespace vellora {

namespace {

QString Q(const std::string& text) { return QString::fromStdString(text); }

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

void CQtDesktop::MessageBox(const std::string& text, const std::string& caption,
                            MessageIcon icon) {
  QMessageBox::Icon kind = QMessageBox::NoIcon;
  switch (icon) {
    case MessageIcon::kNone: break;
    case MessageIcon::kInformation: kind = QMessageBox::Information; break;
    case MessageIcon::kWarning: kind = QMessageBox::Warning; break;
    case MessageIcon::kError: kind = QMessageBox::Critical; break;
  }
  QMessageBox box(kind, Q(caption), Q(text), QMessageBox::Ok, owner_);
  box.exec();
}

bool CQtDesktop::FileDialog(const CFileDialogRequest& request, bool save, std::string* chosen) {
  QFileDialog dialog(owner_, Q(request.title));
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
  const QString folder = QFileDialog::getExistingDirectory(owner_, Q(request.title), start);
  if (folder.isEmpty()) return false;
  *chosen = QDir::toNativeSeparators(folder).toStdString();
  return true;
}

bool CQtDesktop::ShellOpen(const std::string& path) {
  return QDesktopServices::openUrl(QUrl::fromLocalFile(Q(path)));
}

void CQtDesktop::Beep() { QApplication::beep(); }

// The option dialogs are not drawn yet: the sort options and the default
// words change nothing, the recursive options and the frame files go on
// with the values they were seeded with.
DialogResult CQtDesktop::ShowSortOptions(CSortOptionsModel*) { return DialogResult::kCancel; }
DialogResult CQtDesktop::ShowDefaultWords(CDefaultWordsModel*) { return DialogResult::kCancel; }
DialogResult CQtDesktop::ShowRecursiveOptions(CRecursiveOptionsModel*) {
  return DialogResult::kOk;
}
DialogResult CQtDesktop::ShowFrameFiles(CFrameFilesModel*) { return DialogResult::kOk; }

void CQtDesktop::ShowFileCreated(CFileCreatedModel* model) {
  QDialog dialog(owner_);
  dialog.setWindowTitle(QString::fromUtf8(kFileCreatedCaption));
  auto* count = new QLabel(Q(model->CountLine()));
  const QFontMetrics metrics(dialog.font());
  auto* path = new QLabel(Q(model->PathLine(
      CFileCreatedModel::kPathWidth,
      [&metrics](const std::string& t) { return metrics.horizontalAdvance(Q(t)); })));
  auto* open = new QPushButton(QString::fromUtf8("打开文件(&L)"));
  auto* ok = new QPushButton(QStringLiteral("OK"));
  ok->setDefault(true);
  QObject::connect(open, &QPushButton::clicked, [model] { model->OpenFile(); });
  QObject::connect(ok, &QPushButton::clicked, &dialog, &QDialog::accept);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  buttons->addWidget(open);
  buttons->addWidget(ok);
  auto* layout = new QVBoxLayout(&dialog);
  layout->addWidget(count);
  layout->addWidget(path);
  layout->addLayout(buttons);
  dialog.exec();
}

void CQtDesktop::ShowAbout() {
  QMessageBox::about(owner_, QString::fromUtf8(kAboutCaption),
                     QString::fromUtf8(kSheetCaption) + QLatin1Char('\n') +
                         QString::fromUtf8(kAboutBuildLine));
}

// The terms as plain text; the window has no background picture.
void CQtDesktop::ShowDistributionTerms(const std::string&) {
  QString text = QString::fromUtf8(kTermsHeading) + QLatin1String("\n\n");
  for (const char* paragraph : kTermsParagraphs) {
    text += QString::fromUtf8("• ") + QString::fromUtf8(paragraph) + QLatin1Char('\n');
  }
  text += QLatin1Char('\n') + QString::fromUtf8(kTermsDisclaimer);
  QMessageBox::information(owner_, QString::fromUtf8(kDistributionTermsCaption), text);
}

void CQtDesktop::RunBuild(const CBuildRun& run) {
  QDialog window(owner_);
  window.setWindowTitle(QString::fromUtf8(kProgressCaption));
  auto* folder = new QLabel;
  auto* file = new QLabel;
  auto* bar = new QProgressBar;
  auto* cancel = new QPushButton(QString::fromUtf8("取消"));
  auto* layout = new QVBoxLayout(&window);
  layout->addWidget(folder);
  layout->addWidget(file);
  layout->addWidget(bar);
  layout->addWidget(cancel, 0, Qt::AlignRight);
  QObject::connect(cancel, &QPushButton::clicked, [&run] { run.cancel(); });
  // Esc and the close box cancel the build too; the window stays until it ends.
  QObject::connect(&window, &QDialog::rejected, [&run] { run.cancel(); });

  QEventLoop loop;
  std::atomic<bool> ended{false};
  auto show = [&] {
    CProgressLines lines;
    if (!mailbox_.Take(&lines)) return;
    if (lines.folder_changed) folder->setText(Q(lines.folder_line));
    file->setText(Q(lines.file_line));
    if (lines.bar_changed) {
      bar->setRange(0, lines.bar_high);
      bar->setValue(lines.bar_position);
    }
  };
  QTimer tick;
  QObject::connect(&tick, &QTimer::timeout, [&] {
    show();
    if (ended) loop.quit();
  });
  window.setWindowModality(Qt::ApplicationModal);
  window.show();
  std::thread worker([&] {
    run.work();
    ended = true;
  });
  tick.start(30);
  loop.exec();
  worker.join();
  tick.stop();
  window.hide();
}

void CQtDesktop::ShowProgress(const CProgressLines& lines) { mailbox_.Post(lines); }

}  // namespace vellora
