// A helper of the window test: looks at the windows of other programs from
// inside the same Wine session and reports what a person would see there.
//
//   window_probe OUT windows       every visible top-level window: title,
//                                  rectangles (the client area's too, on
//                                  the screen), focus, close box, children
//   window_probe OUT attributes F  the file attributes of F
//
// The report goes to OUT in UTF-8, one item per line, so that it does not
// depend on the console's code page.
#include <cstdio>
#include <string>
#include <vector>

#include "platform/win32.h"

namespace {

std::string Utf8(const std::wstring& wide) {
  if (wide.empty()) return std::string();
  const int size = static_cast<int>(wide.size());
  const int length = WideCharToMultiByte(CP_UTF8, 0, wide.data(), size, nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<size_t>(length), '\0');
  WideCharToMultiByte(CP_UTF8, 0, wide.data(), size, out.data(), length, nullptr, nullptr);
  return out;
}

// Line breaks in a text are shown as \n so that each item stays on one line.
std::string OneLine(const std::wstring& text) {
  std::string out;
  for (const char c : Utf8(text)) {
    if (c == '\r') {
      out += "\\r";
    } else if (c == '\n') {
      out += "\\n";
    } else {
      out += c;
    }
  }
  return out;
}

// The text of another program's window; WM_GETTEXT is marshalled across
// processes, and the timeout keeps a busy window from blocking the probe.
std::wstring WindowText(HWND window) {
  wchar_t buffer[512] = {};
  DWORD_PTR result = 0;
  SendMessageTimeoutW(window, WM_GETTEXT, std::size(buffer), reinterpret_cast<LPARAM>(buffer), SMTO_ABORTIFHUNG, 2000,
                      &result);
  return buffer;
}

std::wstring ClassName(HWND window) {
  wchar_t buffer[256] = {};
  GetClassNameW(window, buffer, std::size(buffer));
  return buffer;
}

// The middle of the close box, found by asking the window what each point
// of its caption is.
bool FindCloseBox(HWND window, POINT* centre) {
  RECT frame;
  GetWindowRect(window, &frame);
  const int y = frame.top + GetSystemMetrics(SM_CYFIXEDFRAME) + GetSystemMetrics(SM_CYCAPTION) / 2;
  int right = -1;
  int left = -1;
  for (int x = frame.right - 1; x >= frame.left; --x) {
    DWORD_PTR hit = 0;
    if (!SendMessageTimeoutW(window, WM_NCHITTEST, 0, MAKELPARAM(x, y), SMTO_ABORTIFHUNG, 2000, &hit)) return false;
    if (hit == HTCLOSE) {
      if (right < 0) right = x;
      left = x;
    } else if (right >= 0) {
      break;
    }
  }
  if (right < 0) return false;
  *centre = {(left + right) / 2, y};
  return true;
}

struct Report {
  FILE* out;
};

BOOL CALLBACK ReportChild(HWND child, LPARAM param) {
  FILE* out = reinterpret_cast<Report*>(param)->out;
  RECT r;
  GetWindowRect(child, &r);
  std::fprintf(out, "child id=%ld class=%s visible=%d rect=%ld,%ld,%ld,%ld text=%s\n",
               static_cast<long>(GetWindowLongPtrW(child, GWLP_ID)), Utf8(ClassName(child)).c_str(),
               IsWindowVisible(child) ? 1 : 0, r.left, r.top, r.right, r.bottom, OneLine(WindowText(child)).c_str());
  return TRUE;
}

BOOL CALLBACK ReportTopLevel(HWND window, LPARAM param) {
  if (!IsWindowVisible(window)) return TRUE;
  FILE* out = reinterpret_cast<Report*>(param)->out;
  const std::wstring title = WindowText(window);
  if (title.empty()) return TRUE;  // the desktop's helper windows
  RECT r;
  GetWindowRect(window, &r);
  RECT client;
  GetClientRect(window, &client);
  MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&client), 2);
  DWORD process = 0;
  const DWORD thread = GetWindowThreadProcessId(window, &process);
  GUITHREADINFO info = {};
  info.cbSize = sizeof(info);
  GetGUIThreadInfo(thread, &info);
  std::fprintf(out, "window title=%s class=%s pid=%lu rect=%ld,%ld,%ld,%ld client=%ld,%ld,%ld,%ld\n",
               OneLine(title).c_str(), Utf8(ClassName(window)).c_str(), process, r.left, r.top, r.right, r.bottom,
               client.left, client.top, client.right, client.bottom);
  if (info.hwndFocus != nullptr && GetAncestor(info.hwndFocus, GA_ROOT) == window) {
    std::fprintf(out, "focus id=%ld text=%s\n", static_cast<long>(GetWindowLongPtrW(info.hwndFocus, GWLP_ID)),
                 OneLine(WindowText(info.hwndFocus)).c_str());
  }
  POINT closeBox;
  if ((GetWindowLongPtrW(window, GWL_STYLE) & WS_SYSMENU) && FindCloseBox(window, &closeBox)) {
    std::fprintf(out, "closebox %ld,%ld\n", closeBox.x, closeBox.y);
  }
  EnumChildWindows(window, ReportChild, param);
  std::fprintf(out, "end\n");
  return TRUE;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: window_probe OUT windows | OUT attributes FILE\n");
    return 2;
  }
  FILE* out = _wfopen(argv[1], L"wb");
  if (out == nullptr) return 2;
  const std::wstring command = argv[2];
  int status = 0;
  if (command == L"windows") {
    Report report{out};
    EnumWindows(ReportTopLevel, reinterpret_cast<LPARAM>(&report));
  } else if (command == L"attributes" && argc == 4) {
    const DWORD attributes = GetFileAttributesW(argv[3]);
    if (attributes == INVALID_FILE_ATTRIBUTES) {
      std::fprintf(out, "missing\n");
    } else {
      std::fprintf(out, "hidden=%d\n", (attributes & FILE_ATTRIBUTE_HIDDEN) ? 1 : 0);
    }
  } else {
    status = 2;
  }
  std::fclose(out);
  return status;
}
