#include "core/display_settings.h"

#include <string>

#include "base/settings_store.h"

namespace almx {

namespace {

// Colours are decimal texts in the store.
std::uint32_t LoadColour(const SettingsStore& s, const char* section, const std::string& key,
                         std::uint32_t fallback) {
    std::string text = s.GetString(section, key, std::to_string(fallback));
    try {
        long value = std::stol(text);
        return static_cast<std::uint32_t>(value) & 0xFFFFFFu;
    } catch (...) {
        return fallback;
    }
}

void StoreColour(SettingsStore& s, const char* section, const std::string& key,
                 std::uint32_t value) {
    s.SetString(section, key, std::to_string(static_cast<long>(value)));
}

// One table of every integer setting, so loading and storing cannot drift apart.
template <typename Settings, typename Visit>
void ForEachInt(Settings& d, Visit visit) {
    visit("View", "MonthWeeks", d.monthWeeks);
    visit("View", "Diary", d.diaryMarks);
    visit("View", "File", d.fileMarks);
    visit("View", "MemoSch", d.detailMarks);
    visit("View", "Multiline", d.multiline);
    visit("View", "StartMonday", d.startMonday);
    visit("System", "Ime", d.ime);
    visit("System", "Snooze", d.snoozeMinutes);
    visit("Color", "SelColorMode", d.selColorMode);
    visit("View", "DayDrawPos", d.dayDrawPos);
    visit("View", "DayDrawFrame", d.dayDrawFrame);
    visit("View", "Youbi", d.youbi);
    visit("View", "ViewTime", d.viewTime);
    visit("System", "Alerm", d.alarmMinutes);
    visit("System", "AlermMode", d.alarmMode);
    visit("System", "SaveSpanMinute", d.saveSpanMinute);
    visit("System", "SchSort", d.schSort);
    visit("View", "MonthViewTime", d.monthViewTime);
    visit("View", "DayViewTime", d.dayViewTime);
    visit("View", "WeekViewTime", d.weekViewTime);
    visit("View", "DiaryViewTime", d.diaryViewTime);
    visit("Holiday", "Shunbun", d.shunbun);
    visit("Holiday", "Hurikae", d.hurikae);
    visit("View", "TodoPos", d.todoPos);
    visit("View", "Month", d.monthCaption);
    visit("View", "OtherMonthDayColor", d.otherMonthDayColor);
    visit("View", "DiaryIconType", d.diaryIconType);
    visit("View", "ContinueMark", d.continueMark);
    visit("View", "NoLastCur", d.noLastCur);
    visit("View", "ViewDateSync", d.viewDateSync);
    visit("System", "SharedFile", d.sharedFile);
    visit("System", "TodayLimit", d.todayLimit);
}

template <typename Settings, typename Visit>
void ForEachColour(Settings& d, Visit visit) {
    visit("View", "DiaryIconColor", d.diaryIconColor);
    visit("View", "BackColor", d.backColor);
    visit("View", "OtherColor", d.otherColor);
    visit("View", "SelectColor", d.selectColor);
    visit("View", "HolidayColor", d.holidayColor);
    visit("View", "TodayColor", d.todayColor);
    visit("View", "ContinueColor", d.continueColor);
    for (int i = 0; i < 7; ++i) visit("View", "WeekColor" + std::to_string(i), d.weekColors[i]);
    for (int i = 0; i < 16; ++i) visit("ColorDlg", "Custom" + std::to_string(i), d.customColors[i]);
}

}  // namespace

FontSpec FontSpec::Load(const SettingsStore& s, const char* section, const FontSpec& defaults) {
    FontSpec font;
    font.faceName = s.GetString(section, "FaceName", defaults.faceName);
    font.size = s.GetInt(section, "Size", defaults.size);
    font.weight = s.GetInt(section, "Weight", defaults.weight);
    font.italic = s.GetInt(section, "Italic", defaults.italic);
    font.underline = s.GetInt(section, "Underline", defaults.underline);
    font.charSet = s.GetInt(section, "CharSet", defaults.charSet);
    return font;
}

void FontSpec::Store(SettingsStore& s, const char* section) const {
    s.SetString(section, "FaceName", faceName);
    s.SetInt(section, "Size", size);
    s.SetInt(section, "Weight", weight);
    s.SetInt(section, "Italic", italic);
    s.SetInt(section, "Underline", underline);
    s.SetInt(section, "CharSet", charSet);
}

DisplaySettings DisplaySettings::Load(const SettingsStore& s) {
    DisplaySettings d;
    ForEachInt(d, [&](const char* section, const char* key, auto& field) {
        using Field = std::remove_reference_t<decltype(field)>;
        field = static_cast<Field>(s.GetInt(section, key, static_cast<int>(field)));
    });
    ForEachColour(d, [&](const char* section, const std::string& key, std::uint32_t& field) {
        field = LoadColour(s, section, key, field);
    });
    d.alarmWave = s.GetString("System", "AlermWave", d.alarmWave);
    d.diaryIconFont = FontSpec::Load(s, "DiaryIconFont", d.diaryIconFont);
    d.scheduleFont = FontSpec::Load(s, "Font", d.scheduleFont);
    d.dateFont = FontSpec::Load(s, "DFont", d.dateFont);
    d.weekdayFont = FontSpec::Load(s, "WDFont", d.weekdayFont);
    if (d.monthWeeks < 4 || d.monthWeeks > 12) d.monthWeeks = 5;
    return d;
}

void DisplaySettings::Store(SettingsStore& s) const {
    DisplaySettings copy = *this;
    ForEachInt(copy, [&](const char* section, const char* key, auto& field) {
        s.SetInt(section, key, static_cast<int>(field));
    });
    ForEachColour(copy, [&](const char* section, const std::string& key, std::uint32_t& field) {
        StoreColour(s, section, key, field);
    });
    s.SetString("System", "AlermWave", alarmWave);
    diaryIconFont.Store(s, "DiaryIconFont");
    scheduleFont.Store(s, "Font");
    dateFont.Store(s, "DFont");
    weekdayFont.Store(s, "WDFont");
}

const char* DisplaySettings::WeekdayName(int weekday) const {
    static const char* const english[7] = {"Sun.", "Mon.", "Tue.", "Wed.", "Thu.", "Fri.", "Sat."};
    static const char* const japanese[7] = {"日", "月", "火", "水", "木", "金", "土"};
    if (weekday < 0 || weekday > 6) return "";
    if (youbi == 0) return english[weekday];
    if (youbi == 1) return japanese[weekday];
    return "";
}

}  // namespace almx
