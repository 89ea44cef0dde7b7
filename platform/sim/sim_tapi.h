// Simulated line devices behind the six telephony operations. It tracks every
// handle it gives out, so tests can see what is alive and open.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "kit/tapi.h"

namespace murrelet::sim {

struct SimLineDevice {
  std::string name;  // bytes as TAPI would report them
  std::uint32_t media = LINEMEDIAMODE_DATAMODEM;
  bool acceptsVersion = true;
  bool capsOk = true;
  bool openOk = true;
  std::optional<std::uint32_t> needed;      // dwNeededSize it reports; default: what its name requires
  std::optional<std::uint32_t> nameOffset;  // misreported dwLineNameOffset
  std::optional<std::uint32_t> nameSize;    // misreported dwLineNameSize
};

enum class InitMode { Ok, Fail, Reinit };

// One recorded call: the operation, its arguments by parameter name, its result.
struct TapiCall {
  std::string op;
  std::vector<std::pair<std::string, std::int64_t>> args;
  std::int64_t result = 0;
};

class SimTapi : public Tapi {
 public:
  std::int32_t lineInitialize(HLINEAPP* lineApp, std::uint32_t* numDevs) override;
  std::int32_t lineNegotiateAPIVersion(HLINEAPP lineApp, std::uint32_t deviceId, std::uint32_t apiLowVersion,
                                       std::uint32_t apiHighVersion, std::uint32_t* apiVersion,
                                       LINEEXTENSIONID* extensionId) override;
  std::int32_t lineGetDevCaps(HLINEAPP lineApp, std::uint32_t deviceId, std::uint32_t apiVersion,
                              std::uint32_t extVersion, std::span<std::byte> lineDevCaps) override;
  std::int32_t lineOpen(HLINEAPP lineApp, std::uint32_t deviceId, HLINE* line, std::uint32_t apiVersion,
                        std::uint32_t extVersion, std::uint32_t callbackInstance, std::uint32_t privileges,
                        std::uint32_t mediaModes) override;
  std::int32_t lineClose(HLINE line) override;
  std::int32_t lineShutdown(HLINEAPP lineApp) override;

  // The process that held handles has ended: the system releases them.
  void ReleaseAll();

  std::vector<SimLineDevice> devices;
  InitMode init = InitMode::Ok;
  // Fails the n-th next call of an operation ("lineOpen" → 1 fails the next one).
  std::map<std::string, int> failNext;
  bool recordCalls = true;

  std::size_t LineAppsAlive() const { return apps_.size(); }
  std::size_t LinesOpen() const { return lines_.size(); }
  std::size_t MaxLineAppsAlive() const { return maxApps_; }
  const std::map<std::string, std::int64_t>& Counts() const { return counts_; }
  std::vector<TapiCall> TakeCalls();
  bool IsOpenLine(HLINE line) const { return lines_.count(line) != 0; }
  bool IsLiveApp(HLINEAPP app) const { return apps_.count(app) != 0; }

 private:
  bool Failing(const char* op);
  void Record(const char* op, std::vector<std::pair<std::string, std::int64_t>> args, std::int64_t result);

  std::set<HLINEAPP> apps_;
  std::map<HLINE, HLINEAPP> lines_;
  HLINEAPP nextApp_ = 0x1000;
  HLINE nextLine_ = 0x2000;
  std::size_t maxApps_ = 0;
  std::map<std::string, std::int64_t> counts_;
  std::vector<TapiCall> calls_;
};

// What a device's capability block holds in full, name included.
std::vector<std::byte> DevCapsImage(const SimLineDevice& device);

}  // namespace murrelet::sim
