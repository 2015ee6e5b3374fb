// The picture tiled behind the option pages and the bitmap dialogs (sort
// options, default words, distribution terms): a bitmap file the user
// chooses, or the built-in marble when that file cannot be loaded. Labels,
// check boxes, radio buttons and group boxes show the picture behind their
// text; edit boxes, lists and push buttons keep their own colours.
#ifndef VELLORA_UI_WIN32_TILED_BACKGROUND_H_
#define VELLORA_UI_WIN32_TILED_BACKGROUND_H_

#include <windows.h>

#include <string>

namespace vellora {

class CTiledBackground {
 public:
  CTiledBackground() = default;
  CTiledBackground(const CTiledBackground&) = delete;
  CTiledBackground& operator=(const CTiledBackground&) = delete;
  ~CTiledBackground();

  // Loads `file` (ANSI code page; relative names from the current folder)
  // as a device-independent section at its own size. Returns false, keeping
  // no bitmap, when that fails (missing, unreadable, not a bitmap, empty).
  bool SetBitmapFromFile(const std::string& file);
  // The bitmap resource `id` of the program's own module.
  bool SetBitmapFromResource(int id);
  // The file, or the built-in marble when the file cannot be loaded.
  void Load(const std::string& file);

  // Copies the whole bitmap again and again from `rect`'s top left (0, 0
  // of the client area), never stretched, the last row and column cut off.
  // False when there is no bitmap (nothing drawn).
  bool TileBackground(HDC dc, const RECT& rect) const;

  // Answers a dialog's background messages: WM_ERASEBKGND (tiles the client
  // area) and the control-colour messages of statics and buttons (text
  // background transparent, hollow brush). Returns true when the message
  // was answered; `*result` is then what the dialog procedure returns (the
  // procedure must also have set DWLP_MSGRESULT where the message needs it,
  // which this does).
  bool HandleMessage(HWND window, UINT message, WPARAM wparam, LPARAM lparam,
                     INT_PTR* result) const;

  HBITMAP bitmap() const { return bitmap_; }
  SIZE size() const { return size_; }

 private:
  void Reset();

  HBITMAP bitmap_ = nullptr;
  SIZE size_ = {0, 0};
};

}  // namespace vellora

#endif  // VELLORA_UI_WIN32_TILED_BACKGROUND_H_
