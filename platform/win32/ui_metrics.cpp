#include "platform/win32/ui_metrics.h"

#include <algorithm>
#include <iterator>
#include <map>
#include <string>
#include <vector>

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

// Latin letters, digits and each kind of Japanese the windows show.
constexpr wchar_t kSample[] = L"KESTRA T48R 100% OK 12:00 PM 充電開始の設定シャットダウンｷｬﾝｾﾙＡＣ％、。";

// Whether `face` draws the sample with glyphs of its own: a face the
// font mapper links others to draws more, but this cannot be asked.
bool DrawsSample(const std::wstring& face, BYTE charset) {
  HFONT font = CreateFontW(-12, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, charset, OUT_DEFAULT_PRECIS,
                           CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, face.c_str());
  if (font == nullptr) return false;
  HDC screen = GetDC(nullptr);
  HGDIOBJ previous = SelectObject(screen, font);
  constexpr int kLength = static_cast<int>(std::size(kSample) - 1);
  WORD glyphs[kLength] = {};
  const bool all = GetGlyphIndicesW(screen, kSample, kLength, glyphs, GGI_MARK_NONEXISTING_GLYPHS) == kLength &&
                   std::find(std::begin(glyphs), std::end(glyphs), WORD{0xFFFF}) == std::end(glyphs);
  SelectObject(screen, previous);
  ReleaseDC(nullptr, screen);
  DeleteObject(font);
  return all;
}

struct FoundFace {
  std::wstring face;
  int rank;  // lower first: proportional before fixed, Gothic before Mincho
};

int CALLBACK NoteJapaneseFace(const LOGFONTW* font, const TEXTMETRICW* metrics, DWORD, LPARAM faces) {
  if (font->lfFaceName[0] == L'@') return 1;  // the faces for vertical writing
  auto& found = *reinterpret_cast<std::vector<FoundFace>*>(faces);
  const bool fixed = (metrics->tmPitchAndFamily & TMPF_FIXED_PITCH) == 0;  // the bit means variable pitch
  const bool serif = (font->lfPitchAndFamily & 0xF0) == FF_ROMAN;
  const auto same = [&](const FoundFace& f) { return f.face == font->lfFaceName; };
  if (std::find_if(found.begin(), found.end(), same) == found.end()) {
    found.push_back({font->lfFaceName, (fixed ? 2 : 0) + (serif ? 1 : 0)});
  }
  return 1;
}

// Installed faces with Japanese glyphs; the Japanese user-interface faces of
// Windows first, which Windows links its message font to.
std::vector<std::wstring> JapaneseFaces() {
  std::vector<FoundFace> found;
  LOGFONTW query{};
  query.lfCharSet = SHIFTJIS_CHARSET;
  HDC screen = GetDC(nullptr);
  EnumFontFamiliesExW(screen, &query, NoteJapaneseFace, reinterpret_cast<LPARAM>(&found), 0);
  ReleaseDC(nullptr, screen);
  const wchar_t* const interfaceFaces[] = {L"Yu Gothic UI", L"Meiryo UI", L"MS UI Gothic"};
  for (FoundFace& f : found) {
    for (std::size_t i = 0; i < std::size(interfaceFaces); ++i) {
      if (f.face == interfaceFaces[i]) f.rank = -10 + static_cast<int>(i);
    }
  }
  std::stable_sort(found.begin(), found.end(), [](const FoundFace& a, const FoundFace& b) { return a.rank < b.rank; });
  std::vector<std::wstring> faces;
  for (const FoundFace& f : found) faces.push_back(f.face);
  return faces;
}

// The face a window's text is drawn in, and the character set to ask for.
struct ChosenFace {
  std::wstring face;
  BYTE charset = DEFAULT_CHARSET;
};

// The design face where it is installed (under its Japanese or its English
// name); else the system's own message font, which has Latin letters. Asking
// the font mapper for the missing design face instead may give a face without
// Latin letters. Where the message font has no Japanese glyphs of its own
// (Segoe UI on an English Windows, Tahoma under Wine), a Japanese face with
// Latin letters that draws every kind of text the windows show; on Windows
// that is the face the message font is linked to for Japanese.
ChosenFace ChooseFace(const DesignFont& design) {
  // The windows ask for their font a few times at start and at each DPI
  // change; the answer for a face does not change while the program runs.
  static std::map<std::string, ChosenFace, std::less<>> chosen;
  const auto known = chosen.find(design.face);
  if (known != chosen.end()) return known->second;
  ChosenFace face;
  for (const std::wstring& candidate : {Widen(design.face), std::wstring(L"MS PGothic")}) {
    if (FaceInstalled(candidate)) {
      face = {candidate, SHIFTJIS_CHARSET};
      break;
    }
  }
  if (face.face.empty()) {
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof(metrics);
    if (SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0) &&
        metrics.lfMessageFont.lfFaceName[0] != L'\0') {
      face = {metrics.lfMessageFont.lfFaceName, metrics.lfMessageFont.lfCharSet};
    } else {
      face = {L"MS Shell Dlg 2", DEFAULT_CHARSET};
    }
    if (!DrawsSample(face.face, face.charset)) {
      for (const std::wstring& japanese : JapaneseFaces()) {
        if (DrawsSample(japanese, SHIFTJIS_CHARSET)) {
          face = {japanese, SHIFTJIS_CHARSET};
          break;
        }
      }
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
  const ChosenFace face = ChooseFace(design);
  return OwnedFont(CreateFontW(-Scale(design.pixels, dpi), 0, 0, 0, bold ? FW_BOLD : FW_NORMAL, FALSE, FALSE,
                               FALSE, face.charset, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                               DEFAULT_PITCH | FF_DONTCARE, face.face.c_str()));
}

std::wstring WindowFontFace(const DesignFont& design) { return ChooseFace(design).face; }

}  // namespace murrelet::win32
