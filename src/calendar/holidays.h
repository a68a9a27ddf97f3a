#pragma once
// Japanese public holidays as law: a pure function of the date.

namespace almx {

// True for a national holiday, a substitute holiday or a day between two holidays; with
// sundayCounts also for every Sunday.
bool IsHoliday(int year, int month, int day, bool sundayCounts);

// Day of March / September of the equinox days of a year.
int VernalEquinoxDay(int year);
int AutumnalEquinoxDay(int year);

}  // namespace almx
