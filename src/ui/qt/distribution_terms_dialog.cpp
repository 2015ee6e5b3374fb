#include <QFont>
#include <QFrame>
#include <QGridLayout>
#include <QLabel>
#include <QPixmap>
#include <QVBoxLayout>

#include "ui/qt/dialog_parts.h"
#include "ui/qt/dialog_units.h"
#include "ui/qt/qt_dialogs.h"

namespace vellora {

namespace {

constexpr int kTextWidth = 420;

QLabel* Paragraph(const char* text) {
  QLabel* label = PlainLabel(Q(text));
  label->setWordWrap(true);
  label->setFixedWidth(kTextWidth);
  return label;
}

}  // namespace

CDistributionTermsDialog::CDistributionTermsDialog(const std::string& background_bitmap,
                                                   QWidget* parent)
    : CBitmapDialog(FromSystemName(background_bitmap), parent) {
  setWindowTitle(Q(kDistributionTermsCaption));
  setMinimumSize(CDialogUnits(font()).Size(280, 196));
  QLabel* heading = PlainLabel(Q(kTermsHeading));
  QFont heading_font(QStringLiteral("Sans Serif"));
  heading_font.setPixelSize(18);
  heading_font.setBold(true);
  heading->setFont(heading_font);

  auto* paragraphs = new QGridLayout;
  paragraphs->setHorizontalSpacing(8);
  paragraphs->setVerticalSpacing(10);
  const QPixmap bullet(QStringLiteral(":/art/bullet.png"));
  for (int i = 0; i < 3; ++i) {
    auto* mark = new QLabel;
    mark->setPixmap(bullet);
    // Level with the first line of its paragraph.
    mark->setContentsMargins(0, 4, 0, 0);
    paragraphs->addWidget(mark, i, 0, Qt::AlignTop);
    paragraphs->addWidget(Paragraph(kTermsParagraphs[i]), i, 1);
  }

  auto* line = new QFrame;
  line->setFrameShape(QFrame::HLine);
  line->setFrameShadow(QFrame::Sunken);

  CIconButton* ok = DialogButton(Q("确定(&K)"), ButtonIcon::kOk, false, true);
  ok->setDefault(true);
  connect(ok, &QPushButton::clicked, this, &QDialog::accept);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(heading);
  layout->addSpacing(6);
  layout->addLayout(paragraphs);
  layout->addSpacing(6);
  layout->addWidget(line);
  layout->addWidget(Paragraph(kTermsDisclaimer));
  layout->addSpacing(8);
  layout->addWidget(ok, 0, Qt::AlignHCenter);
}

}  // namespace vellora
