// The pictures and button glyphs, from the program's resources. Glyphs carry
// straight alpha and are drawn blended over the button face.
#pragma once

#include <string_view>

#include "platform/win32/window_hook.h"

struct HDC__;
struct HBITMAP__;

namespace murrelet::win32 {

using DeviceContext = HDC__*;

class Artwork {
 public:
  // `name` is the layout's artwork name ("start"); `disabled` picks the
  // "_disabled" variant; `large` the "@2x" drawing for high-DPI screens.
  Artwork(std::string_view name, bool disabled, bool large);
  ~Artwork();
  Artwork(const Artwork&) = delete;
  Artwork& operator=(const Artwork&) = delete;

  bool Loaded() const { return bitmap_ != nullptr; }
  int Width() const { return width_; }
  int Height() const { return height_; }
  // Draws the whole picture into the rectangle, scaled.
  void Draw(DeviceContext dc, int left, int top, int width, int height) const;

 private:
  HBITMAP__* bitmap_ = nullptr;
  int width_ = 0;
  int height_ = 0;
  bool alpha_ = false;
};

}  // namespace murrelet::win32
