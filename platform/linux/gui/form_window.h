// The real window of one form: a widget per layout row, a view per control
// that mirrors the control into its widget, and the window procedure the
// power monitor hooks.
#pragma once

#include <QFont>
#include <QTimer>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "kit/form.h"
#include "platform/linux/gui/widgets.h"

namespace murrelet::linux_platform {

class QtFormHost;

// The design face first; Debian has it only as Noto Sans CJK JP.
QFont FormFont(const DesignFont& design);

class FormWindow : public ProcedureWindow {
 public:
  FormWindow(QtFormHost& host, Form& form, bool dialog);
  ~FormWindow() override;
  FormWindow(const FormWindow&) = delete;
  FormWindow& operator=(const FormWindow&) = delete;

  Form& TheForm() { return form_; }
  // The window, with its controls made.
  FormWidget& Widget() {
    Build();
    return *widget_;
  }
  // The widget made for a layout row (or a timer's QTimer), by control name.
  QObject* ObjectOf(std::string_view name);
  // The control whose widget is `widget` or holds it (a spin box's editor).
  Control* ControlOf(const QWidget* widget) const;
  // Gives the keyboard focus on when the control that held it before an
  // action of the program is disabled now.
  void KeepFocusAfter(Control& focusedBefore);
  // Puts the keyboard focus on the first control, drawn, as each opening of
  // a dialog starts.
  void FocusFirstControl();

 private:
  // Makes a widget per layout row, once.
  void Build();
  void MakeTimers();
  // The object made for `name` so far, without making any.
  QObject* Made(std::string_view name) const;
  // A widget made for a row, and how its control's state is shown in it.
  struct Built {
    QWidget* widget;
    std::function<void(const Control&)> apply;
  };
  QWidget* MakeWidget(const ControlLayout& row, QWidget* parent, Control* control);
  Built MakeGroup(const ControlLayout& row, QWidget* parent, Control* control);
  Built MakeLabel(const ControlLayout& row, QWidget* parent, Control* control);
  Built MakeButton(const ControlLayout& row, QWidget* parent, Control* control);
  Built MakeSpinEdit(const ControlLayout& row, QWidget* parent, Control* control);
  Built MakeCheckBox(const ControlLayout& row, QWidget* parent, Control* control);
  Built MakeComboBox(const ControlLayout& row, QWidget* parent, Control* control);
  Built MakeProgressBar(const ControlLayout& row, QWidget* parent, Control* control);
  Built MakeStatusBar(const ControlLayout& row, QWidget* parent, Control* control);
  Built MakePicture(const ControlLayout& row, QWidget* parent, Control* control);
  // Attaches the view that mirrors `control` into the made widget.
  void Bind(const ControlLayout& row, Control& control, const Built& made);
  void FitWidths();
  void SetTabOrder();
  // Enter and Escape in a dialog press its default and cancel buttons.
  bool PressKeyButton(int key);

  QtFormHost& host_;
  Form& form_;
  std::unique_ptr<FormWidget> widget_;
  std::map<std::string, QObject*, std::less<>> objects_;
  std::vector<std::unique_ptr<ControlView>> views_;
  std::vector<std::pair<Control*, ControlView*>> bound_;
  bool built_ = false;
};

}  // namespace murrelet::linux_platform
