#pragma once
// Peak heap use for a benchmark program: replaces the global operator new and delete, so
// include it from the program's one source file only.

#include <benchmark/benchmark.h>
#include <malloc.h>

#include <atomic>
#include <cstdlib>
#include <new>

namespace almx::bench {

// Bytes held on the heap, counted by the replaced operator new and delete below.
inline std::atomic<std::size_t> g_live{0};
inline std::atomic<std::size_t> g_peak{0};

// The most the heap held above what the fixture holds while the loop ran.
class PeakMemory {
  public:
    PeakMemory() : base_(g_live.load()) { g_peak = base_; }
    void Report(benchmark::State& state) const {
        state.counters["peak_MB"] = static_cast<double>(g_peak.load() - base_) / (1024.0 * 1024.0);
    }

  private:
    std::size_t base_;
};

}  // namespace almx::bench

void* operator new(std::size_t size) {
    void* p = std::malloc(size ? size : 1);
    if (!p) throw std::bad_alloc();
    const std::size_t live = almx::bench::g_live += malloc_usable_size(p);
    std::size_t peak = almx::bench::g_peak.load();
    while (live > peak && !almx::bench::g_peak.compare_exchange_weak(peak, live)) {
    }
    return p;
}

// This is the allocator's own pair: operator new above takes its memory from malloc.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
void operator delete(void* p) noexcept {
    if (!p) return;
    almx::bench::g_live -= malloc_usable_size(p);
    std::free(p);
}
#pragma GCC diagnostic pop

void operator delete(void* p, std::size_t) noexcept {
    operator delete(p);
}
