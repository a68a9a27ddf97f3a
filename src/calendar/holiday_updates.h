#pragma once
// Holiday records and the updates that bring a document's holiday records to a newer law.
// Each update looks only at the records it finds, so running it again changes nothing.

#include <vector>

#include "base/date_time.h"
#include "core/record_list.h"

namespace almx {

struct HolidayRule;

// A schedule with HolidayMark that recurs every year on month(start)/day from start to end.
CAlmxData YearlyHolidayRecord(const char* title, const DateTime& start, const DateTime& end,
                              int day, const RecordDefaults& defaults = {});
// The same on the week-th (1..4) Monday of a month; day is the day of month the record keeps.
CAlmxData YearlyMondayHolidayRecord(const char* title, const DateTime& start, const DateTime& end,
                                    int month, int week, int day,
                                    const RecordDefaults& defaults = {});
// A single day.
CAlmxData OneDayHolidayRecord(const char* title, const DateTime& day,
                              const RecordDefaults& defaults = {});

// The record of a rule of the law (not for the equinox rules, which are computed).
CAlmxData RecordFromRule(const HolidayRule& rule, const RecordDefaults& defaults = {});

// Every holiday of the law as records, as the holiday template holds them: the yearly holidays
// with their periods (Monday holidays in position mode, moved days as exceptions) and the
// one-day holidays. Equinox days, substitute holidays and days between two holidays are
// computed for display instead, except the two days between holidays that the one-off days
// of 2019 create.
std::vector<CAlmxData> HolidayLawRecords(const RecordDefaults& defaults = {});

// Each returns whether it changed the list.
// 2003: 海の日 and 敬老の日 move to the third Monday.
bool HolidayUpdate2003(RecordList& records, const RecordDefaults& defaults = {});
// 2007: 昭和の日 on 4/29, みどりの日 moves to 5/4.
bool HolidayUpdate2007(RecordList& records, const RecordDefaults& defaults = {});
// 2016: 山の日, added when the list has no holiday record of that name.
bool HolidayUpdate2016(RecordList& records, const RecordDefaults& defaults = {});
// 2020: the law as it stands. 天皇誕生日 12/23 ends in 2018 and is on 2/23 from 2020; 体育の日
// ends in 2019 and スポーツの日 follows; the Olympic years 2020 and 2021 move 海の日, スポーツの日
// and 山の日; the one-off days are added. Runs only on a list that holds old-law holiday
// records and no スポーツの日 record; run it after the 2016 update.
bool HolidayUpdate2020(RecordList& records, const RecordDefaults& defaults = {});

}  // namespace almx
