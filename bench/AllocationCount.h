// Calls of the global operator new so far, counted by the replacement in
// AllocationCount.cpp, which a benchmark that reports allocations links.
#pragma once

namespace tge {

long AllocationCount();

}  // namespace tge
