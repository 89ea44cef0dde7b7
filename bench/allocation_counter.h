// Counts heap allocations made by this process, to show what a tick allocates.
#pragma once

#include <cstdint>

namespace murrelet::bench {
std::uint64_t AllocationCount();
}
