#include "charging/boxes_in_view.h"

#include "kit/scope_exit.h"

namespace murrelet {

void BoxesInView::Show(BoxKind kind, std::string_view caption, std::string_view text) {
  if (main_ != nullptr && (!main_->Visible || forms_.IsMinimized(*main_))) {
    forms_.Show(*main_);
    main_->Visible = true;
  }
  ++depth_;
  const ScopeExit shown([this] { --depth_; });
  boxes_.Show(kind, caption, text);
}

}  // namespace murrelet
