// Runs a function when the scope is left, by return or by an exception: the
// program's one way to undo a step on every path out of a handler.
#pragma once

#include <utility>

namespace murrelet {

template <typename Undo>
class ScopeExit {
 public:
  explicit ScopeExit(Undo undo) : undo_(std::move(undo)) {}
  ~ScopeExit() { undo_(); }
  ScopeExit(const ScopeExit&) = delete;
  ScopeExit& operator=(const ScopeExit&) = delete;

 private:
  Undo undo_;
};

}  // namespace murrelet
