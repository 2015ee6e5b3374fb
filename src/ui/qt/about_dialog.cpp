#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

#include "ui/qt/dialog_parts.h"
#include "ui/qt/dialog_units.h"
#include "ui/qt/qt_dialogs.h"
#include "ui/qt/static_link.h"

namespace vellora {

const char CAboutDialog::kWebAddress[] = "https://example.org/vellora/";
const char CAboutDialog::kMailAddress[] = "vellora@example.org";
const char CAboutDialog::kMailTarget[] = "mailto:vellora@example.org?subject=vellora%20feedback";

CAboutDialog::CAboutDialog(QWidget* parent) : QDialog(parent) {
  setWindowTitle(Q(kAboutCaption));
  setMinimumSize(CDialogUnits(font()).Size(250, 140));
  auto* icon = new QLabel;
  icon->setPixmap(ProgramIcon().pixmap(QSize(32, 32), devicePixelRatioF()));
  icon->setAlignment(Qt::AlignTop | Qt::AlignHCenter);

  // Each link shows the address it opens.
  web_ = new CStaticLink(Q(kWebAddress));
  web_->SetTarget(Q(kWebAddress));
  mail_ = new CStaticLink(Q(kMailAddress));
  mail_->SetTarget(Q(kMailTarget));

  auto* text = new QGridLayout;
  text->setColumnStretch(1, 1);
  text->addWidget(PlainLabel(Q("vellora Version 4.6    简体中文版：vellora 翻译小组")), 0, 0, 1, 2);
  text->addWidget(PlainLabel(Q(kAboutBuildLine)), 1, 0, 1, 2);
  text->addWidget(PlainLabel(Q("感谢每一位试用 vellora 并提出建议的朋友。")), 2, 0, 1, 2);
  text->setRowMinimumHeight(3, 8);
  text->addWidget(PlainLabel(Q("vellora 网站:")), 4, 0);
  text->addWidget(web_, 4, 1);
  text->addWidget(PlainLabel(Q("意见，反馈？请联系:")), 5, 0);
  text->addWidget(mail_, 5, 1);

  // Raised, with the tick, on the dialog's plain face.
  CIconButton* ok = DialogButton(Q("确定(&K)"), ButtonIcon::kOk, false, false);
  ok->setDefault(true);
  connect(ok, &QPushButton::clicked, this, &QDialog::accept);

  auto* top = new QHBoxLayout;
  top->addWidget(icon, 0, Qt::AlignTop);
  top->addSpacing(8);
  top->addLayout(text, 1);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(top);
  layout->addSpacing(8);
  layout->addWidget(ok, 0, Qt::AlignHCenter);
}

}  // namespace vellora
