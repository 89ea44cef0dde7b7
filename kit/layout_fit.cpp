#include "kit/layout_fit.h"

#include <algorithm>
#include <map>

namespace murrelet {
namespace {

constexpr int kWindow = -1;  // the parent of a row that sits in the client area

int ParentOf(std::span<const ControlLayout> layout, const ControlLayout& row) {
  if (row.parent.empty()) return kWindow;
  for (std::size_t i = 0; i < layout.size(); ++i) {
    if (layout[i].name == row.parent) return static_cast<int>(i);
  }
  return kWindow;
}

int DepthOf(std::span<const ControlLayout> layout, std::span<const int> parents, int index) {
  int depth = 0;
  // A layout is a tree; the bound only keeps a parent loop from hanging.
  for (int at = index; at != kWindow && depth <= static_cast<int>(layout.size()); at = parents[static_cast<std::size_t>(at)]) {
    ++depth;
  }
  return depth;
}

bool Overlap(int firstStart, int firstEnd, int secondStart, int secondEnd) {
  return firstStart < secondEnd && secondStart < firstEnd;
}

LayoutRect DesignOf(const ControlLayout& row) { return {row.left, row.top, row.width, row.height}; }

// The kinds that stretch to keep an edge lined up; controls with a text of
// their own keep the size their text asked for.
bool Stretches(ControlKind kind) {
  return kind == ControlKind::Group || kind == ControlKind::StatusBar || kind == ControlKind::Picture;
}

class Fitter {
 public:
  Fitter(std::span<const ControlLayout> layout, std::span<const ContentSize> needs)
      : layout_(layout), parents_(layout.size()) {
    fitted_.rects.reserve(layout.size());
    for (std::size_t i = 0; i < layout.size(); ++i) {
      parents_[i] = ParentOf(layout, layout[i]);
      LayoutRect rect = DesignOf(layout[i]);
      if (i < needs.size()) {
        rect.width = std::max(rect.width, needs[i].width);
        rect.height = std::max(rect.height, needs[i].height);
      }
      fitted_.rects.push_back(rect);
    }
  }

  FittedLayout Fit(int clientWidth, int clientHeight) {
    // Groups from the innermost out, so that a group's size is settled
    // before its own parent places it; the window last.
    std::vector<int> groups;
    for (std::size_t i = 0; i < layout_.size(); ++i) {
      if (layout_[i].kind == ControlKind::Group) groups.push_back(static_cast<int>(i));
    }
    std::stable_sort(groups.begin(), groups.end(), [&](int a, int b) {
      return DepthOf(layout_, parents_, a) > DepthOf(layout_, parents_, b);
    });
    for (const int group : groups) {
      LayoutRect& rect = fitted_.rects[static_cast<std::size_t>(group)];
      const ControlLayout& row = layout_[static_cast<std::size_t>(group)];
      Arrange(group, row.width, row.height, rect.width, rect.height);
    }
    fitted_.clientWidth = clientWidth;
    fitted_.clientHeight = clientHeight;
    Arrange(kWindow, clientWidth, clientHeight, fitted_.clientWidth, fitted_.clientHeight);
    return fitted_;
  }

 private:
  // Places the children of `parent` and grows its size (`width`, `height`)
  // round them, keeping the design's margins.
  void Arrange(int parent, int designWidth, int designHeight, int& width, int& height) {
    std::vector<std::size_t> children;
    for (std::size_t i = 0; i < layout_.size(); ++i) {
      if (parents_[i] == parent) children.push_back(i);
    }
    if (children.empty()) return;
    Push(children, true);
    Push(children, false);
    LineUp(children, true);
    LineUp(children, false);
    // Each child keeps its design distance to the parent's far edges.
    for (const std::size_t child : children) {
      const ControlLayout& row = layout_[child];
      width = std::max(width, fitted_.rects[child].Right() + std::max(0, designWidth - row.left - row.width));
      height = std::max(height, fitted_.rects[child].Bottom() + std::max(0, designHeight - row.top - row.height));
    }
    // Groups, bars and pictures that reached the parent's edge still do.
    for (const std::size_t child : children) {
      if (!Stretches(layout_[child].kind)) continue;
      LayoutRect& rect = fitted_.rects[child];
      if (layout_[child].left + layout_[child].width >= designWidth) rect.width = std::max(rect.width, width - rect.left);
      if (layout_[child].top + layout_[child].height >= designHeight) rect.height = std::max(rect.height, height - rect.top);
    }
  }

  // Moves each child right (or down) behind the children before it on its
  // line (or in its column), by as much as those grew or moved.
  void Push(std::vector<std::size_t> children, bool across) {
    const auto start = [&](std::size_t i) { return across ? layout_[i].left : layout_[i].top; };
    std::stable_sort(children.begin(), children.end(), [&](std::size_t a, std::size_t b) { return start(a) < start(b); });
    for (std::size_t k = 0; k < children.size(); ++k) {
      const ControlLayout& row = layout_[children[k]];
      LayoutRect& rect = fitted_.rects[children[k]];
      for (std::size_t j = 0; j < k; ++j) {
        const ControlLayout& before = layout_[children[j]];
        const LayoutRect& moved = fitted_.rects[children[j]];
        if (across) {
          const int designEnd = before.left + before.width;
          if (designEnd > row.left || !Overlap(before.top, before.top + before.height, row.top, row.top + row.height)) continue;
          rect.left = std::max(rect.left, moved.Right() + (row.left - designEnd));
        } else {
          const int designEnd = before.top + before.height;
          if (designEnd > row.top || !Overlap(before.left, before.left + before.width, row.left, row.left + row.width)) continue;
          rect.top = std::max(rect.top, moved.Bottom() + (row.top - designEnd));
        }
      }
    }
  }

  // Groups, bars and pictures whose right (or bottom) edges lined up in the
  // design reach as far as the farthest of those rows does now.
  void LineUp(const std::vector<std::size_t>& children, bool across) {
    std::map<int, int> farthest;  // design edge -> its farthest edge now
    const auto designEdge = [&](std::size_t i) {
      return across ? layout_[i].left + layout_[i].width : layout_[i].top + layout_[i].height;
    };
    const auto edge = [&](std::size_t i) { return across ? fitted_.rects[i].Right() : fitted_.rects[i].Bottom(); };
    for (const std::size_t child : children) {
      int& far = farthest.try_emplace(designEdge(child), edge(child)).first->second;
      far = std::max(far, edge(child));
    }
    for (const std::size_t child : children) {
      if (!Stretches(layout_[child].kind)) continue;
      LayoutRect& rect = fitted_.rects[child];
      const int far = farthest[designEdge(child)];
      if (across) rect.width = std::max(rect.width, far - rect.left);
      else rect.height = std::max(rect.height, far - rect.top);
    }
  }

  std::span<const ControlLayout> layout_;
  std::vector<int> parents_;
  FittedLayout fitted_;
};

}  // namespace

FittedLayout FitLayout(std::span<const ControlLayout> layout, std::span<const ContentSize> needs, int clientWidth,
                       int clientHeight) {
  return Fitter(layout, needs).Fit(clientWidth, clientHeight);
}

LayoutRect InClientArea(std::span<const ControlLayout> layout, const FittedLayout& fitted, std::size_t index) {
  LayoutRect rect = fitted.rects.at(index);
  std::size_t hops = 0;
  for (int parent = ParentOf(layout, layout[index]); parent != kWindow && hops++ < layout.size();
       parent = ParentOf(layout, layout[static_cast<std::size_t>(parent)])) {
    rect.left += fitted.rects[static_cast<std::size_t>(parent)].left;
    rect.top += fitted.rects[static_cast<std::size_t>(parent)].top;
  }
  return rect;
}

int FittedWidth(int designWidth, int neededWidth, int room) {
  if (neededWidth <= designWidth) return designWidth;
  return std::max(designWidth, std::min(neededWidth, room));
}

int RoomToTheRight(const ControlLayout& row, std::span<const ControlLayout> layout, int parentInnerRight) {
  int right = parentInnerRight;
  for (const ControlLayout& other : layout) {
    if (other.name == row.name || other.parent != row.parent || other.kind == ControlKind::Timer) continue;
    const bool sharesRows = other.top < row.top + row.height && row.top < other.top + other.height;
    if (sharesRows && other.left >= row.left + row.width) right = std::min(right, other.left - 1);
  }
  return std::max(row.width, right - row.left);
}

int StretchToFit(int neededWidth, int availableWidth) {
  if (neededWidth <= availableWidth || neededWidth <= 0) return 100;
  return std::max(kMinStretch, static_cast<int>(static_cast<long long>(std::max(availableWidth, 0)) * 100 / neededWidth));
}

std::vector<PanelSpan> StatusPanelSpans(std::span<const int> designWidths, int gap, int barWidth) {
  std::vector<PanelSpan> spans;
  int left = 0;
  for (const int width : designWidths) {
    spans.push_back({left, width});
    left += width + gap;
  }
  if (!spans.empty()) spans.back().width = std::max(spans.back().width, barWidth - spans.back().left);
  return spans;
}

}  // namespace murrelet
