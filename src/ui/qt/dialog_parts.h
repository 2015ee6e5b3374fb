// Pieces the option dialogs share: the program's texts as Qt strings, labels
// that show a text exactly as it is, and the dialogs' icon buttons.
#ifndef VELLORA_UI_QT_DIALOG_PARTS_H_
#define VELLORA_UI_QT_DIALOG_PARTS_H_

#include <QString>

#include <string>

#include "ui/qt/icon_button.h"

class QDialog;
class QHBoxLayout;
class QLabel;
class QWidget;

namespace vellora {

// The program's texts are UTF-8.
inline QString Q(const char* text) { return QString::fromUtf8(text); }
inline QString Q(const std::string& text) { return QString::fromStdString(text); }

// A name or path as the system writes it, and back.
QString FromSystemName(const std::string& name);
std::string ToSystemName(const QString& name);

// A label that never reads its text as rich text: names and paths may hold
// '<' or '&'.
QLabel* PlainLabel(const QString& text, QWidget* parent = nullptr);

// An icon button: flat or raised, with the given picture (none for kNone),
// optionally letting the dialog's background show through its face.
CIconButton* DialogButton(const QString& text, ButtonIcon icon, bool flat, bool transparent);

// The centred flat "确定(&K)" and "取消(&C)" of the tiled dialogs, over the
// background, wired to accept and reject; OK is the default button.
QHBoxLayout* OkCancelRow(QDialog* dialog);

}  // namespace vellora

#endif  // VELLORA_UI_QT_DIALOG_PARTS_H_
