// The simulated desktop: message boxes that are recorded and answered OK,
// windows whose window procedure can be hooked, and modal dialogs answered
// by a script.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "kit/form.h"
#include "kit/message_box.h"
#include "kit/run_status_sink.h"
#include "kit/session_start.h"
#include "kit/tray_icon.h"

namespace murrelet::sim {

struct RecordedBox {
  BoxKind kind;
  std::string caption;
  std::string text;
};

class SimBoxes : public MessageBoxes {
 public:
  void Show(BoxKind kind, std::string_view caption, std::string_view text) override;
  std::vector<RecordedBox> shown;
  // Run inside the next box's nested loop before it is answered.
  int modalTicks = 0;
  std::function<void(int ticks)> runTicks;
  int depth = 0;
};

class SimWindow : public ProcedureWindow {
 public:
  SimWindow();
  // The default procedure's answer to every message.
  std::intptr_t defaultResult = 1;
  std::vector<std::uint32_t> defaultSeen;  // messages that reached the default procedure
};

class SimForms : public FormHost {
 public:
  OwnerWindow& CreateWindow(Form& form) override;
  void Show(Form& form) override {
    form.Visible = true;
    minimized.erase(&form);
  }
  void ShowMinimized(Form& form) override {
    form.Visible = true;
    minimized.insert(&form);
  }
  void Hide(Form& form) override { form.Visible = false; }
  TModalResult ShowModal(Form& form) override;
  void Quit() override { quit = true; }
  void SetApplicationTitle(const std::string& title) override { applicationTitle = title; }
  bool IsMinimized(const Form& form) const override { return minimized.count(&form) != 0; }
  // A minimised window is not the one the user works in.
  bool IsActive(const Form& form) const override {
    return programActive && form.Visible && minimized.count(&form) == 0;
  }

  SimWindow* WindowOf(const Form& form);

  // Plays the user's part while a modal dialog is shown; without one the
  // dialog is closed at once.
  std::function<void(Form& form)> modalScript;
  bool quit = false;
  std::string applicationTitle;
  int modalDepth = 0;
  // The program's windows have the user's attention (else another program's
  // window is the active one).
  bool programActive = true;
  // Windows shown minimised and not restored since.
  std::set<const Form*> minimized;

 private:
  std::map<const Form*, std::unique_ptr<SimWindow>> windows_;
};

// The log-in entry as the session would find it.
class SimSessionStart : public SessionStartEntry {
 public:
  bool Set(bool startWithSession) override {
    ++writes;
    if (fail) return false;
    present = startWithSession;
    return true;
  }
  bool IsSet() const override { return present; }
  bool present = false;  // the session would start the program
  bool fail = false;     // writing or removing the entry fails
  int writes = 0;        // how many times the program wrote or removed it
};

struct RecordedNotice {
  std::string title;
  std::string text;
};

// The task-bar button's progress and the notices, as the user would see them.
class SimRunStatus : public RunStatusSink {
 public:
  void SetTaskbarProgress(const TaskbarProgress& value) override {
    progress = value;
    ++progressUpdates;
  }
  void ShowNotice(std::string_view title, std::string_view text) override {
    notices.push_back({std::string(title), std::string(text)});
  }
  TaskbarProgress progress;
  int progressUpdates = 0;
  std::vector<RecordedNotice> notices;
};

// The notification area and the program's icon in it, as the user would see
// them; the user's actions on it come from the script.
class SimTrayIcon : public TrayIcon {
 public:
  bool Available() const override { return available; }
  void Show(TrayLook shownLook, std::string_view shownTooltip, std::span<const TrayMenuItem> shownMenu) override {
    visible = true;
    look = shownLook;
    tooltip.assign(shownTooltip);
    menu.assign(shownMenu.begin(), shownMenu.end());
    ++updates;
  }
  void Hide() override {
    visible = false;
    tooltip.clear();
    menu.clear();
  }
  void ShowNotice(std::string_view title, std::string_view text) override {
    notices.push_back({std::string(title), std::string(text)});
  }
  // A notification area appeared or went: an icon in it goes with it.
  void SetAvailable(bool now) {
    available = now;
    if (!now) Hide();
  }

  bool available = true;
  bool visible = false;
  TrayLook look = TrayLook::Idle;
  std::string tooltip;
  std::vector<TrayMenuItem> menu;
  int updates = 0;
  std::vector<RecordedNotice> notices;
};

}  // namespace murrelet::sim
