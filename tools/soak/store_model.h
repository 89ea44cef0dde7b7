// What the settings key must hold after each step, worked out from the
// program's rules rather than read back from it: a close, an OK in the
// settings dialog, the end of the session and the program's own shutdown
// request write every value (the eight and the three added after 2.0), a start may create the empty key, and
// nothing else touches the store. So no step can lose what an earlier write
// stored.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "charging/charge_state.h"
#include "platform/sim/sim_store.h"
#include "tools/soak/state_checks.h"

namespace murrelet::soak {

class StoreModel {
 public:
  // The soak changed the store itself: take it as it now is.
  void Take(const sim::SimStore& store);

  // A program has just started: a missing key was created, empty, unless
  // the store refused. `loaded` are the settings the start left in place;
  // `infoBoxes` counts the first-start boxes shown by the start.
  void Started(const sim::SimStore& store, const ChargeSettings& loaded, int infoBoxes, Findings& out);

  // The program wrote `settings` (a close, an OK, the session's end, before
  // its shutdown request): every value the store took is written. Returns
  // the error texts a write that reports must have shown.
  std::vector<std::string> Closed(const sim::SimStore& store, const ChargeSettings& settings);

  // The store holds what the model says.
  void Compare(const sim::SimStore& store, Findings& out) const;

 private:
  using Values = std::map<std::string, sim::StoredValue, std::less<>>;
  std::optional<Values> key_;
};

}  // namespace murrelet::soak
