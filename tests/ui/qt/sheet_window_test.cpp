// The Qt settings window through its real widgets, headless: the tabs and
// buttons, every control bound to the model both ways, the function keys
// routed before any widget, Esc saving the configuration and the page shown
// last; with the real desktop, the choosers, the batch and configuration
// files through Qt's file dialogs, the help page, and builds.
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QFile>
#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QWindow>
#include <QtTest>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <functional>
#include <thread>
#include <string>

#include "platform/forwarding_env.h"
#include "settings/main_sheet.h"
#include "sheet/sheet.h"
#include "ui/qt/dialog_units.h"
#include "ui/qt/icon_button.h"
#include "sheet/page_texts.h"
#include "ui/qt/progress_window.h"
#include "ui/qt/qt_desktop.h"
#include "ui/qt/sheet_window.h"
#include "ui/qt/tiled_background.h"
#include "ui/qt/transparent_group_box.h"
#include "qt_test_support.h"

namespace vellora {
namespace {

// The real system, with the program placed in a folder of the test.
class ProgramEnv : public CForwardingEnv {
 public:
  ProgramEnv(Env* inner, std::string exe) : CForwardingEnv(inner), exe_(std::move(exe)) {}
  std::string ExecutablePath() override { return exe_; }

 private:
  std::string exe_;
};

// Writes down what the sheet asks of the desktop and answers no to all.
class CLogDesktop : public CDesktop {
 public:
  void MessageBox(const std::string& text, const std::string& caption, MessageIcon) override {
    Log("message: " + caption + " | " + text);
  }
  bool OpenFileDialog(const CFileDialogRequest&, std::string*) override { return Log("open"); }
  bool SaveFileDialog(const CFileDialogRequest&, std::string*) override { return Log("save"); }
  bool BrowseForFolder(const CFolderBrowseRequest& r, std::string*) override {
    return Log("browse: " + r.title);
  }
  bool ShellOpen(const std::string& path) override {
    Log("shell: " + path);
    return true;
  }
  void Beep() override { Log("beep"); }
  DialogResult ShowSortOptions(CSortOptionsModel*) override { return Cancel("sort"); }
  DialogResult ShowDefaultWords(CDefaultWordsModel*) override { return Cancel("words"); }
  DialogResult ShowMoreOptions(CMoreOptionsModel*) override { return Cancel("more"); }
  DialogResult ShowRecursiveOptions(CRecursiveOptionsModel*) override {
    return Cancel("recursive");
  }
  DialogResult ShowFrameFiles(CFrameFilesModel*) override { return Cancel("frames"); }
  void ShowFileCreated(CFileCreatedModel*) override { Log("created"); }
  void ShowAbout() override { Log("about"); }
  void ShowDistributionTerms(const std::string&) override { Log("terms"); }
  void RunBuild(const CBuildRun& run) override {
    Log("build");
    run.work();
  }
  void ShowProgress(const CProgressLines&) override {}

  QStringList log;

 private:
  bool Log(const std::string& call) {
    log << QString::fromStdString(call);
    return false;
  }
  DialogResult Cancel(const std::string& call) {
    Log(call);
    return DialogResult::kCancel;
  }
};

QString Q(const char* text) { return QString::fromUtf8(text); }

// The window over the real desktop, opened as the program opens it.
struct CRealSheet {
  explicit CRealSheet(CMainSheet* stored) : model(stored, &desktop) {
    model.Open();
    window = std::make_unique<CSheetWindow>(&model);
    desktop.SetOwner(window.get());
    window->show();
  }
  QLineEdit* Edit(ControlId id) const { return qobject_cast<QLineEdit*>(window->control(id)); }
  bool Checked(ControlId id) const {
    return qobject_cast<QAbstractButton*>(window->control(id))->isChecked();
  }

  CQtDesktop desktop;
  CSheetModel model;
  std::unique_ptr<CSheetWindow> window;
};

// Answers the next file or folder dialog with `path`; `start` gets the
// folder the dialog opened in.
void ChooseInFileDialog(const QString& path, QString* start = nullptr) {
  WhenModal<QFileDialog>([path, start](QFileDialog* d) {
    if (start != nullptr) *start = d->directory().absolutePath();
    // The name box takes a selection only while it has no focus.
    if (auto* name = d->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))) name->clearFocus();
    d->selectFile(path);
    static_cast<QDialog*>(d)->accept();
  });
}

// The titles of the modal dialogs `act` opens, each closed once seen.
QStringList ModalsOpenedBy(const std::function<void()>& act) {
  QStringList titles;
  QTimer poll;
  QObject::connect(&poll, &QTimer::timeout, [&titles] {
    if (auto* d = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
      titles << d->windowTitle();
      d->reject();
    }
  });
  poll.start(10);
  act();
  return titles;
}

QByteArray ReadAll(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void WriteAll(const QString& path, const QByteArray& text) {
  QFile file(path);
  QVERIFY(file.open(QIODevice::WriteOnly));
  file.write(text);
}

}  // namespace

class SheetWindowTest : public QObject {
  Q_OBJECT

 private:
  QTemporaryDir dir_;
  std::unique_ptr<ProgramEnv> env_;
  std::unique_ptr<CMainSheet> stored_;
  CLogDesktop desktop_;
  std::unique_ptr<CSheetModel> model_;
  std::unique_ptr<CSheetWindow> window_;

  std::string Program() const { return dir_.path().toStdString() + "/"; }
  template <class T>
  T* Control(ControlId id) {
    return qobject_cast<T*>(window_->control(id));
  }

 private slots:
  void initTestCase() {
    QCoreApplication::setAttribute(Qt::AA_DontUseNativeDialogs);
    QVERIFY(dir_.isValid());
  }

  void init() {
    desktop_.log.clear();
    env_ = std::make_unique<ProgramEnv>(Env::Default(), Program() + "vellora");
    stored_ = std::make_unique<CMainSheet>(env_.get());
    model_ = std::make_unique<CSheetModel>(stored_.get(), &desktop_);
    model_->Open();
    window_ = std::make_unique<CSheetWindow>(model_.get());
    window_->show();
    QVERIFY(QTest::qWaitForWindowExposed(window_.get()));
  }
  void cleanup() {
    window_.reset();
    model_.reset();
    QFile::remove(dir_.filePath("vellora.ini"));
  }

  void fiveTabsInOrderAndTheButtons() {
    // Chinese text must draw as glyphs, not boxes, or the screenshots lie.
    QVERIFY(QFontMetrics(window_->font()).inFontUcs4(0x4E2D));
    QCOMPARE(window_->devicePixelRatio(), 1.0);
    QTabWidget* tabs = window_->tabs();
    const QStringList expected = {Q("文件夹,文件"), Q("杂项"), Q("递归,其他"), Q("输入/输出"),
                                  Q("帮助")};
    QStringList titles;
    for (int i = 0; i < tabs->count(); ++i) titles << tabs->tabText(i);
    QCOMPARE(titles, expected);
    QCOMPARE(window_->buildButton()->text(), Q("创建(&B) F3"));
    QCOMPARE(window_->exitButton()->text(), Q("退出(&X)"));
    QCOMPARE(window_->windowTitle(), Q("vellora v4.6"));
    // Every control sits on its own page.
    for (int i = 0; i < kControlCount; ++i) {
      const ControlId id = static_cast<ControlId>(i);
      QWidget* w = window_->control(id);
      QVERIFY2(w != nullptr, qPrintable(QString::number(i)));
      QWidget* page = w;
      while (page != nullptr && tabs->indexOf(page) < 0) page = page->parentWidget();
      QCOMPARE(tabs->indexOf(page), ControlInfo(id).page);
      QCOMPARE(w->toolTip(), Q(kControlTexts[i].tooltip));
    }
  }

  void modelValuesReachTheControlsAndBack() {
    // Every control shows the model's value after a refresh ...
    CControlValues& c = model_->controls;
    c.path = "/data/网页";
    c.include_summary = 1;
    c.recursion_mode = RecursionMode::kFramedSite;
    c.folder_columns = 20;
    window_->Refresh();
    QCOMPARE(Control<QLineEdit>(ControlId::kPath)->text(), Q("/data/网页"));
    QVERIFY(Control<QCheckBox>(ControlId::kIncludeSummary)->isChecked());
    QVERIFY(Control<QRadioButton>(ControlId::kFramedSite)->isChecked());
    QCOMPARE(Control<QComboBox>(ControlId::kFolderColumns)->currentIndex(), 19);

    // ... and what the user does reaches the model at once.
    window_->tabs()->setCurrentIndex(0);
    QLineEdit* title = Control<QLineEdit>(ControlId::kTitle);
    title->clear();
    QTest::keyClicks(title, "My pages");
    QCOMPARE(QString::fromStdString(c.title), QStringLiteral("My pages"));
    window_->tabs()->setCurrentIndex(1);
    const int32_t xml_before = c.xml_compliant;
    QTest::mouseClick(Control<QCheckBox>(ControlId::kXmlCompliant), Qt::LeftButton);
    QCOMPARE(c.xml_compliant, xml_before != 0 ? 0 : 1);
    window_->tabs()->setCurrentIndex(2);
    Control<QRadioButton>(ControlId::kOnePagePerFolder)->click();
    QCOMPARE(c.recursion_mode, RecursionMode::kOnePagePerFolder);
    QCOMPARE(c.active_page, 2);

    // The time box ticks the date box, unticking it leaves the date alone;
    // clearing the date clears the time.
    window_->tabs()->setCurrentIndex(1);
    QCheckBox* date = Control<QCheckBox>(ControlId::kIncludeDate);
    QCheckBox* time = Control<QCheckBox>(ControlId::kIncludeTime);
    c.include_date = 0;
    c.include_time = 0;
    window_->Refresh();
    struct Click {
      QCheckBox* box;
      bool date, time;  // afterwards, on screen and in the model
    };
    const Click clicks[] = {{time, true, true}, {time, true, false}, {time, true, true},
                            {date, false, false}};
    for (const Click& k : clicks) {
      k.box->click();
      QCOMPARE(date->isChecked(), k.date);
      QCOMPARE(time->isChecked(), k.time);
      QCOMPARE(c.include_date, k.date ? 1 : 0);
      QCOMPARE(c.include_time, k.time ? 1 : 0);
    }
  }

  void functionKeysRunTheirCommandsBeforeTheWidget() {
    struct Case {
      Qt::Key key;
      Qt::KeyboardModifiers modifiers;
      QString call;  // how the desktop's one call starts; empty: the key goes on to the widget
    };
    const QString help = QString::fromStdString("shell: " + Program() + "vellora_help.html");
    const Case cases[] = {
        {Qt::Key_F5, Qt::NoModifier, QStringLiteral("sort")},
        {Qt::Key_F6, Qt::NoModifier, QStringLiteral("words")},
        {Qt::Key_F1, Qt::ControlModifier, QStringLiteral("about")},
        {Qt::Key_F1, Qt::NoModifier, help},
        {Qt::Key_F8, Qt::NoModifier, QStringLiteral("open")},
        {Qt::Key_F9, Qt::NoModifier, QStringLiteral("save")},
        // An empty folder box stops the build and the batch file; the two
        // files to open are not there.
        {Qt::Key_F3, Qt::NoModifier, Q("message: 取消创建 HTML | ")},
        {Qt::Key_F7, Qt::NoModifier, Q("message: 错误 | ")},
        {Qt::Key_F11, Qt::NoModifier, Q("message: 自定义 HTML 文件不存在 | ")},
        {Qt::Key_F12, Qt::NoModifier, Q("message: 输出文件不存在 | ")},
        {Qt::Key_F2, Qt::NoModifier, QString()},
        {Qt::Key_F4, Qt::NoModifier, QString()},
        {Qt::Key_F10, Qt::NoModifier, QString()},
    };
    window_->tabs()->setCurrentIndex(0);
    Control<QLineEdit>(ControlId::kPath)->clear();
    Control<QLineEdit>(ControlId::kCustomHtmlFilename)->setText(QStringLiteral("no_such.txt"));
    Control<QLineEdit>(ControlId::kOutputFilename)->setText(QStringLiteral("no_such.html"));
    QLineEdit* edit = Control<QLineEdit>(ControlId::kFileSpec);
    edit->setFocus();
    // Counts the function keys that reach the box itself.
    struct Counter : QObject {
      int presses = 0;
      bool eventFilter(QObject*, QEvent* e) override {
        if (e->type() == QEvent::KeyPress) {
          const int key = static_cast<QKeyEvent*>(e)->key();
          presses += key >= Qt::Key_F1 && key <= Qt::Key_F12 ? 1 : 0;
        }
        return false;
      }
    } counter;
    edit->installEventFilter(&counter);
    for (const Case& k : cases) {
      desktop_.log.clear();
      counter.presses = 0;
      QTest::keyClick(edit, k.key, k.modifiers);
      const QString what = QString::number(k.key - Qt::Key_F1 + 1) + QLatin1Char(' ') +
                           desktop_.log.join(QLatin1Char(','));
      QVERIFY2(k.call.isEmpty() ? desktop_.log.isEmpty()
                                : desktop_.log.size() == 1 && desktop_.log[0].startsWith(k.call),
               qPrintable(what));
      QVERIFY2(counter.presses == (k.call.isEmpty() ? 1 : 0), qPrintable(what));
    }
    edit->removeEventFilter(&counter);
    // The platform's path: the key arrives at the window first.
    desktop_.log.clear();
    QTest::keyClick(window_->windowHandle(), Qt::Key_F5);
    QCOMPARE(desktop_.log, QStringList{QStringLiteral("sort")});
  }

  void escSavesTheControlsAndThePage() {
    window_->tabs()->setCurrentIndex(3);
    Control<QLineEdit>(ControlId::kTitle)->setText(QStringLiteral("Saved title"));
    QTest::keyClick(window_->tabs(), Qt::Key_Escape);
    QVERIFY(!window_->isVisible());
    QFile ini(dir_.filePath("vellora.ini"));
    QVERIFY(ini.open(QIODevice::ReadOnly));
    const QByteArray text = ini.readAll();
    QVERIFY2(text.contains("title=Saved title"), text.constData());
    QVERIFY2(text.contains("active_page=3"), text.constData());
    // The next start opens on that page.
    CMainSheet next(env_.get());
    CSheetModel model(&next, &desktop_);
    model.Open();
    CSheetWindow again(&model);
    QCOMPARE(again.tabs()->currentIndex(), 3);
  }

  void closeBoxSavesOnce() {
    Control<QLineEdit>(ControlId::kTitle)->setText(QStringLiteral("Closed"));
    window_->windowHandle()->close();
    QVERIFY(!window_->isVisible());
    QFile ini(dir_.filePath("vellora.ini"));
    QVERIFY(ini.open(QIODevice::ReadOnly));
    QVERIFY(ini.readAll().contains("title=Closed"));
    // A second way out after the first writes nothing more.
    ini.close();
    QFile::remove(ini.fileName());
    window_->reject();
    QVERIFY(!QFile::exists(ini.fileName()));
  }

  void firstPageChoosersThroughQtsDialogs() {
    CRealSheet sheet(stored_.get());
    const QString data = dir_.filePath(QStringLiteral("pick"));
    QVERIFY(QDir(data).mkpath(QStringLiteral(".")));
    for (const QString& name : {dir_.filePath(QStringLiteral("ui_out.html")),
                                data + QStringLiteral("/page.html")}) {
      WriteAll(name, "<html></html>");
    }
    sheet.window->tabs()->setCurrentIndex(0);
    QWidget* page = sheet.window->tabs()->widget(0);
    // The output chooser starts in the folder box's folder, or the
    // program's when the box is empty; a file chosen there shows bare.
    struct Case {
      QString folder_box, start, chosen, shown;
    };
    const Case cases[] = {
        {QString(), dir_.path(), dir_.filePath(QStringLiteral("ui_out.html")),
         QStringLiteral("ui_out.html")},
        {data, data, data + QStringLiteral("/page.html"), QStringLiteral("page.html")},
        {data, data, dir_.filePath(QStringLiteral("ui_out.html")),
         dir_.filePath(QStringLiteral("ui_out.html"))},
    };
    for (const Case& k : cases) {
      sheet.Edit(ControlId::kPath)->setText(k.folder_box);
      sheet.Edit(ControlId::kOutputFilename)->clear();
      QString start;
      ChooseInFileDialog(k.chosen, &start);
      ByText<QPushButton>(page, Q("输出文件(&O)"))->click();
      QCOMPARE(start, k.start);
      QCOMPARE(sheet.Edit(ControlId::kOutputFilename)->text(), k.shown);
    }
    // Two skip folders chosen one after the other: one semicolon between.
    sheet.Edit(ControlId::kSkipFolders)->clear();
    for (const char* name : {"skip_a", "skip_b"}) {
      QVERIFY(QDir(dir_.path()).mkpath(QString::fromUtf8(name)));
      ChooseInFileDialog(dir_.filePath(QString::fromUtf8(name)));
      ByText<QPushButton>(page, Q("跳过这些文件夹(&P):"))->click();
    }
    QCOMPARE(sheet.Edit(ControlId::kSkipFolders)->text(),
             dir_.filePath(QStringLiteral("skip_a")) + QLatin1Char(';') +
                 dir_.filePath(QStringLiteral("skip_b")));
  }

  void batchAndConfigurationFilesThroughQtsDialogs() {
    // A stored framed site, and a file whose all-in-one flag wins over the
    // per-folder one.
    WriteAll(dir_.filePath("vellora.ini"),
             "[VELLORA]\nrecursive_build=TRUE\nbuild_framed_site=TRUE\n");
    WriteAll(dir_.filePath("ui_single.ini"),
             "[VELLORA]\ntitle=single\nrecursive_build_single_file=TRUE\n"
             "multi_recurse_link=TRUE\nbuild_framed_site=FALSE\n");
    CRealSheet sheet(stored_.get());
    QVERIFY(sheet.Checked(ControlId::kFramedSite));
    sheet.Edit(ControlId::kPath)->setText(dir_.path());
    sheet.Edit(ControlId::kTitle)->setText(QStringLiteral("ui title"));
    const QString config = dir_.filePath(QStringLiteral("ui_buildsh.ini"));
    struct Case {
      Qt::Key key;
      QString chosen, title;
    };
    const Case cases[] = {
        {Qt::Key_F7, dir_.filePath(QStringLiteral("ui_build.sh")), Q("vellora v4.6 - ") + config},
        {Qt::Key_F9, dir_.filePath(QStringLiteral("ui_saved.ini")),
         Q("vellora v4.6 - ui_saved.ini")},
        {Qt::Key_F8, dir_.filePath(QStringLiteral("ui_single.ini")),
         Q("vellora v4.6 - ui_single.ini")},
    };
    for (const Case& k : cases) {
      ChooseInFileDialog(k.chosen);
      QTest::keyClick(sheet.Edit(ControlId::kFileSpec), k.key);
      QCOMPARE(sheet.window->windowTitle(), k.title);
    }
    const QByteArray batch = ReadAll(dir_.filePath(QStringLiteral("ui_build.sh")));
    QVERIFY2(batch.startsWith("#!/bin/sh\n") && batch.contains("'" + config.toUtf8() + "'"),
             batch.constData());
    QVERIFY(ReadAll(config).contains("title=ui title"));
    QVERIFY(ReadAll(dir_.filePath(QStringLiteral("ui_saved.ini"))).contains("title=ui title"));
    QCOMPARE(sheet.Edit(ControlId::kTitle)->text(), QStringLiteral("single"));
    QVERIFY(sheet.Checked(ControlId::kAllInOneFile));
    QVERIFY(!sheet.Checked(ControlId::kOnePagePerFolder) && !sheet.Checked(ControlId::kFramedSite));
  }

  void helpPageAndF1ThroughTheDesktop() {
    CRealSheet sheet(stored_.get());
    UrlSink files(QStringLiteral("file"));
    sheet.window->tabs()->setCurrentIndex(4);
    QWidget* page = sheet.window->tabs()->widget(4);
    const QList<QUrl> help = {QUrl::fromLocalFile(dir_.filePath(QStringLiteral("vellora_help.html")))};
    struct Case {
      const char* button;  // null: F1 pressed on the page
      Qt::KeyboardModifiers modifiers;
      const char* opens;  // the dialog's title; empty: the help document
    };
    const Case cases[] = {
        {"关于 vellora(&A) (Ctrl+F1)", Qt::NoModifier, "关于 vellora"},
        {"授权信息(&L)", Qt::NoModifier, "vellora 授权信息"},
        {"帮助内容(&H) (F1)", Qt::NoModifier, ""},
        {nullptr, Qt::ControlModifier, "关于 vellora"},
        {nullptr, Qt::NoModifier, ""},
    };
    for (const Case& k : cases) {
      files.opened.clear();
      const QStringList opened = ModalsOpenedBy([&] {
        if (k.button != nullptr) ByText<QPushButton>(page, Q(k.button))->click();
        else QTest::keyClick(page, Qt::Key_F1, k.modifiers);
      });
      const bool document = *k.opens == '\0';
      QCOMPARE(opened, document ? QStringList() : QStringList{Q(k.opens)});
      QCOMPARE(files.opened, document ? help : QList<QUrl>());
    }
  }

  void moreOptionsButtonOpensItsDialog() {
    CRealSheet sheet(stored_.get());
    sheet.window->tabs()->setCurrentIndex(2);
    QWidget* page = sheet.window->tabs()->widget(2);
    const QStringList opened = ModalsOpenedBy(
        [&] { ByText<QPushButton>(page, Q("更多选项(&M)..."))->click(); });
    QCOMPARE(opened, QStringList{Q("更多选项")});
  }

  void filtersInQtForm() {
    struct Case {
      const char* filter;
      QStringList want;
    };
    const Case cases[] = {
        {"超文本文件     |*.html;*.shtml;*.htm|所有文件 |*.*|",
         {Q("超文本文件 (*.html *.shtml *.htm)"), Q("所有文件 (*.*)")}},
        {".ini 文件 |*.ini", {Q(".ini 文件 (*.ini)")}},
        {"", {}},
    };
    for (const Case& k : cases) QCOMPARE(QtNameFilters(k.filter), k.want);
  }

  void buildRunsOnAWorkerAndCancelStopsIt() {
    CQtDesktop desktop(window_.get());
    std::atomic<bool> cancelled{false};
    std::atomic<int> cancels{0};
    std::atomic<int> reports{0};
    CBuildRun run;
    run.work = [&] {
      // Reports until cancelled (or 10 s pass); a build on the window's
      // thread would never see the click.
      while (!cancelled && reports < 5000) {
        CProgressLines lines;
        lines.file_line = "链接已处理: " + std::to_string(++reports);
        desktop.ShowProgress(lines);
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
      }
    };
    run.cancel = [&] {
      ++cancels;
      cancelled = true;
    };
    QString file_line;
    bool sheet_blocked = false;
    QTimer::singleShot(100, [&] {
      auto* progress = qobject_cast<CProgressWindow*>(QApplication::activeModalWidget());
      QVERIFY(progress != nullptr);
      QCOMPARE(progress->windowTitle(), Q("创建 HTML 文件"));
      QVERIFY(progress->fileLine()->isReadOnly() && progress->folderLine()->isReadOnly());
      file_line = progress->fileLine()->text();
      sheet_blocked = QApplication::activeModalWidget() != window_.get() &&
                      progress->windowModality() == Qt::ApplicationModal;
      // Cancel, then Esc and the close box: the build is asked to stop once.
      progress->cancelButton()->click();
      QTest::keyClick(progress, Qt::Key_Escape);
      progress->close();
    });
    desktop.RunBuild(run);
    QVERIFY(cancelled);
    QCOMPARE(cancels.load(), 1);
    QVERIFY2(file_line.startsWith(Q("链接已处理: ")), qPrintable(file_line));
    QVERIFY(sheet_blocked);
    QCOMPARE(QApplication::activeModalWidget(), nullptr);
  }

  void buildThroughTheSheetShowsTheFileCreatedDialog() {
    // The real desktop this time: progress window, worker, notice.
    const QString start = QDir::currentPath();
    CQtDesktop desktop;
    CSheetModel model(stored_.get(), &desktop);
    model.Open();
    CSheetWindow window(&model);
    desktop.SetOwner(&window);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QVERIFY(QDir(dir_.path()).mkpath(QStringLiteral("data")));
    QFile file(dir_.filePath(QStringLiteral("data/a.txt")));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.close();
    window.tabs()->setCurrentIndex(0);
    qobject_cast<QLineEdit*>(window.control(ControlId::kPath))
        ->setText(dir_.filePath(QStringLiteral("data")));
    qobject_cast<QLineEdit*>(window.control(ControlId::kOutputFilename))
        ->setText(QStringLiteral("index.html"));

    QString notice;
    std::function<void(int)> answer = [&](int tries) {
      QWidget* modal = QApplication::activeModalWidget();
      if (modal != nullptr && modal->windowTitle() == Q("HTML 文件创建成功")) {
        const auto labels = modal->findChildren<QLabel*>();
        for (QLabel* l : labels) notice += l->text() + QLatin1Char('|');
        qobject_cast<QDialog*>(modal)->accept();
      } else if (tries > 0) {
        QTimer::singleShot(20, [&, tries] { answer(tries - 1); });
      }
    };
    answer(250);
    QTest::keyClick(window.control(ControlId::kTitle), Qt::Key_F3);
    const QString page = QDir::toNativeSeparators(dir_.filePath(QStringLiteral("data/index.html")));
    QCOMPARE(notice, Q("1 文件 已创建|") + page + QLatin1Char('|'));
    QVERIFY(QFile::exists(dir_.filePath(QStringLiteral("data/index.html"))));
    // The build leaves the program's folder current.
    QDir::setCurrent(start);
  }

  void pagesShowTheMarbleAndTimeTheirTooltips() {
    // No picture file where the sheet looks: every page tiles the built-in one.
    stored_->background_bitmap = dir_.filePath("missing.bmp").toStdString();
    CSheetWindow window(model_.get());
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    const QImage marble = CTiledBackground::BuiltIn().toImage();
    const CDialogUnits units(window.font());
    for (int i = 0; i < window.tabs()->count(); ++i) {
      window.tabs()->setCurrentIndex(i);
      QWidget* page = window.tabs()->widget(i);
      QVERIFY(page->width() >= units.X(i == 1 ? 354 : 336));
      QVERIFY(page->height() >= units.Y(114));
      // The left edge of the page holds no control.
      const QImage image = page->grab(QRect(0, 0, 4, page->height())).toImage();
      for (int y = 0; y < image.height(); ++y) {
        QCOMPARE(image.pixel(2, y), marble.pixel(2, y % 128));
      }
      // Every tooltip of the page shows for the page's time, after 500 ms.
      const int shown = i == 2 ? 10000 : 4000;
      for (QWidget* w : page->findChildren<QWidget*>()) {
        if (w->toolTip().isEmpty()) continue;
        QCOMPARE(w->toolTipDuration(), shown);
        QCOMPARE(w->style()->styleHint(QStyle::SH_ToolTip_WakeUpDelay, nullptr, w), 500);
      }
    }
    // The folder chooser is the flat button with the folder pictures; the
    // recursion page's group box is the program's.
    QCOMPARE(window.tabs()->widget(0)->findChildren<CIconButton*>().size(), 4);
    QVERIFY(window.tabs()->widget(0)->findChildren<CIconButton*>().first()->IsFlat());
    QCOMPARE(window.tabs()->widget(2)->findChildren<CTransparentGroupBox*>().size(), 1);
  }

  void screenshotsOfEveryPage() {
    QDir().mkpath(QStringLiteral(VELLORA_SHOT_DIR));
    for (int page = 0; page < window_->tabs()->count(); ++page) {
      window_->tabs()->setCurrentIndex(page);
      const QString name =
          QStringLiteral(VELLORA_SHOT_DIR "/qt_sheet_page%1.png").arg(page + 1);
      QVERIFY(window_->grab().save(name));
    }
  }
};

}  // namespace vellora

int main(int argc, char** argv) {
  // Qt wants a private runtime folder before the application starts; the
  // test makes its own rather than warn or share one.
  QTemporaryDir runtime;
  QFile::setPermissions(runtime.path(),
                        QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
  qputenv("XDG_RUNTIME_DIR", runtime.path().toUtf8());
  QApplication app(argc, argv);
  vellora::SheetWindowTest test;
  return QTest::qExec(&test, argc, argv);
}
#include "sheet_window_test.moc"
