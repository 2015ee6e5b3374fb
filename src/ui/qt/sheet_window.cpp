#include "ui/qt/sheet_window.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QVBoxLayout>
#include <QWindow>

#include "ui/qt/dialog_units.h"
#include "ui/qt/icon_button.h"
#include "sheet/page_texts.h"
#include "ui/qt/tiled_background.h"
#include "ui/qt/tooltip_timing.h"
#include "ui/qt/transparent_group_box.h"

namespace vellora {

namespace {

QString Q(const char* text) { return QString::fromUtf8(text); }
QString Q(const std::string& text) { return QString::fromStdString(text); }

const CControlText& TextOf(ControlId id) { return kControlTexts[static_cast<int>(id)]; }

// F1 to F12 as 1 to 12; 0 for any other key.
int FunctionKeyNumber(int key) {
  return key >= Qt::Key_F1 && key <= Qt::Key_F12 ? key - Qt::Key_F1 + 1 : 0;
}

// The picture of a command button of the recursion, input/output and help
// pages.
ButtonIcon IconOf(const CButtonText& button) {
  switch (button.command) {
    case SheetCommand::kSortOptions: return ButtonIcon::kSort;
    case SheetCommand::kDefaultWords: return ButtonIcon::kWords;
    case SheetCommand::kMoreOptions: return ButtonIcon::kOptions;
    case SheetCommand::kOpenOutputFile: return ButtonIcon::kBrowser;
    case SheetCommand::kEditCustomHtml: return ButtonIcon::kTablet;
    case SheetCommand::kSaveBatchFile: return ButtonIcon::kBatch;
    case SheetCommand::kReadConfiguration: return ButtonIcon::kConfigRead;
    case SheetCommand::kWriteConfiguration: return ButtonIcon::kConfigWrite;
    case SheetCommand::kChangeBackground: return ButtonIcon::kBrush;
    case SheetCommand::kHelp: return ButtonIcon::kHelp;
    case SheetCommand::kAbout: return ButtonIcon::kProgram;
    case SheetCommand::kDistributionTerms: return ButtonIcon::kIdCard;
    default: return ButtonIcon::kNone;
  }
}

// The pages' sizes in dialog units; the miscellaneous page is wider.
constexpr int kPageWidthUnits = 336;
constexpr int kMiscPageWidthUnits = 354;
constexpr int kPageHeightUnits = 114;

}  // namespace

// Every widget on a page shows its tooltip for the page's time.
void CSheetWindow::SetTooltip(QWidget* widget, const char* text, int page) {
  widget->setToolTip(Q(text));
  widget->setToolTipDuration(page == 2 ? kRecursionTooltipShownMs : kTooltipShownMs);
}

CBitmapWidget* CSheetWindow::MakePage(int page) {
  auto* widget = new CBitmapWidget(Q(model_->stored().background_bitmap));
  const CDialogUnits units(font());
  widget->setMinimumSize(
      units.Size(page == 1 ? kMiscPageWidthUnits : kPageWidthUnits, kPageHeightUnits));
  return widget;
}

CSheetWindow::CSheetWindow(CSheetModel* model, QWidget* parent)
    : QDialog(parent), model_(model) {
  InstallTooltipTiming();
  tabs_ = new QTabWidget(this);
  tabs_->addTab(MakeFolderFilesPage(), Q(kPageTitles[0]));
  tabs_->addTab(MakeMiscPage(), Q(kPageTitles[1]));
  tabs_->addTab(MakeRecursionPage(), Q(kPageTitles[2]));
  tabs_->addTab(MakeButtonPage(3), Q(kPageTitles[3]));
  tabs_->addTab(MakeButtonPage(4), Q(kPageTitles[4]));
  connect(tabs_, &QTabWidget::currentChanged, this, [this](int page) {
    if (!refreshing_) model_->controls.active_page = page;
  });

  build_ = new QPushButton(Q(kBuildButtonText), this);
  exit_ = new QPushButton(Q(kExitButtonText), this);
  build_->setDefault(true);
  exit_->setAutoDefault(false);
  connect(build_, &QPushButton::clicked, this, [this] { Run(SheetCommand::kBuild); });
  connect(exit_, &QPushButton::clicked, this, [this] { reject(); });

  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  buttons->addWidget(build_);
  buttons->addWidget(exit_);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(tabs_);
  layout->addLayout(buttons);
  setWindowIcon(ProgramIcon());
  setWindowFlag(Qt::WindowMinimizeButtonHint, true);
  setWindowFlag(Qt::WindowContextHelpButtonHint, false);

  qApp->installEventFilter(this);
  Refresh();
}

CSheetWindow::~CSheetWindow() { qApp->removeEventFilter(this); }

CIconButton* CSheetWindow::MakeButton(const char* label, const char* tooltip, int page) {
  auto* button = new CIconButton(Q(label));
  SetTooltip(button, tooltip, page);
  // Raised unless a page says otherwise; the page's picture shows through.
  button->SetFlat(false, false);
  button->DrawTransparent(false);
  return button;
}

QWidget* CSheetWindow::MakeControl(ControlId id) {
  const CControlText& text = TextOf(id);
  QWidget* widget = nullptr;
  switch (ControlInfo(id).kind) {
    case ControlKind::kEditBox: {
      auto* edit = new QLineEdit;
      const size_t limit = ControlInfo(id).text_limit;
      if (limit > 0) edit->setMaxLength(static_cast<int>(limit));
      connect(edit, &QLineEdit::textEdited, this, [this, id] { WriteControl(id); });
      widget = edit;
      break;
    }
    case ControlKind::kCheckBox: {
      auto* box = new QCheckBox(Q(text.label));
      connect(box, &QCheckBox::clicked, this, [this, id](bool on) {
        // The date and time boxes hold each other.
        if (id == ControlId::kIncludeTime || id == ControlId::kIncludeDate) {
          Act([this, id, on] {
            if (id == ControlId::kIncludeTime) model_->SetIncludeTime(on);
            else model_->SetIncludeDate(on);
          });
        } else {
          WriteControl(id);
        }
      });
      widget = box;
      break;
    }
    case ControlKind::kRadio: {
      auto* radio = new QRadioButton(Q(text.label));
      connect(radio, &QRadioButton::toggled, this, [this, id](bool on) {
        if (on) WriteControl(id);
      });
      widget = radio;
      break;
    }
    case ControlKind::kList: {
      auto* list = new QComboBox;
      for (int i = 1; i <= kColumnListEntries; ++i) list->addItem(QString::number(i));
      connect(list, &QComboBox::activated, this, [this, id] { WriteControl(id); });
      widget = list;
      break;
    }
  }
  SetTooltip(widget, text.tooltip, ControlInfo(id).page);
  widget->setObjectName(QString::number(static_cast<int>(id)));
  controls_[static_cast<int>(id)] = widget;
  return widget;
}

QWidget* CSheetWindow::MakeFolderFilesPage() {
  CBitmapWidget* page = MakePage(0);
  const CDialogUnits units(font());
  auto* grid = new QGridLayout(page);
  grid->setColumnMinimumWidth(0, units.X(92));
  int row = 0;
  for (const CControlText& text : kControlTexts) {
    if (ControlInfo(text.id).page != 0) continue;
    QWidget* left = nullptr;
    if (text.chooser == Chooser::kNone) {
      left = new QLabel(Q(text.label));
    } else {
      CIconButton* button = MakeButton(text.label, text.button_tooltip, 0);
      button->setMinimumHeight(units.Y(14));
      // The folder chooser is flat and shows the open folder while the
      // mouse is over it; the others are raised, without a picture.
      if (text.chooser == Chooser::kFolder) {
        button->SetFlat(true, false);
        button->SetIcon(ButtonIcon::kFolderOpen, ButtonIcon::kFolderClosed);
      }
      const Chooser chooser = text.chooser;
      connect(button, &QPushButton::clicked, this, [this, chooser] {
        Act([this, chooser] {
          switch (chooser) {
            case Chooser::kFolder: return model_->BrowseFolder();
            case Chooser::kOutputFile: return model_->ChooseOutputFile();
            case Chooser::kCustomFile: return model_->ChooseCustomFile();
            case Chooser::kSkipFolder: return model_->BrowseSkipFolder();
            case Chooser::kNone: return;
          }
        });
      });
      left = button;
    }
    QWidget* edit = MakeControl(text.id);
    if (auto* label = qobject_cast<QLabel*>(left)) label->setBuddy(edit);
    grid->addWidget(left, row, 0);
    grid->addWidget(edit, row, 1);
    ++row;
  }
  grid->setRowStretch(row, 1);
  return page;
}

QWidget* CSheetWindow::MakeMiscPage() {
  CBitmapWidget* page = MakePage(1);
  auto* grid = new QGridLayout(page);
  // Three columns of six; the last box goes to the foot of the first.
  int n = 0;
  for (const CControlText& text : kControlTexts) {
    if (ControlInfo(text.id).page != 1) continue;
    const int column = n < 18 ? n / 6 : 0;
    const int row = n < 18 ? n % 6 : 6;
    grid->addWidget(MakeControl(text.id), row, column);
    ++n;
  }
  grid->setRowStretch(7, 1);
  return page;
}

QWidget* CSheetWindow::MakeRecursionPage() {
  CBitmapWidget* page = MakePage(2);
  const CDialogUnits units(font());
  auto* group = new CTransparentGroupBox(Q(kRecursionGroupTitle));
  auto* inside = new QVBoxLayout(group);
  for (ControlId id : {ControlId::kRecursiveBuild, ControlId::kOnePagePerFolder,
                       ControlId::kAllInOneFile, ControlId::kFramedSite,
                       ControlId::kFolderAnchors}) {
    QWidget* control = MakeControl(id);
    // The radios sit further in than the two check boxes.
    if (ControlInfo(id).kind == ControlKind::kRadio) {
      auto* row = new QHBoxLayout;
      row->addSpacing(units.X(8));
      row->addWidget(control);
      inside->addLayout(row);
    } else {
      inside->addWidget(control);
    }
  }
  inside->addStretch(1);

  auto* right = new QGridLayout;
  int row = 0;
  for (ControlId id : {ControlId::kFileColumns, ControlId::kFolderColumns}) {
    auto* label = new QLabel(Q(TextOf(id).label));
    QWidget* list = MakeControl(id);
    label->setBuddy(list);
    right->addWidget(label, row, 0);
    right->addWidget(list, row, 1);
    ++row;
  }
  right->setRowStretch(row++, 1);
  for (size_t i = 0; i < kButtonCount; ++i) {
    const CButtonText& b = kButtonTexts[i];
    if (b.page != 2) continue;
    CIconButton* button = MakeButton(b.label, b.tooltip, 2);
    button->SetIcon(IconOf(b));
    button->setMinimumSize(units.Size(134, 20));
    const SheetCommand command = b.command;
    connect(button, &QPushButton::clicked, this, [this, command] { Run(command); });
    right->addWidget(button, row++, 0, 1, 2);
  }

  auto* layout = new QHBoxLayout(page);
  layout->addWidget(group, 1);
  layout->addLayout(right);
  return page;
}

QWidget* CSheetWindow::MakeButtonPage(int page_index) {
  CBitmapWidget* page = MakePage(page_index);
  const CDialogUnits units(font());
  auto* grid = new QGridLayout(page);
  // The input/output page: two columns of three; the help page: one column
  // in the middle.
  int n = 0;
  for (size_t i = 0; i < kButtonCount; ++i) {
    const CButtonText& b = kButtonTexts[i];
    if (b.page != page_index) continue;
    CIconButton* button = MakeButton(b.label, b.tooltip, page_index);
    button->SetIcon(IconOf(b));
    button->setMinimumSize(units.Size(page_index == 3 ? 156 : 164, 30));
    const SheetCommand command = b.command;
    connect(button, &QPushButton::clicked, this, [this, command] { Run(command); });
    if (page_index == 3) {
      grid->addWidget(button, n % 3, n / 3);
    } else {
      grid->addWidget(button, n, 1);
    }
    ++n;
  }
  if (page_index == 4) {
    grid->setColumnStretch(0, 1);
    grid->setColumnStretch(2, 1);
  }
  return page;
}

void CSheetWindow::Refresh() {
  refreshing_ = true;
  const CControlValues& values = model_->controls;
  for (int i = 0; i < kControlCount; ++i) {
    const ControlId id = static_cast<ControlId>(i);
    QWidget* widget = controls_[i];
    if (auto* edit = qobject_cast<QLineEdit*>(widget)) {
      const QString text = Q(values.Text(id));
      if (edit->text() != text) edit->setText(text);
    } else if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
      button->setChecked(values.Checked(id));
    } else if (auto* list = qobject_cast<QComboBox*>(widget)) {
      list->setCurrentIndex(values.Selection(id));
    }
  }
  tabs_->setCurrentIndex(values.active_page);
  setWindowTitle(Q(model_->Title()));
  refreshing_ = false;
}

void CSheetWindow::WriteControl(ControlId id) {
  if (refreshing_) return;
  CControlValues& values = model_->controls;
  QWidget* widget = control(id);
  if (auto* edit = qobject_cast<QLineEdit*>(widget)) {
    values.SetText(id, edit->text().toStdString());
  } else if (auto* radio = qobject_cast<QRadioButton*>(widget)) {
    if (radio->isChecked()) values.SetChecked(id, true);
  } else if (auto* box = qobject_cast<QCheckBox*>(widget)) {
    values.SetChecked(id, box->isChecked());
  } else if (auto* list = qobject_cast<QComboBox*>(widget)) {
    values.SetSelection(id, list->currentIndex());
  }
}

void CSheetWindow::WriteBack() {
  for (int i = 0; i < kControlCount; ++i) WriteControl(static_cast<ControlId>(i));
  model_->controls.active_page = tabs_->currentIndex();
}

void CSheetWindow::Act(const std::function<void()>& action) {
  WriteBack();
  action();
  Refresh();
}

void CSheetWindow::Run(SheetCommand command) {
  if (command == SheetCommand::kExit) {
    reject();
    return;
  }
  Act([this, command] { model_->Run(command); });
}

void CSheetWindow::done(int result) {
  // A second close (the close box while Exit runs) saves nothing more.
  if (!closed_) {
    closed_ = true;
    WriteBack();
    model_->Exit();
  }
  QDialog::done(result);
}

bool CSheetWindow::BelongsHere(QObject* watched) const {
  if (watched->isWidgetType()) return static_cast<QWidget*>(watched)->window() == this;
  if (watched->isWindowType()) return watched == windowHandle();
  return false;
}

bool CSheetWindow::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() != QEvent::KeyPress && event->type() != QEvent::ShortcutOverride) {
    return false;
  }
  auto* key = static_cast<QKeyEvent*>(event);
  const int number = FunctionKeyNumber(key->key());
  if (number == 0 || !BelongsHere(watched)) return false;
  const bool ctrl = (key->modifiers() & Qt::ControlModifier) != 0;
  if (FindSheetKey(number, ctrl) == nullptr) return false;
  // Keep shortcuts off the key; act on the press alone.
  if (event->type() == QEvent::ShortcutOverride) {
    event->accept();
    return true;
  }
  WriteBack();
  model_->OnFunctionKey(number, ctrl);
  Refresh();
  return true;
}

}  // namespace vellora
