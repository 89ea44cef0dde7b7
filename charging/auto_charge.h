// When a run starts by itself: on the idle poll that finds the handset after
// it was absent, or on the first poll after the program starts when the
// handset is already there. Only once for each connection, so a run that the
// time, a rule or the stop button ended is not started again while the
// handset stays plugged in, and a start that fails is reported once.
#pragma once

namespace murrelet {

// What one idle poll learned of the handset. A search that could not look
// (the telephony service refused to start, as it does while it reconfigures)
// learned nothing: it is no unplug.
enum class HandsetSeen { Found, Absent, Unknown };

class AutoChargeTrigger {
 public:
  // Called by each idle poll with what it found. `enabled` is the user's
  // "AutoCharge" setting; `canStartNow` is false while the program cannot
  // start a run or a rule would end it at once (the settings dialog is open,
  // a start is under way, the program is closing, on battery power with the
  // AC-only rule), which keeps the connection's one start for later.
  // True: this poll starts the run.
  bool Poll(HandsetSeen seen, bool enabled, bool canStartNow);

  // A run started, by the button or by itself: this connection's start is
  // used up, so its end does not start another while the handset stays.
  void RunStarted() { armed_ = false; }

 private:
  // The program has just started or the last poll found no handset, and no
  // poll or run since has taken this connection's start (or let it go by,
  // with the setting off).
  bool armed_ = true;
};

}  // namespace murrelet
