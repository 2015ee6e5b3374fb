// The Qt settings window through its real widgets, headless: the tabs and
// buttons, every control bound to the model both ways, the function keys
// routed before any widget, and Esc saving the configuration.
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
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
#include "ui/qt/page_texts.h"
#include "ui/qt/qt_desktop.h"
#include "ui/qt/sheet_window.h"
#include "ui/qt/tiled_background.h"
#include "ui/qt/transparent_group_box.h"

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
      QString call;  // empty: the key goes on to the widget
    };
    const QString help = QString::fromStdString("shell: " + Program() + "vellora_help.html");
    const Case cases[] = {
        {Qt::Key_F5, Qt::NoModifier, QStringLiteral("sort")},
        {Qt::Key_F6, Qt::NoModifier, QStringLiteral("words")},
        {Qt::Key_F1, Qt::ControlModifier, QStringLiteral("about")},
        {Qt::Key_F1, Qt::NoModifier, help},
        {Qt::Key_F8, Qt::NoModifier, QStringLiteral("open")},
        {Qt::Key_F9, Qt::NoModifier, QStringLiteral("save")},
        {Qt::Key_F2, Qt::NoModifier, QString()},
        {Qt::Key_F10, Qt::NoModifier, QString()},
    };
    window_->tabs()->setCurrentIndex(0);
    QLineEdit* edit = Control<QLineEdit>(ControlId::kFileSpec);
    edit->setFocus();
    for (const Case& k : cases) {
      desktop_.log.clear();
      QTest::keyClick(edit, k.key, k.modifiers);
      const QStringList want = k.call.isEmpty() ? QStringList() : QStringList{k.call};
      QCOMPARE(desktop_.log, want);
    }
    // The platform's path: the key arrives at the window first.
    desktop_.log.clear();
    QTest::keyClick(window_->windowHandle(), Qt::Key_F5);
    QCOMPARE(desktop_.log, QStringList{QStringLiteral("sort")});
    // F3 takes the folder box as typed: an empty one stops the build.
    desktop_.log.clear();
    Control<QLineEdit>(ControlId::kPath)->clear();
    QTest::keyClick(edit, Qt::Key_F3);
    QCOMPARE(desktop_.log.size(), 1);
    QVERIFY(desktop_.log[0].startsWith(QStringLiteral("message: ")));
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
    run.cancel = [&] { cancelled = true; };
    QTimer::singleShot(100, [] {
      QWidget* modal = QApplication::activeModalWidget();
      QVERIFY(modal != nullptr);
      QCOMPARE(modal->windowTitle(), Q("创建 HTML 文件"));
      const auto labels = modal->findChildren<QLabel*>();
      QVERIFY(std::any_of(labels.begin(), labels.end(), [](QLabel* l) {
        return l->text().startsWith(Q("链接已处理: "));
      }));
      modal->findChild<QPushButton*>()->click();
    });
    desktop.RunBuild(run);
    QVERIFY(cancelled);
    QVERIFY(reports > 0);
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
    QVERIFY2(notice.startsWith(Q("1 文件 已创建|")), qPrintable(notice));
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
