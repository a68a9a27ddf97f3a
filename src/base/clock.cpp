#include "base/clock.h"

#include <chrono>

namespace almx {

DateTime SystemClock::Now() const {
    using namespace std::chrono;
    constexpr long long kJapanOffsetSeconds = 9 * 3600;
    constexpr long long kEpochToUnixSeconds = 25569LL * 86400;
    long long unixSeconds = duration_cast<seconds>(system_clock::now().time_since_epoch()).count();
    return DateTime::FromDays(
        static_cast<double>(unixSeconds + kJapanOffsetSeconds + kEpochToUnixSeconds) / 86400.0);
}

DateTime Today(const Clock& clock, int todayLimit) {
    return LogicalDate(clock.Now(), todayLimit);
}

}  // namespace almx
