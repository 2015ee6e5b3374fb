// Helpers shared by the Qt window's tests: answering a modal dialog that the
// code under test opens with exec(), finding a child by its text, and taking
// the desktop's opens instead of starting a real program.
#ifndef VELLORA_TESTS_UI_QT_QT_TEST_SUPPORT_H_
#define VELLORA_TESTS_UI_QT_QT_TEST_SUPPORT_H_

#include <QApplication>
#include <QDesktopServices>
#include <QDialog>
#include <QList>
#include <QObject>
#include <QString>
#include <QTimer>
#include <QUrl>
#include <QWidget>

#include <functional>

namespace vellora {

// Runs `act` on the modal dialog of type T as soon as it is shown. When it
// never comes, whatever dialog is open is closed, so that the test fails on
// what it did not see instead of hanging.
template <class T>
void WhenModal(std::function<void(T*)> act, int tries = 200) {
  QTimer::singleShot(10, [act, tries] {
    QWidget* modal = QApplication::activeModalWidget();
    if (auto* dialog = qobject_cast<T*>(modal)) {
      act(dialog);
    } else if (tries > 0) {
      WhenModal<T>(act, tries - 1);
    } else if (auto* other = qobject_cast<QDialog*>(modal)) {
      other->reject();
    }
  });
}

// The child of `root` of type T showing `text`.
template <class T>
T* ByText(QWidget* root, const QString& text) {
  for (T* w : root->findChildren<T*>()) {
    if (w->text() == text) return w;
  }
  return nullptr;
}

// Takes the desktop's opens of one URL scheme while it lives.
class UrlSink : public QObject {
  Q_OBJECT
 public:
  explicit UrlSink(const QString& scheme) : scheme_(scheme) {
    QDesktopServices::setUrlHandler(scheme_, this, "Open");
  }
  ~UrlSink() override { QDesktopServices::unsetUrlHandler(scheme_); }
  QList<QUrl> opened;
 public slots:
  void Open(const QUrl& url) { opened << url; }

 private:
  QString scheme_;
};

}  // namespace vellora

#endif  // VELLORA_TESTS_UI_QT_QT_TEST_SUPPORT_H_
