// Plays the user's part in the smoke test from outside the program: waits for
// a window by its caption, closes, minimises or restores it, clicks one of its
// push buttons found by name, prints where it is for a screenshot, or prints
// its owner's caption (in UTF-8), or brings it to the front and presses Tab a
// number of times, as a keyboard user would before a screenshot that shows the
// focus, or checks that no push button's caption runs into its edges.
//   window_tool wait|gone|close|minimize|restore|rect|owner|fits <caption> [seconds]
//   window_tool click <caption> <button name>
//   window_tool tab <caption> <count>
//   window_tool post <caption> <message> <wParam> <lParam>
// Each may start with --desktop <name>: the windows of that desktop (a
// virtual one of Wine's, "explorer /desktop=<name>,WxH") instead of the default.
#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <string>

namespace {

// The first window that `matches`: among the top-level windows when
// `parent` is null, else among its children.
template <typename Matches>
HWND FindWhere(HWND parent, const Matches& matches) {
  struct Search {
    const Matches* matches;
    HWND found;
  } search{&matches, nullptr};
  const WNDENUMPROC visit = [](HWND window, LPARAM data) -> BOOL {
    auto* found = reinterpret_cast<Search*>(data);
    if (!(*found->matches)(window)) return TRUE;
    found->found = window;
    return FALSE;
  };
  if (parent == nullptr) {
    EnumWindows(visit, reinterpret_cast<LPARAM>(&search));
  } else {
    EnumChildWindows(parent, visit, reinterpret_cast<LPARAM>(&search));
  }
  return search.found;
}

bool TextIs(HWND window, const wchar_t* expected) {
  wchar_t text[256] = {};
  GetWindowTextW(window, text, 256);
  return std::wcscmp(text, expected) == 0;
}

HWND FindShown(const wchar_t* caption) {
  return FindWhere(nullptr, [caption](HWND window) { return IsWindowVisible(window) && TextIs(window, caption); });
}

// A push button as assistive technology sees it: the system's Button class
// with a push style (drawn by the system or by its owner), named by its
// window text.
HWND FindButton(HWND window, const wchar_t* name) {
  return FindWhere(window, [name](HWND child) {
    wchar_t className[64] = {};
    GetClassNameW(child, className, 64);
    const LONG type = GetWindowLongW(child, GWL_STYLE) & BS_TYPEMASK;
    const bool pushButton = type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON || type == BS_OWNERDRAW;
    return _wcsicmp(className, L"Button") == 0 && pushButton && TextIs(child, name);
  });
}

// Push buttons whose caption runs into their edges: the caption is drawn
// centred and clipped to the button, so a caption that fits leaves the strip
// just inside the frame free of text-coloured pixels, and a cut one does not.
// Read from the screen, since the button's font lives in the other process.
// Each cut button is printed (in UTF-8), then counted.
BOOL CALLBACK CheckCaption(HWND child, LPARAM data) {
  wchar_t className[64] = {};
  GetClassNameW(child, className, 64);
  const LONG type = GetWindowLongW(child, GWL_STYLE) & BS_TYPEMASK;
  if (_wcsicmp(className, L"Button") != 0 || !IsWindowVisible(child) || (type != BS_PUSHBUTTON && type != BS_DEFPUSHBUTTON)) {
    return TRUE;
  }
  RECT rect;
  GetWindowRect(child, &rect);
  const COLORREF ink = GetSysColor(COLOR_BTNTEXT);
  // Past the frame (a default button's is three pixels), three pixels wide.
  constexpr int kFrame = 4;
  constexpr int kStrip = 3;
  HDC screen = GetDC(nullptr);
  int inked = 0;
  for (int y = rect.top + kFrame; y < rect.bottom - kFrame; ++y) {
    for (int x = 0; x < kStrip; ++x) {
      if (GetPixel(screen, rect.left + kFrame + x, y) == ink) ++inked;
      if (GetPixel(screen, rect.right - 1 - kFrame - x, y) == ink) ++inked;
    }
  }
  ReleaseDC(nullptr, screen);
  if (inked > 0) {
    wchar_t text[256] = {};
    GetWindowTextW(child, text, 256);
    char utf8[1024] = {};
    WideCharToMultiByte(CP_UTF8, 0, text, -1, utf8, sizeof utf8, nullptr, nullptr);
    std::printf("\"%s\" runs into its button's edges (%d pixels of text beside them)\n", utf8, inked);
    ++*reinterpret_cast<int*>(data);
  }
  return TRUE;
}

// Polls every 100 ms until the window is (or is no longer) shown.
HWND Await(const wchar_t* caption, double seconds, bool shown) {
  for (double waited = 0; waited <= seconds; waited += 0.1) {
    HWND window = FindShown(caption);
    if ((window != nullptr) == shown) return window;
    Sleep(100);
  }
  return shown ? nullptr : FindShown(caption);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc > 2 && std::wstring(argv[1]) == L"--desktop") {
    // Before any window of the tool's own: a thread with windows cannot
    // change its desktop. A desktop just asked for may take a moment to come.
    HDESK desktop = nullptr;
    for (int tries = 0; tries < 100 && desktop == nullptr; ++tries) {
      desktop = OpenDesktopW(argv[2], 0, FALSE, GENERIC_ALL);
      if (desktop == nullptr) Sleep(100);
    }
    if (desktop == nullptr || !SetThreadDesktop(desktop)) {
      std::fprintf(stderr, "window_tool: no desktop of that name\n");
      return 1;
    }
    argc -= 2;
    argv += 2;
  }
  if (argc < 3) {
    std::fputs("usage: window_tool wait|gone|close|minimize|restore|rect|owner|fits|click|tab <caption> [seconds|button name|count]\n",
               stderr);
    return 2;
  }
  const std::wstring command = argv[1];
  const wchar_t* caption = argv[2];
  const double seconds = argc > 3 && command != L"click" && command != L"tab" ? _wtof(argv[3]) : 20.0;
  if (command == L"gone") return Await(caption, seconds, false) == nullptr ? 0 : 1;
  if (command == L"post") {  // a message to a window that need not be shown, as the shell sends it
    if (argc < 6) return 2;
    HWND target = FindWhere(nullptr, [caption](HWND window) { return TextIs(window, caption); });
    if (target == nullptr) return 1;
    return PostMessageW(target, static_cast<UINT>(_wtoi(argv[3])), static_cast<WPARAM>(_wtoi(argv[4])),
                        static_cast<LPARAM>(_wtoi(argv[5])))
               ? 0
               : 1;
  }
  HWND window = Await(caption, seconds, true);
  if (window == nullptr) {
    std::fprintf(stderr, "window_tool: no window shows the caption asked for\n");
    return 1;
  }
  if (command == L"wait") return 0;
  if (command == L"close") return PostMessageW(window, WM_CLOSE, 0, 0) ? 0 : 1;
  if (command == L"minimize") return PostMessageW(window, WM_SYSCOMMAND, SC_MINIMIZE, 0) ? 0 : 1;
  if (command == L"restore") return PostMessageW(window, WM_SYSCOMMAND, SC_RESTORE, 0) ? 0 : 1;
  if (command == L"owner") {
    HWND owner = GetWindow(window, GW_OWNER);
    if (owner == nullptr) return 1;
    wchar_t text[256] = {};
    GetWindowTextW(owner, text, 256);
    char utf8[1024] = {};
    const int size = WideCharToMultiByte(CP_UTF8, 0, text, -1, utf8, sizeof utf8, nullptr, nullptr);
    if (size <= 0) return 1;
    std::printf("%s\n", utf8);
    return 0;
  }
  if (command == L"fits") {
    int cut = 0;
    EnumChildWindows(window, CheckCaption, reinterpret_cast<LPARAM>(&cut));
    return cut == 0 ? 0 : 1;
  }
  if (command == L"rect") {
    RECT rect;
    GetWindowRect(window, &rect);
    std::printf("%ldx%ld+%ld+%ld\n", rect.right - rect.left, rect.bottom - rect.top, rect.left, rect.top);
    return 0;
  }
  if (command == L"tab" && argc > 3) {
    SetForegroundWindow(window);
    Sleep(200);
    for (int i = _wtoi(argv[3]); i > 0; --i) {
      INPUT keys[2] = {};
      keys[0].type = keys[1].type = INPUT_KEYBOARD;
      keys[0].ki.wVk = keys[1].ki.wVk = VK_TAB;
      keys[1].ki.dwFlags = KEYEVENTF_KEYUP;
      SendInput(2, keys, sizeof(INPUT));
      Sleep(100);
    }
    return 0;
  }
  if (command == L"click" && argc > 3) {
    HWND button = FindButton(window, argv[3]);
    if (button == nullptr) {
      std::fprintf(stderr, "window_tool: no push button has the name asked for\n");
      return 1;
    }
    return PostMessageW(button, BM_CLICK, 0, 0) ? 0 : 1;
  }
  return 2;
}
