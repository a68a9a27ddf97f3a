// Times in a zone other than Japan's, converted with the file's VTIMEZONE, its daylight
// saving rules included: each transition checked on both sides.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "exchange/vcalendar.h"

namespace almx {
namespace {

constexpr const char* kNewYork =
    "BEGIN:VTIMEZONE\r\nTZID:America/New_York\r\n"
    // The rules before 2007: first Sunday of April to last Sunday of October.
    "BEGIN:DAYLIGHT\r\nTZOFFSETFROM:-0500\r\nTZOFFSETTO:-0400\r\nTZNAME:EDT\r\n"
    "DTSTART:19870405T020000\r\nRRULE:FREQ=YEARLY;BYMONTH=4;BYDAY=1SU;UNTIL=20060402T070000Z\r\n"
    "END:DAYLIGHT\r\n"
    "BEGIN:STANDARD\r\nTZOFFSETFROM:-0400\r\nTZOFFSETTO:-0500\r\nTZNAME:EST\r\n"
    "DTSTART:19671029T020000\r\nRRULE:FREQ=YEARLY;BYMONTH=10;BYDAY=-1SU;UNTIL=20061029T060000Z\r\n"
    "END:STANDARD\r\n"
    // Since 2007: second Sunday of March to first Sunday of November.
    "BEGIN:DAYLIGHT\r\nTZOFFSETFROM:-0500\r\nTZOFFSETTO:-0400\r\nTZNAME:EDT\r\n"
    "DTSTART:20070311T020000\r\nRRULE:FREQ=YEARLY;BYMONTH=3;BYDAY=2SU\r\nEND:DAYLIGHT\r\n"
    "BEGIN:STANDARD\r\nTZOFFSETFROM:-0400\r\nTZOFFSETTO:-0500\r\nTZNAME:EST\r\n"
    "DTSTART:20071104T020000\r\nRRULE:FREQ=YEARLY;BYMONTH=11;BYDAY=1SU\r\nEND:STANDARD\r\n"
    "END:VTIMEZONE\r\n";

constexpr const char* kBerlin =
    "BEGIN:VTIMEZONE\r\nTZID:Europe/Berlin\r\n"
    "BEGIN:DAYLIGHT\r\nTZOFFSETFROM:+0100\r\nTZOFFSETTO:+0200\r\nTZNAME:CEST\r\n"
    "DTSTART:19810329T020000\r\nRRULE:FREQ=YEARLY;BYMONTH=3;BYDAY=-1SU\r\nEND:DAYLIGHT\r\n"
    "BEGIN:STANDARD\r\nTZOFFSETFROM:+0200\r\nTZOFFSETTO:+0100\r\nTZNAME:CET\r\n"
    "DTSTART:19961027T030000\r\nRRULE:FREQ=YEARLY;BYMONTH=10;BYDAY=-1SU\r\nEND:STANDARD\r\n"
    "END:VTIMEZONE\r\n";

struct Case {
    const char* local;  // wall time in the zone
    DateTime japan;     // what the record starts at
};

DateTime J(int y, int m, int d, int h, int min) {
    return DateTime::FromParts(y, m, d, h, min);
}

// The start of the one event at local in zone, read in Japan time; the zone's rules may come
// after the event in the file.
DateTime ReadStart(const char* zone, const char* tzid, const char* local, bool zoneFirst) {
    std::string file = "BEGIN:VCALENDAR\r\nVERSION:2.0\r\n";
    const std::string event = std::string("BEGIN:VEVENT\r\nUID:z\r\nDTSTART;TZID=") + tzid + ":" +
                              local + "\r\nSUMMARY:x\r\nEND:VEVENT\r\n";
    file += zoneFirst ? std::string(zone) + event : event + zone;
    file += "END:VCALENDAR\r\n";
    const CalendarImport result = ReadCalendar(file, J(2025, 1, 1, 0, 0));
    if (result.accepted != 1) return DateTime::Invalid();
    return result.records[0].start;
}

TEST(VcalendarZones, NewYorkBothRuleSetsAtBothSidesOfEachTransition) {
    const std::vector<Case> cases{
        // 2025: EDT from Sunday 03/09 02:00, EST again from Sunday 11/02 02:00.
        {"20250309T013000", J(2025, 3, 9, 15, 30)},   // EST: 06:30 UTC
        {"20250309T033000", J(2025, 3, 9, 16, 30)},   // EDT: 07:30 UTC
        {"20251102T003000", J(2025, 11, 2, 13, 30)},  // EDT: 04:30 UTC
        {"20251102T023000", J(2025, 11, 2, 16, 30)},  // EST: 07:30 UTC
        {"20250115T090000", J(2025, 1, 15, 23, 0)},
        {"20250701T120000", J(2025, 7, 2, 1, 0)},
        // 2006, under the older rules: EDT from 04/02, EST from 10/29.
        {"20060312T033000", J(2006, 3, 12, 17, 30)},  // the newer rule has not begun
        {"20060402T013000", J(2006, 4, 2, 15, 30)},
        {"20060402T033000", J(2006, 4, 2, 16, 30)},
        {"20061029T003000", J(2006, 10, 29, 13, 30)},
        {"20061029T023000", J(2006, 10, 29, 16, 30)},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ReadStart(kNewYork, "America/New_York", c.local, true), c.japan) << c.local;
        EXPECT_EQ(ReadStart(kNewYork, "america/new_york", c.local, false), c.japan) << c.local;
    }
}

TEST(VcalendarZones, BerlinLastSundayRulesAtBothSidesOfEachTransition) {
    const std::vector<Case> cases{
        // 2025: CEST from Sunday 03/30 02:00, CET again from Sunday 10/26 03:00.
        {"20250330T013000", J(2025, 3, 30, 9, 30)},    // CET: 00:30 UTC
        {"20250330T033000", J(2025, 3, 30, 10, 30)},   // CEST: 01:30 UTC
        {"20251026T013000", J(2025, 10, 26, 8, 30)},   // CEST: 23:30 UTC the day before
        {"20251026T033000", J(2025, 10, 26, 11, 30)},  // CET: 02:30 UTC
        // 2024 has its last Sundays on 03/31 and 10/27.
        {"20240330T120000", J(2024, 3, 30, 20, 0)},
        {"20240331T120000", J(2024, 3, 31, 19, 0)},
        {"20241026T120000", J(2024, 10, 26, 19, 0)},
        {"20241027T120000", J(2024, 10, 27, 20, 0)},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ReadStart(kBerlin, "Europe/Berlin", c.local, true), c.japan) << c.local;
    }
}

TEST(VcalendarZones, FixedOffsetsAndUnknownZonesStayAsTheyWere) {
    const char* fixed =
        "BEGIN:VTIMEZONE\r\nTZID:Asia/Kolkata\r\nBEGIN:STANDARD\r\nTZOFFSETFROM:+0530\r\n"
        "TZOFFSETTO:+0530\r\nDTSTART:19700101T000000\r\nEND:STANDARD\r\nEND:VTIMEZONE\r\n";
    EXPECT_EQ(ReadStart(fixed, "Asia/Kolkata", "20250601T100000", true), J(2025, 6, 1, 13, 30));
    // A zone the file does not describe: the wall time is taken as it stands.
    EXPECT_EQ(ReadStart(fixed, "Mars/Base", "20250601T100000", true), J(2025, 6, 1, 10, 0));
    // A daylight rule this reader cannot follow keeps only its first onset.
    const char* odd =
        "BEGIN:VTIMEZONE\r\nTZID:Odd\r\n"
        "BEGIN:STANDARD\r\nTZOFFSETFROM:+0100\r\nTZOFFSETTO:+0000\r\nDTSTART:20001001T000000\r\n"
        "END:STANDARD\r\n"
        "BEGIN:DAYLIGHT\r\nTZOFFSETFROM:+0000\r\nTZOFFSETTO:+0100\r\nDTSTART:20000401T000000\r\n"
        "RRULE:FREQ=YEARLY;BYWEEKNO=14\r\nEND:DAYLIGHT\r\nEND:VTIMEZONE\r\n";
    EXPECT_EQ(ReadStart(odd, "Odd", "20000601T000000", true), J(2000, 6, 1, 8, 0));
    EXPECT_EQ(ReadStart(odd, "Odd", "20250601T000000", true), J(2025, 6, 1, 9, 0));
}

}  // namespace
}  // namespace almx
