#include "app/option_forms.h"

#include <algorithm>

#include "base/settings_store.h"
#include "core/display_settings.h"
#include "core/record_array.h"
#include "links/link_path.h"

namespace almx {

namespace {

int InRange(int value, int low, int high, int fallback) {
    return value < low || value > high ? fallback : value;
}

}  // namespace

WeekColourForm WeekColourForm::From(const DisplaySettings& display) {
    WeekColourForm form;
    form.colours = display.weekColors;
    return form;
}

void WeekColourForm::Apply(DisplaySettings& display, SettingsStore& settings) const {
    for (int day = 0; day < 7; ++day) {
        const std::uint32_t colour = colours[static_cast<std::size_t>(day)] & 0xFFFFFFu;
        display.weekColors[static_cast<std::size_t>(day)] = colour;
        settings.SetString("View", "WeekColor" + std::to_string(day),
                           std::to_string(static_cast<long>(colour)));
    }
}

const std::vector<std::string>& DayDrawForm::PositionNames() {
    static const std::vector<std::string> names{"左上", "右上", "左下", "右下", "中央"};
    return names;
}

const std::vector<std::string>& DayDrawForm::FrameNames() {
    static const std::vector<std::string> names{"なし", "四角", "丸"};
    return names;
}

DayDrawForm DayDrawForm::From(const DisplaySettings& display) {
    DayDrawForm form;
    form.position = InRange(display.dayDrawPos, 0, 4, 3);
    form.frame = InRange(display.dayDrawFrame, 0, 2, 0);
    return form;
}

void DayDrawForm::Apply(DisplaySettings& display, SettingsStore& settings) const {
    display.dayDrawPos = InRange(position, 0, 4, 3);
    display.dayDrawFrame = InRange(frame, 0, 2, 0);
    settings.SetInt("View", "DayDrawFrame", display.dayDrawFrame);
    settings.SetInt("View", "DayDrawPos", display.dayDrawPos);
}

const std::vector<std::string>& AlarmSettingsForm::ModeNames() {
    static const std::vector<std::string> names{"通知しない", "画面で通知", "メールで通知"};
    return names;
}

AlarmSettingsForm AlarmSettingsForm::From(const DisplaySettings& display) {
    AlarmSettingsForm form;
    form.minutes = std::clamp(display.alarmMinutes, 0, kMaxMinutes);
    form.waveFile = display.alarmWave;
    form.mode = InRange(display.alarmMode, 0, 2, 1);
    return form;
}

void AlarmSettingsForm::Apply(DisplaySettings& display, SettingsStore& settings) const {
    display.alarmMinutes = std::clamp(minutes, 0, kMaxMinutes);
    display.alarmWave = waveFile;
    display.alarmMode = InRange(mode, 0, 2, 1);
    settings.SetInt("System", "Alerm", display.alarmMinutes);
    settings.SetString("System", "AlermWave", display.alarmWave);
    settings.SetInt("System", "AlermMode", display.alarmMode);
}

const std::vector<std::string>& OtherSettingsForm::StartLayoutNames() {
    static const std::vector<std::string> names{"月間のみ", "週間のみ", "月間と週間", "日記ビュー",
                                                "メモビュー"};
    return names;
}

const std::vector<std::string>& OtherSettingsForm::ViewTimeNames() {
    static const std::vector<std::string> names{"開始・終了", "開始のみ", "終了のみ", "表示せず"};
    return names;
}

const std::vector<std::string>& OtherSettingsForm::NewDirModeNames() {
    return LinkSettings::FolderModeNames();
}

const std::vector<std::string>& OtherSettingsForm::SaveSpanNames() {
    static const std::vector<std::string> names{"自動保存しない", "5分",  "10分",
                                                "15分",           "20分", "25分"};
    return names;
}

HolidayForm HolidayForm::From(const DisplaySettings& display) {
    return {display.shunbun, display.hurikae};
}

void HolidayForm::Apply(DisplaySettings& display, SettingsStore& settings) const {
    display.shunbun = shunbun;
    settings.SetInt("Holiday", "Shunbun", shunbun ? 1 : 0);
    display.hurikae = hurikae;
    settings.SetInt("Holiday", "Hurikae", hurikae ? 1 : 0);
}

OtherSettingsForm OtherSettingsForm::From(const DisplaySettings& display,
                                          const SettingsStore& settings,
                                          const CAlmxArray* document) {
    OtherSettingsForm form;
    form.startLayout = InRange(settings.GetInt("Init", "View", 0), 0, 4, 0);
    form.initTodo = settings.GetInt("Init", "Todo", 0) != 0;
    form.showFirst = settings.GetInt("View", "First", 1) != 0;
    form.schSort = display.schSort;
    form.viewDateSync = display.viewDateSync;
    form.noLastCur = display.noLastCur;
    const HolidayForm holidays = HolidayForm::From(display);
    form.shunbun = holidays.shunbun;
    form.hurikae = holidays.hurikae;
    form.todayLimit = InRange(display.todayLimit, 0, 23, 0);

    form.hasDocument = document != nullptr;
    if (document) {
        form.genreNames = document->genres.Names();
        form.scheduleGenre = document->DefaultScheduleGenre();
        form.todoGenre = document->DefaultTodoGenre();
    }
    form.viewTime = InRange(display.viewTime, 0, 3, 0);
    form.defaultKigen = settings.GetInt("Todo", "DefaultKigen", 1) != 0;
    form.defaultDays = InRange(settings.GetInt("Todo", "DefaultDays", 7), 0, kMaxDefaultDays, 7);
    form.ime = display.ime;
    form.confirmCancel = settings.GetInt("Edit", "Cancel", 1) != 0;

    form.absolutePath = settings.GetInt("System", "AbsolutePath", 0) != 0;
    form.newDirMode = InRange(settings.GetInt("LinkFile", "NewDirMode", 0), 0, 2, 0);
    form.newDir = settings.GetString("LinkFile", "NewDir", "");
    // A value between the offered steps shows as the step below it.
    form.saveSpanChoice = std::clamp(display.saveSpanMinute, 0, 25) / 5;
    form.sharedFile = display.sharedFile;
    return form;
}

bool OtherSettingsForm::Apply(DisplaySettings& display, SettingsStore& settings,
                              CAlmxArray* document) const {
    settings.SetInt("Init", "View", InRange(startLayout, 0, 4, 0));
    settings.SetInt("Init", "Todo", initTodo ? 1 : 0);
    settings.SetInt("View", "First", showFirst ? 1 : 0);
    display.schSort = schSort;
    settings.SetInt("System", "SchSort", schSort ? 1 : 0);
    display.viewDateSync = viewDateSync;
    settings.SetInt("View", "ViewDateSync", viewDateSync ? 1 : 0);
    display.noLastCur = noLastCur;
    settings.SetInt("View", "NoLastCur", noLastCur ? 1 : 0);
    HolidayForm{shunbun, hurikae}.Apply(display, settings);
    display.todayLimit = InRange(todayLimit, 0, 23, 0);
    settings.SetInt("System", "TodayLimit", display.todayLimit);

    bool documentChanged = false;
    if (document && hasDocument) {
        const int count = static_cast<int>(document->genres.Count());
        const int schedule = InRange(scheduleGenre, 0, count - 1, 0);
        const int todo = InRange(todoGenre, 0, count - 1, 0);
        if (schedule != document->DefaultScheduleGenre() || todo != document->DefaultTodoGenre()) {
            document->defaultScheduleGenre = schedule;
            document->defaultTodoGenre = todo;
            documentChanged = true;
        }
    }
    display.viewTime = InRange(viewTime, 0, 3, 0);
    settings.SetInt("View", "ViewTime", display.viewTime);
    settings.SetInt("Todo", "DefaultKigen", defaultKigen ? 1 : 0);
    settings.SetInt("Todo", "DefaultDays", std::clamp(defaultDays, 0, kMaxDefaultDays));
    display.ime = ime;
    settings.SetInt("System", "Ime", ime ? 1 : 0);
    settings.SetInt("Edit", "Cancel", confirmCancel ? 1 : 0);

    settings.SetInt("System", "AbsolutePath", absolutePath ? 1 : 0);
    settings.SetInt("LinkFile", "NewDirMode", InRange(newDirMode, 0, 2, 0));
    settings.SetString("LinkFile", "NewDir", newDir);
    display.saveSpanMinute = std::clamp(saveSpanChoice, 0, 5) * 5;
    settings.SetInt("System", "SaveSpanMinute", display.saveSpanMinute);
    display.sharedFile = sharedFile;
    settings.SetInt("System", "SharedFile", sharedFile ? 1 : 0);
    return documentChanged;
}

}  // namespace almx
