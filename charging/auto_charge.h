// When a run starts by itself: on the idle poll that finds the handset after
// it was absent, or on the first poll after the program starts when the
// handset is already there. Only once for each connection, so a run that the
// time, a rule or the stop button ended is not started again while the
// handset stays plugged in, and a start that fails is reported once.
#pragma once

namespace murrelet {

class AutoChargeTrigger {
 public:
  // Called by each idle poll with what it found. `enabled` is the user's
  // "AutoCharge" setting; `canStartNow` is false while the program cannot
  // start a run (the settings dialog is open, a start is under way, the
  // settings are not loaded yet), which keeps the connection's one start for
  // later. True: this poll starts the run.
  bool Poll(bool handsetFound, bool enabled, bool canStartNow);

 private:
  // The program has just started or the last poll found no handset, and no
  // poll since has taken this connection's start (or let it go by, with the
  // setting off).
  bool armed_ = true;
};

}  // namespace murrelet
