// Fuzzes the handset search's reading of capability blocks: a telephony layer
// that answers every call from the fuzzer's bytes (results, device count,
// needed sizes, and the block contents with any sizes and offsets), then
// checks that the search, the open and the close leave no handle behind.
// LineNameOf is also run on the raw bytes as a block of its own.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdlib>
#include <set>

#include "services/handset_line.h"

namespace {

using namespace murrelet;

// More devices only repeat the same work; the search visits each one, so a
// count in the billions would only measure time.
constexpr std::uint32_t kMaxDevices = 16;

class FuzzedTapi : public Tapi {
 public:
  explicit FuzzedTapi(FuzzedDataProvider& data) : data_(data) {}

  std::int32_t lineInitialize(HLINEAPP* lineApp, std::uint32_t* numDevs) override {
    if (!data_.ConsumeBool()) return LINEERR_REINIT;
    *lineApp = next_++;
    apps_.insert(*lineApp);
    *numDevs = data_.ConsumeIntegralInRange<std::uint32_t>(0, kMaxDevices);
    return 0;
  }
  std::int32_t lineNegotiateAPIVersion(HLINEAPP lineApp, std::uint32_t, std::uint32_t, std::uint32_t,
                                       std::uint32_t* apiVersion, LINEEXTENSIONID*) override {
    if (apps_.count(lineApp) == 0) std::abort();
    if (data_.ConsumeIntegralInRange<int>(0, 7) == 0) return LINEERR_INCOMPATIBLEAPIVERSION;
    *apiVersion = kTapiVersion14;
    return 0;
  }
  std::int32_t lineGetDevCaps(HLINEAPP lineApp, std::uint32_t, std::uint32_t, std::uint32_t,
                              std::span<std::byte> block) override {
    if (apps_.count(lineApp) == 0) std::abort();
    if (data_.ConsumeIntegralInRange<int>(0, 7) == 0) return LINEERR_OPERATIONFAILED;
    // Any bytes at all, dwTotalSize included; then usually a plausible
    // needed size so that the second, larger query happens too.
    const std::vector<std::uint8_t> bytes = data_.ConsumeBytes<std::uint8_t>(
        data_.ConsumeIntegralInRange<std::size_t>(0, block.size()));
    for (std::size_t n = 0; n < bytes.size(); ++n) block[n] = static_cast<std::byte>(bytes[n]);
    if (data_.ConsumeBool()) devcaps::Put(block, devcaps::dwNeededSize, data_.ConsumeIntegralInRange<std::uint32_t>(0, 1024));
    return 0;
  }
  std::int32_t lineOpen(HLINEAPP lineApp, std::uint32_t, HLINE* line, std::uint32_t, std::uint32_t, std::uint32_t,
                        std::uint32_t, std::uint32_t) override {
    if (apps_.count(lineApp) == 0) std::abort();
    if (!data_.ConsumeBool()) return LINEERR_OPERATIONFAILED;
    // Zero and handles with the top bit set are legal answers too.
    *line = data_.ConsumeIntegral<std::uint32_t>();
    if (*line != 0) lines_.insert(*line);
    return 0;
  }
  std::int32_t lineClose(HLINE line) override { return lines_.erase(line) != 0 ? 0 : LINEERR_INVALLINEHANDLE; }
  std::int32_t lineShutdown(HLINEAPP lineApp) override {
    if (apps_.erase(lineApp) == 0) return LINEERR_INVALAPPHANDLE;
    lines_.clear();  // one application at a time: its lines go with it
    return 0;
  }

  std::size_t Alive() const { return apps_.size() + lines_.size(); }

 private:
  FuzzedDataProvider& data_;
  std::set<HLINEAPP> apps_;
  std::set<HLINE> lines_;
  HLINEAPP next_ = 1;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
  // The raw input as a capability block of exactly its own size.
  const std::string_view name =
      LineNameOf(std::span<const std::byte>(reinterpret_cast<const std::byte*>(bytes), size));
  if (name.size() > size) std::abort();

  FuzzedDataProvider data(bytes, size);
  FuzzedTapi tapi(data);
  const std::string wanted = data.ConsumeBool() ? "KESTRA T48R" : data.ConsumeRandomLengthString(16);
  const std::int32_t found = FindHandsetLine(tapi, wanted);
  if (tapi.Alive() != 0) std::abort();  // the search ends its own line application
  if (found < -1 || found >= static_cast<std::int32_t>(kMaxDevices)) std::abort();
  if (found == kNoDevice) return 0;

  HLINEAPP lineApp = 0xDEAD;
  HLINE line = 0xBEEF;
  OpenHandsetLine(tapi, found, lineApp, line);
  if ((line == 0) != (lineApp == 0)) std::abort();  // both set, or both 0
  if (line == 0 && tapi.Alive() != 0) std::abort();  // a failed open leaves nothing open
  CloseHandsetLine(tapi, lineApp, line);
  CloseHandsetLine(tapi, lineApp, line);  // twice is harmless
  if (tapi.Alive() != 0) std::abort();
  return 0;
}
