#include "platform/win32/ui_metrics.h"

#include <map>
#include <string>

#include "platform/win32/text_encoding.h"
#include "platform/win32/windows_api.h"

namespace murrelet::win32 {
namespace {

// Both calls exist from Windows 10 1607 on; earlier systems scale by the
// system DPI.
template <typename Call>
Call User32(const char* name) {
  const HMODULE user32 = GetModuleHandleW(L"user32.dll");
  return user32 ? reinterpret_cast<Call>(reinterpret_cast<void*>(GetProcAddress(user32, name))) : nullptr;
}

int CALLBACK NoteFace(const LOGFONTW*, const TEXTMETRICW*, DWORD, LPARAM found) {
  *reinterpret_cast<bool*>(found) = true;
  return 0;
}

bool FaceInstalled(const std::wstring& face) {
  LOGFONTW query{};
  query.lfCharSet = DEFAULT_CHARSET;
  face.copy(query.lfFaceName, LF_FACESIZE - 1);
  bool found = false;
  HDC screen = GetDC(nullptr);
  EnumFontFamiliesExW(screen, &query, NoteFace, reinterpret_cast<LPARAM>(&found), 0);
  ReleaseDC(nullptr, screen);
  return found;
}

std::wstring ChosenFace(const DesignFont& design) {
  // The windows ask for their font a few times at start and at each DPI
  // change; the answer for a face does not change while the program runs.
  static std::map<std::string, std::wstring, std::less<>> chosen;
  const auto known = chosen.find(design.face);
  if (known != chosen.end()) return known->second;
  std::wstring face = Widen(design.face);  // the font mapper then picks a Japanese face
  for (const std::wstring& candidate : {Widen(design.face), std::wstring(L"MS PGothic"), std::wstring(L"Meiryo UI")}) {
    if (FaceInstalled(candidate)) {
      face = candidate;
      break;
    }
  }
  chosen.emplace(std::string(design.face), face);
  return face;
}

}  // namespace

unsigned WindowDpi(WindowHandle window) {
  using GetDpiForWindowCall = UINT(WINAPI*)(HWND);
  static const auto getDpi = User32<GetDpiForWindowCall>("GetDpiForWindow");
  if (getDpi != nullptr) {
    const UINT dpi = getDpi(window);
    if (dpi != 0) return dpi;
  }
  HDC screen = GetDC(nullptr);
  const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(nullptr, screen);
  return dpi > 0 ? static_cast<unsigned>(dpi) : 96;
}

void OuterSize(int clientWidth, int clientHeight, unsigned long style, unsigned long exStyle, unsigned dpi,
               int& width, int& height) {
  using AdjustCall = BOOL(WINAPI*)(LPRECT, DWORD, BOOL, DWORD, UINT);
  static const auto adjust = User32<AdjustCall>("AdjustWindowRectExForDpi");
  RECT rect{0, 0, Scale(clientWidth, dpi), Scale(clientHeight, dpi)};
  if (adjust == nullptr || !adjust(&rect, style, FALSE, exStyle, dpi)) AdjustWindowRectEx(&rect, style, FALSE, exStyle);
  width = rect.right - rect.left;
  height = rect.bottom - rect.top;
}

void FontDeleter::operator()(FontHandle font) const {
  if (font != nullptr) DeleteObject(font);
}

OwnedFont CreateWindowFont(const DesignFont& design, unsigned dpi, bool bold) {
  const std::wstring face = ChosenFace(design);
  return OwnedFont(CreateFontW(-Scale(design.pixels, dpi), 0, 0, 0, bold ? FW_BOLD : FW_NORMAL, FALSE, FALSE,
                               FALSE, SHIFTJIS_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                               DEFAULT_PITCH | FF_DONTCARE, face.c_str()));
}

}  // namespace murrelet::win32
