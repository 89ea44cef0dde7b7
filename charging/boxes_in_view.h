// Message boxes the user can see. A box belongs to the main window, and a box
// that belongs to a minimised or hidden window may never be seen (Windows
// hides what a minimised window owns; on X11 a box transient for an
// iconified or unmapped window may stay unmapped), so the main window is
// brought back before each box, also from behind the notification-area
// icon: a start at log-in whose run fails by itself says so where the user
// looks.
#pragma once

#include <string_view>

#include "kit/form.h"
#include "kit/message_box.h"

namespace murrelet {

class BoxesInView : public MessageBoxes {
 public:
  BoxesInView(MessageBoxes& boxes, FormHost& forms) : boxes_(boxes), forms_(forms) {}
  // The window to bring back; before it is shown (the first-start notice)
  // a box stands on its own.
  void SetMainWindow(Form* main) { main_ = main; }
  void Show(BoxKind kind, std::string_view caption, std::string_view text) override;
  // How many boxes are open now (a box's loop may run ticks that show another).
  int Depth() const { return depth_; }

 private:
  MessageBoxes& boxes_;
  FormHost& forms_;
  Form* main_ = nullptr;
  int depth_ = 0;
};

}  // namespace murrelet
