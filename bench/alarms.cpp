// The alarm check of a 100,000-record document (15% recurring, 60% with a notification, 100
// snooze entries): one minute as the clock ticks, and catching up a 24-hour gap.

#include <benchmark/benchmark.h>

#include "base/clock.h"
#include "base/settings_store.h"
#include "core/record_list.h"
#include "reminders/alarm_check.h"
#include "sample_document.h"

namespace {

using namespace almx;

struct NullUi : AlarmUi {
    void RestoreMainWindow() override {}
    bool MailReady() override { return false; }
    void HandMail(std::vector<AlarmMail>) override {}
    void PlaySound(const std::string&) override {}
    void ShowNotification(const AlarmNotice&) override {}
    bool ShowAlarmWindow(const AlarmNotice&) override { return false; }
    void OpenLink(const CAlmxData&) override {}
};

RecordList Records() {
    std::vector<CAlmxData> records = bench::SampleRecords(100000);
    std::size_t i = 0;
    for (CAlmxData& record : records) record.alarmMinutes = (i++ % 5) < 3 ? 10 : -1;
    return RecordList(std::move(records));
}

void Snoozes(SnoozeList& list, const DateTime& now) {
    CAlmxData record;
    record.Set(StartTimeSet);
    record.start = now;
    record.alarmMinutes = 0;
    for (int i = 0; i < 100; ++i) list.emplace_back(record, now.PlusDays(30), i);
}

void BM_MinuteCheck(benchmark::State& state) {
    const RecordList records = Records();
    const DateTime start = DateTime::FromParts(2019, 6, 3, 8, 0, 5);
    ManualClock clock(start);
    MemorySettingsStore settings;
    SnoozeList snoozes;
    Snoozes(snoozes, start);
    AlarmCheck check(snoozes, settings, clock);
    NullUi ui;
    check.Run(records, clock.Now(), ui);
    for (auto _ : state) {
        clock.AdvanceSeconds(60);
        benchmark::DoNotOptimize(check.Run(records, clock.Now(), ui));
    }
}
BENCHMARK(BM_MinuteCheck)->Unit(benchmark::kMillisecond);

void BM_CatchUpDay(benchmark::State& state) {
    const RecordList records = Records();
    const DateTime start = DateTime::FromParts(2019, 6, 3, 8, 0, 5);
    ManualClock clock(start);
    MemorySettingsStore settings;
    NullUi ui;
    int fired = 0;
    for (auto _ : state) {
        state.PauseTiming();
        SnoozeList snoozes;
        Snoozes(snoozes, start);
        AlarmCheck check(snoozes, settings, clock);
        clock.Set(start);
        check.Run(records, clock.Now(), ui);
        clock.AdvanceSeconds(24 * 3600);
        state.ResumeTiming();
        fired = check.Run(records, clock.Now(), ui).fired;
    }
    state.counters["fired"] = fired;
}
BENCHMARK(BM_CatchUpDay)->Unit(benchmark::kMillisecond);

}  // namespace
