// What the settings key must hold after each step, worked out from the
// program's rules rather than read back from it: only a normal close writes,
// a start may create the empty key, and nothing else touches the store. So a
// close, kill or end of Windows can never lose what an earlier close wrote.
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

  // The main window was closed with `settings`: every value the store took is
  // written. Returns the error texts the program must have shown.
  std::vector<std::string> Closed(const sim::SimStore& store, const ChargeSettings& settings);

  // The store holds what the model says.
  void Compare(const sim::SimStore& store, Findings& out) const;

 private:
  using Values = std::map<std::string, sim::StoredValue, std::less<>>;
  std::optional<Values> key_;
};

}  // namespace murrelet::soak
