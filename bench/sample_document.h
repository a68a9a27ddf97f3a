#pragma once
// The document every benchmark measures: 85% single records of one to three days (a few of
// them to-dos), 15% recurring rules of every kind, some with exceptions and shift rules, spread
// over the five years from 2017, with Japanese titles, places and memos, plus the yearly
// holiday records a document starts with.

#include <cstdint>
#include <random>
#include <vector>

#include "base/date_time.h"
#include "core/record.h"

namespace almx::bench {

inline std::vector<CAlmxData> SampleRecords(int count) {
    static const char* const kTitles[] = {
        "打ち合わせ",     "歯医者",           "会議 第2会議室",     "誕生日",
        "出張（大阪）",   "定例ミーティング", "月次報告の締め切り", "ゴミ出し（燃えるゴミ）",
        "英会話レッスン", "株主総会の準備"};
    static const char* const kPlaces[] = {"",     "",        "本社", "東京都千代田区丸の内１－１",
                                          "自宅", "新大阪駅"};
    static const char* const kMemos[] = {
        "",
        "",
        "",
        "持ち物：資料、名刺\n駅で待ち合わせ",
        "前回の議事録を確認すること。\n参加者：山田、佐藤、鈴木\n議題：来期の予算",
        "予約番号 12345"};
    static const int kHolidays[][2] = {{1, 1}, {2, 11}, {4, 29}, {5, 3},  {5, 4},
                                       {5, 5}, {8, 11}, {11, 3}, {11, 23}};
    std::mt19937 random(7);
    auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(random); };
    const DateTime origin = DateTime::FromDate(2017, 1, 1);
    std::vector<CAlmxData> records;
    records.reserve(static_cast<std::size_t>(count) + 16);
    for (const auto& md : kHolidays) {
        CAlmxData r;
        r.title = "祝日";
        r.start = DateTime::FromDate(1949, md[0], md[1]);
        r.end = DateTime::FromDate(9998, 12, 31);
        r.repeatType = RepeatYears;
        r.repeatFirstDay = r.repeatLastDay = md[1];
        r.Set(HolidayMark);
        records.push_back(r);
    }
    for (int i = 0; i < count; ++i) {
        CAlmxData r;
        const DateTime day = origin.PlusDays(pick(0, 5 * 365));
        const bool timed = pick(0, 1) == 1;
        r.start = timed ? day.WithTime(pick(7, 21), 30 * pick(0, 1)) : day;
        r.Set(StartTimeSet, timed);
        r.title = kTitles[pick(0, 9)];
        r.place = kPlaces[pick(0, 5)];
        r.memo = kMemos[pick(0, 5)];
        r.genre = pick(0, 3);
        r.colour = static_cast<std::uint32_t>(pick(0, 0xFFFFFF));
        r.alarmMinutes = pick(0, 3) == 0 ? -1 : 10;
        if (pick(1, 100) <= 85) {
            r.end = timed ? r.start.PlusSeconds(3600 * pick(1, 3)) : day.PlusDays(pick(0, 2));
            r.Set(EndTimeSet, timed);
            if (pick(1, 20) == 1) {
                r.Set(IsTodo);
                r.todoLeadDays = pick(0, 1) == 1 ? -1 : pick(0, 7);
            }
            records.push_back(std::move(r));
            continue;
        }
        r.end = pick(0, 2) == 0 ? DateTime::FromDate(9998, 12, 31) : day.PlusDays(pick(60, 1500));
        r.repeatType = pick(1, 5);
        r.repeatInterval = pick(1, 3) == 1 ? pick(2, 4) : 1;
        r.repeatFirstDay = pick(1, 10) == 1 ? -1 : day.Day();
        r.repeatLastDay = r.repeatFirstDay + (pick(1, 5) == 1 ? 2 : 0);
        if (r.repeatType >= RepeatMonths && pick(1, 3) == 1) {
            r.positionMode = 1;
            r.validWeeks[static_cast<std::size_t>(pick(0, 4))] = 1;
            r.validWeekdays[static_cast<std::size_t>(pick(0, 6))] = 1;
        }
        if (r.repeatType == RepeatChosenMonths) {
            for (auto& month : r.validMonths) month = static_cast<std::uint8_t>(pick(0, 1));
        }
        if (pick(1, 4) == 1) r.shiftRule = pick(0, 1) == 1 ? 14 : 22;
        for (int n = pick(1, 4) == 1 ? pick(1, 3) : 0; n > 0; --n) {
            const DateTime first = day.PlusDays(pick(0, 700));
            r.exceptions.push_back(CDaySpan::FromDates(first, first.PlusDays(pick(0, 3))));
        }
        records.push_back(std::move(r));
    }
    return records;
}

}  // namespace almx::bench
