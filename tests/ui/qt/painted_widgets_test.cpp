// The window's own painted widgets, read back from their rendering: the
// tiled background, controls over it, the group box's frame, the icon
// button's looks and the link's colours.
#include <QCheckBox>
#include <QDesktopServices>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QVBoxLayout>
#include <QtTest>

#include <functional>

#include "ui/qt/icon_button.h"
#include "ui/qt/static_link.h"
#include "ui/qt/tiled_background.h"
#include "ui/qt/transparent_group_box.h"
#include "qt_test_support.h"

namespace vellora {
namespace {

// Pixel (x, y) of the test tile: red x, green y.
QRgb TestTile(int x, int y) { return qRgb(x % 100, y % 50, 77); }

// How many pixels of `area` in `image` equal `expected` at that point.
double ShareEqual(const QImage& image, const QRect& area, const std::function<QRgb(int, int)>& expected) {
  int same = 0;
  for (int y = area.top(); y <= area.bottom(); ++y) {
    for (int x = area.left(); x <= area.right(); ++x) {
      if (image.pixel(x, y) == expected(x, y)) ++same;
    }
  }
  return area.isEmpty() ? 0.0 : double(same) / (area.width() * area.height());
}

QImage Grab(QWidget* w) { return w->grab().toImage().convertToFormat(QImage::Format_RGB32); }

}  // namespace

class PaintedWidgetsTest : public QObject {
  Q_OBJECT

 private:
  QTemporaryDir dir_;
  QString tile_file_;

 private slots:
  void initTestCase() {
    QVERIFY(dir_.isValid());
    QImage tile(100, 50, QImage::Format_RGB32);
    for (int y = 0; y < 50; ++y) {
      for (int x = 0; x < 100; ++x) tile.setPixel(x, y, TestTile(x, y));
    }
    tile_file_ = dir_.filePath("tile.bmp");
    QVERIFY(tile.save(tile_file_, "BMP"));
    QFile text(dir_.filePath("words.bmp"));
    QVERIFY(text.open(QIODevice::WriteOnly));
    text.write("not a picture");
  }

  void tilesFromTheTopLeftAtTheBitmapsSize() {
    const QImage marble = CTiledBackground::BuiltIn().toImage();
    QCOMPARE(marble.size(), QSize(128, 128));
    const std::function<QRgb(int, int)> test_tile = TestTile;
    const std::function<QRgb(int, int)> built_in = [&](int x, int y) {
      return marble.pixel(x % 128, y % 128);
    };
    struct Case {
      QString file;
      bool from_file;
      std::function<QRgb(int, int)> expected;
    } cases[] = {
        {tile_file_, true, test_tile},
        {dir_.filePath("missing.bmp"), false, built_in},
        {dir_.filePath("words.bmp"), false, built_in},
        {QString(), false, built_in},
    };
    for (const Case& c : cases) {
      CBitmapWidget page(c.file);
      QCOMPARE(page.background().FromFile(), c.from_file);
      page.resize(250, 120);
      const QImage image = Grab(&page);
      QCOMPARE(ShareEqual(image, image.rect(), c.expected), 1.0);
      // A repaint of a part keeps the tiles where they are.
      const QRect part(130, 60, 40, 40);
      const QImage piece = page.grab(part).toImage().convertToFormat(QImage::Format_RGB32);
      QCOMPARE(ShareEqual(piece, piece.rect(),
                          [&](int x, int y) { return c.expected(x + part.x(), y + part.y()); }),
               1.0);
    }
  }

  void controlsShowTheTileAndEditBoxesStayWhite() {
    CBitmapWidget page(tile_file_);
    auto* layout = new QVBoxLayout(&page);
    auto* label = new QLabel(QString::fromUtf8("文件过滤(&S):"));
    auto* check = new QCheckBox(QString::fromUtf8("包含文件大小(&Z) ?"));
    auto* radio = new QRadioButton(QString::fromUtf8("创建一个框架站点(&F)"));
    auto* group = new CTransparentGroupBox(QString::fromUtf8("递归选项"));
    group->setMinimumHeight(60);
    auto* edit = new QLineEdit;
    for (QWidget* w : {static_cast<QWidget*>(label), static_cast<QWidget*>(check),
                       static_cast<QWidget*>(radio), static_cast<QWidget*>(group),
                       static_cast<QWidget*>(edit)}) {
      layout->addWidget(w);
    }
    page.resize(400, 260);
    page.show();
    QVERIFY(QTest::qWaitForWindowExposed(&page));
    const QImage image = Grab(&page);

    // Right of its text, each control's area is the tile itself.
    for (QWidget* w : {static_cast<QWidget*>(label), static_cast<QWidget*>(check),
                       static_cast<QWidget*>(radio)}) {
      QRect beside = w->geometry();
      beside.setLeft(beside.left() + w->sizeHint().width() + 2);
      QVERIFY2(beside.width() > 50, w->metaObject()->className());
      QCOMPARE(ShareEqual(image, beside, TestTile), 1.0);
    }
    // The group box draws no panel: inside its frame, the tile.
    const QRect inside = group->geometry().adjusted(4, group->fontMetrics().height() + 2, -4, -4);
    QCOMPARE(ShareEqual(image, inside, TestTile), 1.0);
    // The edit box paints its own white.
    const QRect field = edit->geometry().adjusted(4, 4, -4, -4);
    QVERIFY(ShareEqual(image, field, [](int, int) { return qRgb(255, 255, 255); }) > 0.99);
  }

  void groupBoxFrameIsEtchedWithTheCaptionGap() {
    struct Case {
      Qt::Alignment alignment;
      bool flat;
    } cases[] = {{Qt::AlignLeft, false}, {Qt::AlignRight, false}, {Qt::AlignLeft, true}};
    for (const Case& c : cases) {
      CBitmapWidget page(tile_file_);
      auto* group = new CTransparentGroupBox(QString::fromUtf8("递归选项"), &page);
      group->setAlignment(c.alignment);
      group->setFlat(c.flat);
      page.resize(200, 80);
      group->setGeometry(0, 0, 200, 80);
      const QImage image = Grab(&page);
      const QPalette& pal = group->palette();
      const QFontMetrics fm(page.font());
      const int top = fm.height() / 2;
      const QRgb shadow = c.flat ? qRgb(0, 0, 0) : pal.color(QPalette::Dark).rgb();
      const QRgb light = pal.color(QPalette::Light).rgb();
      // The shadow line, the highlight line one pixel inside and below it.
      QCOMPARE(image.pixel(0, 40), shadow);
      QCOMPARE(image.pixel(1, 40), light);
      QCOMPARE(image.pixel(100, 79 - 1), shadow);
      QCOMPARE(image.pixel(100, 79), light);
      // The gap for the caption (with its leading space) starts 10 pixels
      // from the edge on its side.
      const int caption = fm.horizontalAdvance(QString::fromUtf8(" 递归选项 "));
      const int gap = c.alignment == Qt::AlignRight ? 200 - 10 - caption : 10;
      QCOMPARE(image.pixel(gap - 1, top), shadow);
      QCOMPARE(image.pixel(gap, top), TestTile(gap, top));
      QCOMPARE(image.pixel(gap + caption - 1, top), TestTile(gap + caption - 1, top));
      QCOMPARE(image.pixel(gap + caption, top), shadow);
    }
  }

  void flatButtonLightsUpWhileHoveredRaisedDoesNot() {
    // Icons drawn over the page, as the button would draw them.
    CBitmapWidget page(tile_file_);
    page.resize(240, 120);
    const QRect place(20, 10, 150, 40);
    const QImage bare = Grab(&page);
    auto expected = [&](ButtonIcon icon) {
      QImage out = bare.copy(place);
      QPainter p(&out);
      p.drawPixmap(3, (place.height() - 32) / 2, LoadButtonIcon(icon).pixmap(32, 32));
      return out.copy(3, (place.height() - 32) / 2, 32, 32);
    };
    const QRect icon_area(3, (place.height() - 32) / 2, 32, 32);

    auto* flat = new CIconButton(QString::fromUtf8("选择文件夹(&F)"), &page);
    flat->SetIcon(ButtonIcon::kFolderOpen, ButtonIcon::kFolderClosed);
    flat->DrawTransparent();
    flat->setGeometry(place);
    const QPalette& pal = flat->palette();
    // The button as the page shows it, with the tiles behind it.
    auto shot = [&page](QWidget* button) { return Grab(&page).copy(button->geometry()); };

    const QImage idle = shot(flat);
    QCOMPARE(idle.copy(icon_area), expected(ButtonIcon::kFolderClosed));
    QCOMPARE(idle.pixel(0, 0), TestTile(place.x(), place.y()));  // no border, no face
    QEvent enter(QEvent::Enter);
    QApplication::sendEvent(flat, &enter);
    QVERIFY(flat->IsMouseOver());
    const QImage hovered = shot(flat);
    QCOMPARE(hovered.copy(icon_area), expected(ButtonIcon::kFolderOpen));
    QCOMPARE(hovered.pixel(0, 0), pal.color(QPalette::Light).rgb());
    QCOMPARE(hovered.pixel(place.width() - 1, place.height() - 1), pal.color(QPalette::Dark).rgb());
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(flat, &leave);
    QCOMPARE(shot(flat), idle);

    auto* raised = new CIconButton(QString::fromUtf8("排序选项(&S) (F5)"), &page);
    raised->SetFlat(false);
    raised->SetIcon(ButtonIcon::kSort);
    raised->DrawTransparent();
    raised->setGeometry(place.translated(0, 60));
    const QImage before = shot(raised);
    QApplication::sendEvent(raised, &enter);
    QVERIFY(!raised->IsMouseOver());
    QCOMPARE(shot(raised), before);
    // Its raised edge: highlight outside top left, dark shadow bottom right.
    QCOMPARE(before.pixel(0, 0), pal.color(QPalette::Light).rgb());
    QCOMPARE(before.pixel(place.width() - 1, 20), pal.color(QPalette::Shadow).rgb());
    QCOMPARE(before.pixel(place.width() - 2, 20), pal.color(QPalette::Dark).rgb());
  }

  void pressedButtonShiftsOnePixelWithAShadowFrame() {
    CIconButton button(QString::fromUtf8("打开输出文件(&L) (F12)"));
    button.SetFlat(false);
    button.SetIcon(ButtonIcon::kBrowser);
    button.resize(220, 50);
    const QImage idle = Grab(&button);
    button.setDown(true);
    const QImage pressed = Grab(&button);
    const QRgb shadow = button.palette().color(QPalette::Dark).rgb();
    QCOMPARE(pressed.pixel(0, 0), shadow);
    QCOMPARE(pressed.pixel(219, 49), shadow);
    QVERIFY(idle.pixel(0, 0) != shadow);
    // Icon and caption moved one pixel right and down, nothing else.
    const QRect inside(3, 3, 220 - 8, 50 - 8);
    QVERIFY(idle.copy(inside) != pressed.copy(inside));
    QCOMPARE(pressed.copy(inside.translated(1, 1)), idle.copy(inside));
    // The default button: a black frame, the raised edge inside it.
    button.setDown(false);
    button.setDefault(true);
    const QImage framed = Grab(&button);
    QCOMPARE(framed.pixel(0, 0), qRgb(0, 0, 0));
    QCOMPARE(framed.pixel(1, 1), button.palette().color(QPalette::Light).rgb());
  }

  void linkIsBluePurpleAfterOpeningAndStaysBlueOnFailure() {
    UrlSink sink(QStringLiteral("vellora-test"));
    struct Case {
      QString target;
      bool opens;
    } cases[] = {{"vellora-test:about", true}, {"vellora-none:about", false}};
    for (const Case& c : cases) {
      CStaticLink link(QStringLiteral("vellora.example"));
      link.SetTarget(c.target);
      link.resize(link.sizeHint());
      QVERIFY(link.font().underline());
      QCOMPARE(link.cursor().shape(), Qt::PointingHandCursor);
      auto has = [&link](const QColor& colour) {
        const QImage image = Grab(&link);
        return ShareEqual(image, image.rect(), [&](int, int) { return colour.rgb(); }) > 0.01;
      };
      QVERIFY(has(CStaticLink::kUnvisited));
      QVERIFY(!has(CStaticLink::kVisited));
      QSignalSpy spy(&link, &CStaticLink::opened);
      QTest::mouseClick(&link, Qt::LeftButton);
      QCOMPARE(spy.count(), 1);
      QCOMPARE(spy.at(0).at(0).toBool(), c.opens);
      QCOMPARE(has(CStaticLink::kVisited), c.opens);
      QCOMPARE(has(CStaticLink::kUnvisited), !c.opens);
    }
    QCOMPARE(sink.opened, QList<QUrl>{QUrl("vellora-test:about")});
  }
};

}  // namespace vellora

QTEST_MAIN(vellora::PaintedWidgetsTest)
#include "painted_widgets_test.moc"
