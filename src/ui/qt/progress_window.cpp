#include "ui/qt/progress_window.h"

#include <QEventLoop>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

#include <atomic>
#include <thread>

#include "sheet/option_dialogs.h"
#include "sheet/progress_mailbox.h"
#include "ui/qt/dialog_parts.h"
#include "ui/qt/dialog_units.h"
#include "ui/qt/progress_bar.h"

namespace vellora {

namespace {

// How often the window takes the build's reports.
constexpr int kTickMs = 30;

QLineEdit* ReadOnlyLine() {
  auto* line = new QLineEdit;
  line->setReadOnly(true);
  line->setFocusPolicy(Qt::NoFocus);
  return line;
}

}  // namespace

CProgressWindow::CProgressWindow(std::function<void()> cancel, QWidget* parent)
    : QDialog(parent), cancel_(std::move(cancel)) {
  setWindowTitle(Q(kProgressCaption));
  setMinimumSize(CDialogUnits(font()).Size(300, 80));
  setWindowFlag(Qt::WindowContextHelpButtonHint, false);
  folder_ = ReadOnlyLine();
  file_ = ReadOnlyLine();
  bar_ = new CProgressBar;
  cancel_button_ = new QPushButton(Q("取消"));
  cancel_button_->setAutoDefault(false);
  connect(cancel_button_, &QPushButton::clicked, this, &CProgressWindow::Cancel);

  auto* grid = new QGridLayout;
  grid->setColumnStretch(1, 1);
  const char* labels[] = {"文件夹:", "文件:", "百分比:"};
  QWidget* fields[] = {folder_, file_, bar_};
  for (int row = 0; row < 3; ++row) {
    grid->addWidget(PlainLabel(Q(labels[row])), row, 0);
    grid->addWidget(fields[row], row, 1);
  }
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(grid);
  layout->addWidget(cancel_button_, 0, Qt::AlignRight);
}

void CProgressWindow::Show(const CProgressLines& lines) {
  if (lines.folder_changed) {
    folder_->setText(lines.folder_is_path ? FromSystemName(lines.folder_line)
                                          : Q(lines.folder_line));
  }
  file_->setText(Q(lines.file_line));
  if (lines.bar_changed) {
    bar_->SetRange(0, lines.bar_high);
    bar_->SetPosition(lines.bar_position);
  }
}

void CProgressWindow::Cancel() {
  if (cancelled_) return;
  cancelled_ = true;
  cancel_button_->setEnabled(false);
  if (cancel_) cancel_();
}

void CProgressWindow::reject() { Cancel(); }

void CProgressWindow::Run(const std::function<void()>& work, CProgressMailbox* mailbox) {
  // Reports left from an earlier build are not this one's.
  CProgressLines stale;
  mailbox->Take(&stale);

  setWindowModality(Qt::ApplicationModal);
  show();
  QEventLoop loop;
  std::atomic<bool> ended{false};
  QTimer tick;
  connect(&tick, &QTimer::timeout, &loop, [&] {
    CProgressLines lines;
    if (mailbox->Take(&lines)) Show(lines);
    if (ended) loop.quit();
  });
  std::thread worker([&] {
    work();
    ended = true;
  });
  tick.start(kTickMs);
  loop.exec();
  worker.join();
  tick.stop();
  hide();
}

}  // namespace vellora
