#pragma once
// The display settings every view reads, loaded once at start-up from the settings store and
// written back by the option commands. Colours are 0x00BBGGRR.

#include <array>
#include <cstdint>
#include <string>

namespace almx {

class SettingsStore;

// A font as the settings store keeps it: six values under one section.
struct FontSpec {
    std::string faceName;
    int size = -13;  // negative: character height; positive: cell height
    int weight = 400;
    int italic = 0;
    int underline = 0;
    int charSet = 128;

    bool operator==(const FontSpec&) const = default;

    static FontSpec Load(const SettingsStore& settings, const char* section,
                         const FontSpec& defaults);
    void Store(SettingsStore& settings, const char* section) const;
};

// Time display codes of the views: 0 per schedule, 1 start and end, 2 start, 3 end, 4 none.
enum ViewTimeDisplay : int {
    ViewTimePerSchedule = 0,
    ViewTimeStartAndEnd = 1,
    ViewTimeStartOnly = 2,
    ViewTimeEndOnly = 3,
    ViewTimeNone = 4,
};

struct DisplaySettings {
    int monthWeeks = 5;
    bool diaryMarks = false;
    bool fileMarks = true;
    bool detailMarks = false;
    bool multiline = false;
    bool startMonday = false;
    bool ime = false;
    int snoozeMinutes = 5;
    int selColorMode = 0;
    int dayDrawPos = 3;
    int dayDrawFrame = 0;
    int youbi = 0;
    int viewTime = 0;
    int alarmMinutes = 0;
    int alarmMode = 1;
    std::string alarmWave;
    int saveSpanMinute = 0;
    bool schSort = true;
    int monthViewTime = 0;
    int dayViewTime = 1;
    int weekViewTime = 0;
    int diaryViewTime = 0;
    bool shunbun = true;
    bool hurikae = true;
    int todoPos = 0;
    int monthCaption = 0;
    bool otherMonthDayColor = true;
    int diaryIconType = 0;
    std::uint32_t diaryIconColor = 33023;
    int continueMark = 1;
    bool noLastCur = true;
    FontSpec diaryIconFont{"ＭＳ Ｐゴシック", -13, 700, 0, 0, 128};
    bool viewDateSync = true;
    bool sharedFile = false;
    std::uint32_t backColor = 16777215;
    std::uint32_t otherColor = 14737632;
    std::uint32_t selectColor = 8388608;
    std::uint32_t holidayColor = 255;
    std::uint32_t todayColor = 0;
    std::uint32_t continueColor = 8454016;
    std::array<std::uint32_t, 7> weekColors{255, 0, 0, 0, 0, 0, 16711680};
    std::array<std::uint32_t, 16> customColors{
        16777215, 16777215, 16777215, 16777215, 16777215, 16777215, 16777215, 16777215,
        16777215, 16777215, 16777215, 16777215, 16777215, 16777215, 16777215, 16777215};
    int todayLimit = 0;
    // The three fonts of the views.
    FontSpec scheduleFont{"ＭＳ Ｐゴシック", -13, 400, 0, 0, 128};
    FontSpec dateFont{"Arial", -17, 400, 0, 0, 0};
    FontSpec weekdayFont{"Arial", -17, 400, 0, 0, 0};

    static DisplaySettings Load(const SettingsStore& settings);
    void Store(SettingsStore& settings) const;

    // The weekday names of the "Youbi" mode, Sunday first.
    const char* WeekdayName(int weekday) const;
    // The number of day cells of the month view.
    int CellCount() const { return monthWeeks * 7; }
};

}  // namespace almx
