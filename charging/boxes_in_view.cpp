#include "charging/boxes_in_view.h"

namespace murrelet {

void BoxesInView::Show(BoxKind kind, std::string_view caption, std::string_view text) {
  if (main_ != nullptr && main_->Visible && forms_.IsMinimized(*main_)) forms_.Show(*main_);
  boxes_.Show(kind, caption, text);
}

}  // namespace murrelet
