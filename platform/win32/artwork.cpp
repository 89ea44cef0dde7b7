#include "platform/win32/artwork.h"

#include <cctype>
#include <string>

#include "platform/win32/windows_api.h"

namespace murrelet::win32 {
namespace {

// Resource names are the artwork names in capitals: START, START_DISABLED,
// START_2X, START_DISABLED_2X.
std::wstring ResourceName(std::string_view name, bool disabled, bool large) {
  std::wstring resource;
  for (const char c : name) resource.push_back(static_cast<wchar_t>(std::toupper(static_cast<unsigned char>(c))));
  if (disabled) resource += L"_DISABLED";
  if (large) resource += L"_2X";
  return resource;
}

}  // namespace

Artwork::Artwork(std::string_view name, bool disabled, bool large) {
  HINSTANCE module = GetModuleHandleW(nullptr);
  HANDLE image = LoadImageW(module, ResourceName(name, disabled, large).c_str(), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION);
  if (image == nullptr && large) {
    image = LoadImageW(module, ResourceName(name, disabled, false).c_str(), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION);
  }
  if (image == nullptr) return;
  bitmap_ = static_cast<HBITMAP>(image);
  DIBSECTION section{};
  if (GetObjectW(bitmap_, sizeof(section), &section) != sizeof(section)) {
    BITMAP plain{};
    GetObjectW(bitmap_, sizeof(plain), &plain);
    width_ = plain.bmWidth;
    height_ = plain.bmHeight;
    return;
  }
  width_ = section.dsBm.bmWidth;
  height_ = section.dsBm.bmHeight;
  if (section.dsBm.bmBitsPixel != 32 || section.dsBm.bmBits == nullptr) return;
  // AlphaBlend wants premultiplied colour; the files hold straight alpha.
  auto* pixel = static_cast<unsigned char*>(section.dsBm.bmBits);
  const long count = static_cast<long>(width_) * height_;
  for (long i = 0; i < count; ++i, pixel += 4) {
    const unsigned alpha = pixel[3];
    for (int channel = 0; channel < 3; ++channel) pixel[channel] = static_cast<unsigned char>(pixel[channel] * alpha / 255);
  }
  alpha_ = true;
}

Artwork::~Artwork() {
  if (bitmap_ != nullptr) DeleteObject(bitmap_);
}

void Artwork::Draw(DeviceContext dc, int left, int top, int width, int height) const {
  if (bitmap_ == nullptr) return;
  HDC source = CreateCompatibleDC(dc);
  HGDIOBJ previous = SelectObject(source, bitmap_);
  if (alpha_) {
    const BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    AlphaBlend(dc, left, top, width, height, source, 0, 0, width_, height_, blend);
  } else {
    SetStretchBltMode(dc, HALFTONE);
    SetBrushOrgEx(dc, 0, 0, nullptr);
    StretchBlt(dc, left, top, width, height, source, 0, 0, width_, height_, SRCCOPY);
  }
  SelectObject(source, previous);
  DeleteDC(source);
}

}  // namespace murrelet::win32
