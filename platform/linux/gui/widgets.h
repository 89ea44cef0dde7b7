// The few widgets that need behaviour of their own.
#pragma once

#include <QFrame>
#include <QLabel>
#include <QSpinBox>
#include <QWidget>
#include <functional>
#include <vector>

class QCloseEvent;
class QKeyEvent;

namespace murrelet::linux_platform {

// A spin box whose text cannot be typed into; each arrow step is handed to
// the program, which decides the new value and shows it back.
class StepSpinBox : public QSpinBox {
 public:
  explicit StepSpinBox(QWidget* parent);
  std::function<void(int direction)> onStep;
  void stepBy(int steps) override;

 protected:
  StepEnabled stepEnabled() const override;
};

// The status bar: a sunken panel per text, the last centred.
class StatusPanels : public QFrame {
 public:
  // One panel per design width, placed across the bar by the core
  // (StatusPanelSpans): the last reaches the bar's end.
  StatusPanels(QWidget* parent, std::vector<int> panelWidths, int designHeight);
  QLabel* Panel(std::size_t index) { return index == 0 ? panel0_ : panel1_; }

  // Shows `text` whole in a panel: narrowed when it nearly fits, and in
  // panel 0 (a long handset name) wrapped onto more lines when even narrowed
  // it does not; the bar then grows downwards and tells onGrown by how much
  // beyond its design height (0 once one line does again).
  void ShowText(std::size_t index, const QString& text);
  std::function<void(int extraHeight)> onGrown;

 protected:
  void resizeEvent(QResizeEvent* event) override;

 private:
  // True when a panel's width changed.
  bool PlacePanels();
  QLabel* panel0_;
  QLabel* panel1_;
  std::vector<int> panelWidths_;
  int designHeight_;
  int extraHeight_ = 0;
};

// A top-level window whose close box is reported instead of closing it.
class FormWidget : public QWidget {
 public:
  explicit FormWidget(Qt::WindowFlags flags) : QWidget(nullptr, flags) {}
  std::function<void()> onCloseBox;
  // The window became minimised (the frame's button, the desktop's shortcut).
  std::function<void()> onMinimized;
  // A key that no control took; true when the window acted on it.
  std::function<bool(int key)> onKey;

 protected:
  void closeEvent(QCloseEvent* event) override;
  void changeEvent(QEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
};

}  // namespace murrelet::linux_platform
