// The idle poll's cost: one handset search over N line devices, and one whole
// idle tick with 16 devices, on the simulated platform.
#include <benchmark/benchmark.h>

#include <string>

#include "bench/allocation_counter.h"
#include "charging/application.h"
#include "platform/sim/sim_platform.h"
#include "services/handset_line.h"

namespace murrelet {
namespace {

// N devices; the handset is the last one, so every device is queried twice.
void AddDevices(sim::SimTapi& tapi, int count) {
  for (int n = 0; n + 1 <= count; ++n) {
    sim::SimLineDevice device;
    device.name = n + 1 == count ? "KESTRA T48R" : "USB Modem " + std::to_string(n);
    tapi.devices.push_back(device);
  }
  tapi.recordCalls = false;
}

void BM_FindHandsetLine(benchmark::State& state) {
  sim::SimTapi tapi;
  AddDevices(tapi, static_cast<int>(state.range(0)));
  for (auto _ : state) benchmark::DoNotOptimize(FindHandsetLine(tapi, "KESTRA T48R"));
  state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_FindHandsetLine)->Arg(1)->Arg(16)->Arg(256)->Complexity(benchmark::oN);

void BM_IdleTick(benchmark::State& state) {
  sim::SimPlatform sim;
  AddDevices(sim.tapi, 16);
  sim.store.keys["Software\\Quillon SoftWare\\Gannetry\\V2.0"]["KestraName"] = std::string("KESTRA T48R");
  TApplication app(sim.platform);
  app.Start();
  TTimer& timer = app.MainForm()->Timer1;
  timer.Fire();  // the first tick settles the display's buffers
  const std::uint64_t before = bench::AllocationCount();
  std::int64_t ticks = 0;
  for (auto _ : state) {
    timer.Fire();
    sim.clock.Advance();
    ++ticks;
  }
  // Each device's capability block is one allocation and its regrowth another.
  state.counters["allocs_per_tick"] =
      static_cast<double>(bench::AllocationCount() - before) / static_cast<double>(ticks);
  state.counters["caps_blocks_per_tick"] = 16;
}
BENCHMARK(BM_IdleTick);

}  // namespace
}  // namespace murrelet

BENCHMARK_MAIN();
