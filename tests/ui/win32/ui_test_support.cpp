#include "ui_test_support.h"

#include <cstdio>
#include <fstream>
#include <sstream>

namespace vellora_ui_test {

namespace {

int g_failures = 0;
std::string g_shot_prefix;

// The window's (or its client area's) pixels as a top-down 32-bit picture.
Pixels GrabFrom(HWND window, bool client) {
  RECT r;
  if (client) {
    GetClientRect(window, &r);
  } else {
    GetWindowRect(window, &r);
    OffsetRect(&r, -r.left, -r.top);
  }
  Pixels pixels;
  pixels.width = r.right;
  pixels.height = r.bottom;
  if (pixels.width <= 0 || pixels.height <= 0) return pixels;
  BITMAPINFO info = {};
  info.bmiHeader = {sizeof(BITMAPINFOHEADER), pixels.width, -pixels.height, 1, 32, BI_RGB,
                    0, 0, 0, 0, 0};
  void* bits = nullptr;
  HDC mem = CreateCompatibleDC(nullptr);
  HBITMAP dib = CreateDIBSection(mem, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ old = SelectObject(mem, dib);
  HDC dc = client ? GetDC(window) : GetWindowDC(window);
  BitBlt(mem, 0, 0, pixels.width, pixels.height, dc, 0, 0, SRCCOPY);
  ReleaseDC(window, dc);
  GdiFlush();
  const auto* data = static_cast<const uint32_t*>(bits);
  pixels.rgb.assign(data, data + static_cast<size_t>(pixels.width) * pixels.height);
  for (uint32_t& p : pixels.rgb) p &= 0xFFFFFF;
  SelectObject(mem, old);
  DeleteObject(dib);
  DeleteDC(mem);
  return pixels;
}

struct Search {
  HWND except;
  const std::wstring* caption;
  HWND found;
};

BOOL CALLBACK FindWindowOfThread(HWND window, LPARAM param) {
  auto* search = reinterpret_cast<Search*>(param);
  if (window == search->except || !IsWindowVisible(window)) return TRUE;
  if (search->caption != nullptr && WindowTextW(window) != *search->caption) return TRUE;
  search->found = window;
  return FALSE;
}

}  // namespace

void Check(bool ok, const std::string& what) {
  std::printf("%s: %s\n", ok ? "ok" : "FAILED", what.c_str());
  std::fflush(stdout);
  if (!ok) ++g_failures;
}

int Failures() { return g_failures; }

int Finish() {
  std::printf("%s\n", g_failures == 0 ? "all passed" : "some FAILED");
  std::fflush(stdout);
  return g_failures == 0 ? 0 : 1;
}

void SetShotPrefix(const std::string& prefix) { g_shot_prefix = prefix; }

void SaveShot(HWND window, const std::string& name) {
  WriteBitmap(g_shot_prefix + name + ".bmp", Grab(window));
}

void WriteBitmap(const std::string& path, const Pixels& pixels) {
  const int w = pixels.width, h = pixels.height;
  if (w <= 0 || h <= 0) return;
  // Bottom-up 24-bit rows, each padded to four bytes.
  const int stride = (w * 3 + 3) & ~3;
  std::string rows(static_cast<size_t>(stride) * h, '\0');
  for (int y = 0; y < h; ++y) {
    char* row = &rows[static_cast<size_t>(h - 1 - y) * stride];
    for (int x = 0; x < w; ++x) {
      const uint32_t p = pixels.At(x, y);
      row[x * 3] = static_cast<char>(p & 0xFF);
      row[x * 3 + 1] = static_cast<char>((p >> 8) & 0xFF);
      row[x * 3 + 2] = static_cast<char>((p >> 16) & 0xFF);
    }
  }
  BITMAPINFOHEADER info = {sizeof(BITMAPINFOHEADER), w, h, 1, 24, BI_RGB,
                           static_cast<DWORD>(rows.size()), 0, 0, 0, 0};
  const DWORD offset = sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER);
  BITMAPFILEHEADER file = {0x4D42, static_cast<DWORD>(offset + rows.size()), 0, 0, offset};
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(&file), sizeof file);
  out.write(reinterpret_cast<const char*>(&info), sizeof info);
  out.write(rows.data(), static_cast<std::streamsize>(rows.size()));
}

Pixels Grab(HWND window) { return GrabFrom(window, false); }
Pixels GrabClient(HWND window) { return GrabFrom(window, true); }

std::wstring WindowTextW(HWND window) {
  wchar_t text[1024] = {};
  GetWindowTextW(window, text, 1024);
  return text;
}

std::wstring ItemTextW(HWND dialog, int item) { return WindowTextW(GetDlgItem(dialog, item)); }

HWND FindDialog(const std::wstring& caption) {
  Search search = {nullptr, &caption, nullptr};
  EnumThreadWindows(GetCurrentThreadId(), FindWindowOfThread, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

HWND FindOtherWindow(HWND except) {
  Search search = {except, nullptr, nullptr};
  EnumThreadWindows(GetCurrentThreadId(), FindWindowOfThread, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

std::string ProgramFolder() {
  char program[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, program, MAX_PATH);
  std::string folder = program;
  folder.resize(folder.rfind('\\') + 1);
  return folder;
}

std::string ReadWholeFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

}  // namespace vellora_ui_test
