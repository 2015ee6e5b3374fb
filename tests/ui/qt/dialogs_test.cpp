// The sheet's modal dialogs and the progress bar through their real widgets,
// headless: what each dialog shows of its model, what reaches the model on
// OK and on Cancel, and the bar's colours read back from its own rendering.
#include <QAbstractButton>
#include <QCheckBox>
#include <QDir>
#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QtTest>

#include <functional>
#include <string>
#include <vector>

#include "settings/build_settings.h"
#include "sheet/option_dialogs.h"
#include "sheet/progress_bands.h"
#include "ui/qt/progress_bar.h"
#include "ui/qt/progress_window.h"
#include "ui/qt/qt_desktop.h"
#include "ui/qt/qt_dialogs.h"
#include "ui/qt/static_link.h"
#include "qt_test_support.h"

namespace vellora {
namespace {

QString Q(const char* text) { return QString::fromUtf8(text); }
QString Q(const std::string& text) { return QString::fromStdString(text); }

QStringList CheckedRadios(QWidget* root) {
  QStringList checked;
  for (QRadioButton* r : root->findChildren<QRadioButton*>()) {
    if (r->isChecked()) checked << r->text();
  }
  return checked;
}

void Shot(QWidget* w, const char* name) {
  QDir().mkpath(QStringLiteral(VELLORA_SHOT_DIR));
  w->grab().save(QStringLiteral(VELLORA_SHOT_DIR "/qt_dialog_%1.png").arg(Q(name)));
}

// The real desktop, with the file chooser answering from a list and the
// shell's "open" written down.
class CScriptedDesktop : public CQtDesktop {
 public:
  bool OpenFileDialog(const CFileDialogRequest&, std::string* chosen) override {
    if (choices.empty()) return false;
    *chosen = choices.front();
    choices.erase(choices.begin());
    return true;
  }
  bool ShellOpen(const std::string& path) override {
    opened.push_back(path);
    return true;
  }
  std::vector<std::string> choices;
  std::vector<std::string> opened;
};

}  // namespace

class DialogsTest : public QObject {
  Q_OBJECT

 private:
  CScriptedDesktop desktop_;

 private slots:
  void initTestCase() {
    QVERIFY(QFontMetrics(QApplication::font()).inFontUcs4(0x4E2D));
  }

  void sortOptionsShowTheModelAndStoreWhatIsChecked() {
    struct Case {
      int32_t key, order;
      QStringList shown;  // the radios checked when the dialog opens
      const char* click;  // a radio to click before OK, or null
      const char* code;   // sort_type afterwards
    };
    const Case cases[] = {
        {CBuildSettings::kSortByDate, 1, {Q("日期(&D)"), Q("降序(&E)")}, nullptr, "D-"},
        {CBuildSettings::kSortByType, 0, {Q("类型(&X)"), Q("升序(&A)")}, nullptr, "E+"},
        // An unknown order checks no order radio, and OK reads "unsorted".
        {CBuildSettings::kSortByName, 7, {Q("名称(&N)")}, nullptr, "N="},
        {CBuildSettings::kSortByDate, 1, {Q("日期(&D)"), Q("降序(&E)")}, "大小(&S)", "S-"},
    };
    for (const Case& k : cases) {
      CSortOptionsModel model(k.key, k.order, 1, 0);
      QStringList shown;
      WhenModal<CSortOptionsDialog>([&](CSortOptionsDialog* d) {
        shown = CheckedRadios(d);
        if (k.click != nullptr) ByText<QRadioButton>(d, Q(k.click))->click();
        Shot(d, "sort_options");
        ByText<QPushButton>(d, Q("确定(&K)"))->click();
      });
      QCOMPARE(desktop_.ShowSortOptions(&model), DialogResult::kOk);
      QCOMPARE(shown, k.shown);
      CBuildSettings settings;
      model.Apply(&settings);
      QCOMPARE(Q(SortTypeCode(settings.sort_key, settings.sort_order)), Q(k.code));
      QCOMPARE(settings.sort_folders_first, 1);
    }
  }

  void defaultWordsChangeOnlyOnOk() {
    CDefaultWords words;
    words.folder_word = "Folders";
    words.parent_word = "{parent folder}";
    for (bool ok : {false, true}) {
      CDefaultWordsModel model(words);
      WhenModal<CDefaultWordsDialog>([ok](CDefaultWordsDialog* d) {
        ByText<QPushButton>(d, Q("还原为默认(&R)"))->click();
        Shot(d, "default_words");
        ByText<QPushButton>(d, ok ? Q("确定") : Q("取消"))->click();
      });
      const DialogResult result = desktop_.ShowDefaultWords(&model);
      QCOMPARE(result, ok ? DialogResult::kOk : DialogResult::kCancel);
      CDefaultWords after = words;
      if (result == DialogResult::kOk) model.Apply(&after, nullptr);
      QCOMPARE(Q(after.parent_word), ok ? Q("..") : Q("{parent folder}"));
      QCOMPARE(Q(after.folder_word), ok ? Q("<b>文件夹</b>") : Q("Folders"));
    }
  }

  void moreOptionsEnableChecksumsWithTheManifestAndStoreOnlyOnOk() {
    using M = CMoreOptionsModel;
    CBuildSettings settings;
    settings.readme_names = "README.txt";
    for (bool ok : {false, true}) {
      M model(settings);
      bool disabled_first = false, enabled_after = false;
      WhenModal<CMoreOptionsDialog>([&](CMoreOptionsDialog* d) {
        auto* checksums = ByText<QCheckBox>(d, Q(M::kFlagLabels[M::kManifestChecksums]));
        disabled_first = !checksums->isEnabled();
        ByText<QCheckBox>(d, Q(M::kFlagLabels[M::kManifest]))->click();
        enabled_after = checksums->isEnabled();
        checksums->click();
        ByText<QCheckBox>(d, Q(M::kFlagLabels[M::kNaturalSort]))->click();
        d->findChildren<QLineEdit*>().value(1)->setText(QStringLiteral("zh-CN"));
        Shot(d, "more_options");
        ByText<QPushButton>(d, ok ? Q("确定(&K)") : Q("取消(&C)"))->click();
      });
      const DialogResult result = desktop_.ShowMoreOptions(&model);
      QCOMPARE(result, ok ? DialogResult::kOk : DialogResult::kCancel);
      QVERIFY(disabled_first && enabled_after);
      CBuildSettings after;
      after.readme_names = settings.readme_names;
      if (result == DialogResult::kOk) model.Apply(&after, nullptr);
      QCOMPARE(Q(after.manifest), ok ? Q("json") : Q(""));
      QCOMPARE(after.manifest_checksums + after.natural_sort, ok ? 2 : 0);
      QCOMPARE(Q(after.html_lang), ok ? Q("zh-CN") : Q(""));
      QCOMPARE(Q(after.readme_names), Q("README.txt"));
    }
  }

  void recursiveOptionsSeedAndStore() {
    CBuildSettings settings;
    settings.multi_recurse_title = 2;
    settings.multi_recurse_skip_root = 1;
    CRecursiveOptionsModel model(settings);
    QStringList shown;
    WhenModal<CRecursiveOptionsDialog>([&](CRecursiveOptionsDialog* d) {
      shown = CheckedRadios(d);
      ByText<QRadioButton>(d, Q("给所有页面使用默认标题(&T)"))->click();
      Shot(d, "recursive_options");
      ByText<QPushButton>(d, Q("创建(&B)"))->click();
    });
    QCOMPARE(desktop_.ShowRecursiveOptions(&model), DialogResult::kOk);
    QCOMPARE(shown, QStringList{Q("使用文件夹名称作为页面标题(&U)")});
    model.Apply(&settings);
    QCOMPARE(settings.multi_recurse_title, 1);
    QCOMPARE(settings.multi_recurse_skip_root, 1);
  }

  void frameFilesKeepEditsOnCancelAndNameFilesOfTheProgramFolderBare() {
    const std::string program = "/opt/vellora/";
    desktop_.choices = {program + "left_nav.txt", "/home/me/right.txt"};
    CFrameFilesModel model(program, "frameset.txt", "left.txt", "right.txt", &desktop_);
    QStringList boxes;
    WhenModal<CFrameFilesDialog>([&](CFrameFilesDialog* d) {
      ByText<QPushButton>(d, Q("左框架(&L):"))->click();
      ByText<QPushButton>(d, Q("右框架(&R):"))->click();
      QLineEdit* frameset = ByText<QLineEdit>(d, QStringLiteral("frameset.txt"));
      frameset->setText(QStringLiteral("mine.txt"));
      for (QLineEdit* e : d->findChildren<QLineEdit*>()) boxes << e->text();
      Shot(d, "frame_files");
      ByText<QPushButton>(d, Q("取消创建(&A)"))->click();
    });
    QCOMPARE(desktop_.ShowFrameFiles(&model), DialogResult::kCancel);
    const QStringList want = {QStringLiteral("mine.txt"), QStringLiteral("left_nav.txt"),
                              QStringLiteral("/home/me/right.txt")};
    QCOMPARE(boxes, want);
    QCOMPARE(Q(model.boxes[CFrameFilesModel::kFrameset]), want[0]);
    QCOMPARE(Q(model.boxes[CFrameFilesModel::kLeft]), want[1]);
    QCOMPARE(Q(model.boxes[CFrameFilesModel::kRight]), want[2]);
  }

  void fileCreatedShowsTheCountAndThePathFittingItsLine() {
    const std::string deep = "/home/user/" + std::string(30, 'd') + "/" +
                             std::string(30, 'e') + "/" + std::string(30, 'f') + "/index.html";
    struct Case {
      std::string path;
      int files;
      bool per_folder;
      QString count;
      QString line;  // empty: shortened, checked by its width and ends
    };
    const Case cases[] = {
        {"/srv/site/index.html", 1, false, Q("1 文件 已创建"), QStringLiteral("/srv/site/index.html")},
        {"/srv/site/index.html", 3, true, Q("3 文件s 已创建"), Q("根文件:  /srv/site/index.html")},
        {deep, 12, false, Q("12 文件s 已创建"), QString()},
    };
    for (const Case& k : cases) {
      desktop_.opened.clear();
      CFileCreatedModel model(k.path, k.files, k.per_folder, &desktop_);
      QString count, line;
      int width = 0;
      bool stayed_open = false;
      WhenModal<CFileCreatedDialog>([&](CFileCreatedDialog* d) {
        count = d->countLine()->text();
        line = d->pathLine()->text();
        width = d->pathLine()->fontMetrics().horizontalAdvance(line);
        ByText<QPushButton>(d, Q("打开文件(&L)"))->click();
        stayed_open = d->isVisible();
        Shot(d, "file_created");
        ByText<QPushButton>(d, Q("确定(&O)"))->click();
      });
      desktop_.ShowFileCreated(&model);
      QCOMPARE(count, k.count);
      if (!k.line.isEmpty()) {
        QCOMPARE(line, k.line);
      } else {
        QVERIFY2(line.startsWith(QStringLiteral("/home/")) && line.contains(QStringLiteral("...")) &&
                     line.endsWith(QStringLiteral("/index.html")),
                 qPrintable(line));
      }
      QVERIFY(width <= CFileCreatedModel::kPathWidth);
      // "打开文件" opens the whole path, not the shortened one.
      QCOMPARE(desktop_.opened, std::vector<std::string>{k.path});
      QVERIFY(stayed_open);
    }
  }

  void aboutAndTermsShowTheirTexts() {
    QString mail, web, build;
    WhenModal<CAboutDialog>([&](CAboutDialog* d) {
      mail = d->mailLink()->Target();
      web = d->webLink()->Target();
      if (ByText<QLabel>(d, Q(kAboutBuildLine)) != nullptr) build = Q(kAboutBuildLine);
      Shot(d, "about");
      d->accept();
    });
    desktop_.ShowAbout();
    QVERIFY2(mail.startsWith(QStringLiteral("mailto:")) &&
                 mail.endsWith(QStringLiteral("?subject=vellora%20feedback")),
             qPrintable(mail));
    QVERIFY(web.startsWith(QStringLiteral("https://")));
    QCOMPARE(build, Q("编译时间: 2005-01-26"));

    int bullets = 0;
    QString caption;
    WhenModal<CDistributionTermsDialog>([&](CDistributionTermsDialog* d) {
      caption = d->windowTitle();
      for (QLabel* l : d->findChildren<QLabel*>()) bullets += l->pixmap().isNull() ? 0 : 1;
      Shot(d, "distribution_terms");
      ByText<QPushButton>(d, Q("确定(&K)"))->click();
    });
    desktop_.ShowDistributionTerms("");
    QCOMPARE(caption, Q("vellora 授权信息"));
    QCOMPARE(bullets, 3);
  }

  void progressBarPaintsTheCoreBands() {
    CProgressBar bar;
    bar.setFixedSize(322, 40);
    bar.SetRange(0, 100);
    bar.show();
    QVERIFY(QTest::qWaitForWindowExposed(&bar));
    const QRect inside = bar.contentsRect();
    const QColor face = bar.palette().color(QPalette::Button);
    for (int position : {0, 1, 37, 50, 100, 101}) {
      bar.SetPosition(position);
      const QImage image = bar.grab().toImage();
      const int filled = ProgressFilledLength(0, 100, position, inside.width());
      std::vector<QColor> want(inside.width(), face);
      for (const BarBand& b : ProgressBands(ProgressBarStops(), filled, BarDisplay())) {
        for (int x = b.start; x < b.end; ++x) want[x] = QColor(b.colour.red, b.colour.green, b.colour.blue);
      }
      // Two rows above the centred text.
      for (int y : {inside.top(), inside.top() + 3}) {
        int wrong = 0;
        for (int x = 0; x < inside.width(); ++x) {
          wrong += image.pixelColor(inside.left() + x, y) != want[x] ? 1 : 0;
        }
        QVERIFY2(wrong == 0, qPrintable(QStringLiteral("position %1: %2 pixels").arg(position).arg(wrong)));
      }
    }
    // The percentage over the fill's edge: highlighted text on the fill,
    // button text on the face.
    bar.SetPosition(50);
    const QImage image = bar.grab().toImage();
    const QColor on_fill = bar.palette().color(QPalette::HighlightedText);
    const QColor on_face = bar.palette().color(QPalette::ButtonText);
    const int split = inside.left() + inside.width() / 2;
    int light = 0, dark = 0;
    for (int y = inside.top(); y <= inside.bottom(); ++y) {
      for (int x = inside.left(); x <= inside.right(); ++x) {
        const QColor c = image.pixelColor(x, y);
        if (x < split && c == on_fill) ++light;
        if (x >= split && c == on_face) ++dark;
      }
    }
    QVERIFY(light > 0 && dark > 0);
  }

  void progressWindowShowsReports() {
    CProgressWindow window(nullptr);
    CProgressLines lines;
    lines.folder_line = "/srv/site/docs";
    lines.folder_is_path = true;
    lines.file_line = "链接已处理: 37 共 100";
    lines.bar_changed = true;
    lines.bar_high = 100;
    lines.bar_position = 37;
    window.Show(lines);
    lines.folder_changed = false;
    lines.bar_changed = false;
    lines.file_line = "保存 html 文件...";
    window.Show(lines);
    QCOMPARE(window.folderLine()->text(), QStringLiteral("/srv/site/docs"));
    QCOMPARE(window.fileLine()->text(), Q("保存 html 文件..."));
    QCOMPARE(window.bar()->position(), 37);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    Shot(&window, "progress");
  }
};

}  // namespace vellora

int main(int argc, char** argv) {
  QTemporaryDir runtime;
  QFile::setPermissions(runtime.path(),
                        QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
  qputenv("XDG_RUNTIME_DIR", runtime.path().toUtf8());
  QApplication app(argc, argv);
  vellora::DialogsTest test;
  return QTest::qExec(&test, argc, argv);
}
#include "dialogs_test.moc"
