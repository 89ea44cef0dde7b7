// Plays a timed run on a real event loop and records when its ticks come: the
// probe sets the minutes spin box, presses the start button and notes the
// monotonic time of the press, of the first tick after it and of the tick
// that shows "充電完了". The event loop and the windows are the platform's
// own; only the line service and the store are simulated, so the run can start.
#pragma once

#include <chrono>
#include <cstdio>
#include <functional>
#include <string>

#include "charging/main_form.h"

namespace murrelet::bench {

class CountdownProbe {
 public:
  using Clock = std::chrono::steady_clock;

  // Runs an action, delivered as the platform delivers a click, half a second from now.
  using Later = std::function<void(std::function<void()> action)>;

  // `seconds` 0 plays a full run of `minutes`; otherwise the run is cut to that
  // many seconds after the start (a quick check of the harness, not a figure).
  CountdownProbe(TMainForm& main, int minutes, int seconds, Later later, std::function<void()> done)
      : main_(main), minutes_(minutes), seconds_(seconds), later_(std::move(later)), done_(std::move(done)) {
    original_ = main_.Timer1.OnTimer;
    main_.Timer1.OnTimer = [this](Control& sender) { Tick(sender); };
  }

 private:
  // The press comes half a period after the first tick, so the first tick of
  // the run comes about 0.5 s after it, the same in every run.
  void Start() {
    for (int i = 0; i < minutes_ / 10; ++i) main_.SpinEdit2.UserStep(+1);
    started_ = Clock::now();
    main_.SpeedButton2.UserClick();
    if (seconds_ > 0 && main_.Run.Charging) main_.Run.RemainingSeconds = seconds_;
    length_ = main_.Run.RemainingSeconds;
  }

 public:
  bool Finished() const { return !end_.empty(); }

  // One line for the benchmark script:
  //   countdown loop=L seconds=N wall_ms=W error_ms=E drift_ms=D text_ok=0|1
  // W: from the press to the tick that ends the run; E = W - N s, the error a
  // user sees; D: from the first tick after the press to the last, less N s,
  // the part that grows with the run's length (the first tick's phase does not).
  void Print(const char* loop) const {
    using Ms = std::chrono::duration<double, std::milli>;
    const double wall = Ms(ended_ - started_).count();
    const double drift = Ms(ended_ - first_).count() - length_ * 1000.0;
    std::printf("countdown loop=%s seconds=%d wall_ms=%.1f error_ms=%.1f drift_ms=%.1f ticks=%d text_ok=%d\n", loop,
                length_, wall, wall - length_ * 1000.0, drift, ticks_, end_ == "充電完了" ? 1 : 0);
    std::fflush(stdout);
  }

 private:
  void Tick(Control& sender) {
    const Clock::time_point now = Clock::now();
    const bool wasCharging = main_.Run.Charging;
    if (original_) original_(sender);
    if (!armed_) {
      armed_ = true;
      later_([this] { Start(); });
    }
    if (!wasCharging) return;
    if (ticks_++ == 0) first_ = now;
    if (!main_.Run.Charging) {
      ended_ = now;
      end_ = main_.StatusBar.Panel(0);
      if (end_.empty()) end_ = "(empty)";
      done_();
    }
  }

  TMainForm& main_;
  int minutes_;
  int seconds_;
  Later later_;
  std::function<void()> done_;
  bool armed_ = false;
  Handler original_;
  Clock::time_point started_, first_, ended_;
  int length_ = 0;
  int ticks_ = 0;
  std::string end_;
};

}  // namespace murrelet::bench
