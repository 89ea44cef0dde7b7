// Simulated line devices behind the six telephony operations. It tracks every
// handle it gives out, so tests can see what is alive and open.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <set>
#include <string_view>
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
  // The open is refused because the user may not open the device; `node` and
  // `group` are what the platform then reports about it.
  bool openDenied = false;
  std::string node;
  std::string group;
  GroupStanding standing = GroupStanding::NotMember;
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
  LineOpenDiagnosis LastOpenDiagnosis() const override { return diagnosis_; }
  bool LineClosedBySystem(HLINE line) const override { return closedBySystem_.count(line) != 0; }

  // Unplugs device `deviceId` (later identifiers move down). A line open on
  // it is closed by the system, as a modem driver sends LINE_CLOSE.
  void RemoveDevice(std::size_t deviceId);
  // The system closes every open line (LINE_CLOSE) while the devices stay.
  // Returns how many it closed.
  std::size_t CloseLinesBySystem();

  // The process that held handles has ended: the system releases them.
  void ReleaseAll();

  std::vector<SimLineDevice> devices;
  InitMode init = InitMode::Ok;
  // Fails the n-th next call of an operation ("lineOpen" → 1 fails the next one).
  std::map<std::string, int, std::less<>> failNext;
  bool recordCalls = true;
  // The handle the next successful lineOpen gives out; later ones count up
  // from it (a provider may hand out any 32-bit value, the top bit included).
  void SetNextLineHandle(HLINE line) { nextLine_ = line; }

  std::size_t LineAppsAlive() const { return apps_.size(); }
  std::size_t LinesOpen() const { return lines_.size(); }
  std::size_t MaxLineAppsAlive() const { return maxApps_; }
  // Calls made so far, by operation name.
  std::map<std::string, std::int64_t> Counts() const;
  std::vector<TapiCall> TakeCalls();
  bool IsOpenLine(HLINE line) const { return lines_.count(line) != 0; }
  bool IsLiveApp(HLINEAPP app) const { return apps_.count(app) != 0; }

 private:
  void CloseBySystem(HLINE line);
  enum Op { kInitialize, kNegotiate, kGetDevCaps, kOpen, kClose, kShutdown, kOpCount };
  bool Failing(std::string_view op);
  std::int32_t CheckNegotiated(HLINEAPP lineApp, std::uint32_t deviceId, std::uint32_t apiVersion) const;
  // Counting never allocates; the argument list is built only when calls are recorded.
  template <typename MakeArgs>
  void Record(Op op, MakeArgs makeArgs, std::int64_t result) {
    ++counts_[op];
    if (recordCalls) calls_.push_back({kOpNames[op], makeArgs(), result});
  }
  static constexpr const char* kOpNames[kOpCount] = {"lineInitialize", "lineNegotiateAPIVersion", "lineGetDevCaps",
                                                     "lineOpen",       "lineClose",               "lineShutdown"};

  std::set<HLINEAPP> apps_;
  std::map<HLINE, HLINEAPP> lines_;
  std::map<HLINE, std::uint32_t> lineDevices_;
  // Lines the system has closed, with their line application, until that
  // application ends.
  std::map<HLINE, HLINEAPP> closedBySystem_;
  HLINEAPP nextApp_ = 0x1000;
  HLINE nextLine_ = 0x2000;
  std::size_t maxApps_ = 0;
  std::int64_t counts_[kOpCount] = {};
  std::vector<TapiCall> calls_;
  LineOpenDiagnosis diagnosis_;
};

// The block size a device needs to report its name.
std::uint32_t NaturalDevCapsSize(const SimLineDevice& device);
// Fills a capability block whose dwTotalSize is set, as a TAPI provider would.
void FillDevCaps(const SimLineDevice& device, std::span<std::byte> block);

}  // namespace murrelet::sim
