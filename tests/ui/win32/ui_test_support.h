// What the Windows window's UI test programs share: checks that print a
// line each, pictures of windows, pixels read back from the screen, and
// finding the dialogs a command opens.
#ifndef VELLORA_TESTS_UI_WIN32_UI_TEST_SUPPORT_H_
#define VELLORA_TESTS_UI_WIN32_UI_TEST_SUPPORT_H_

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

namespace vellora_ui_test {

// Prints "ok: what" or "FAILED: what"; failures are counted.
void Check(bool ok, const std::string& what);
int Failures();
// Ends the program's report: "all passed" or "some FAILED"; the exit status.
int Finish();

// The prefix of every picture's file name (the program's first argument).
void SetShotPrefix(const std::string& prefix);
// Saves the window with its frame as PREFIX + name + ".bmp" (the runner
// turns these into PNGs).
void SaveShot(HWND window, const std::string& name);

// The window's pixels with its frame, as on the screen: 0x00RRGGBB, row by
// row from the top left. The window must be fully on the screen and not
// covered.
struct Pixels {
  int width = 0, height = 0;
  std::vector<uint32_t> rgb;
  uint32_t At(int x, int y) const { return rgb[static_cast<size_t>(y * width + x)]; }
};
Pixels Grab(HWND window);
// Writes `pixels` as a 24-bit bitmap file.
void WriteBitmap(const std::string& path, const Pixels& pixels);
// The same for the client area only.
Pixels GrabClient(HWND window);

std::wstring WindowTextW(HWND window);
std::wstring ItemTextW(HWND dialog, int item);
// A visible top-level window of this thread with this caption, or null.
HWND FindDialog(const std::wstring& caption);
// A visible top-level window of this thread other than `except`, or null.
HWND FindOtherWindow(HWND except);

// The program's own folder, with its trailing backslash.
std::string ProgramFolder();
std::string ReadWholeFile(const std::string& path);

}  // namespace vellora_ui_test

#endif  // VELLORA_TESTS_UI_WIN32_UI_TEST_SUPPORT_H_
