#pragma once
// The option dialogs of the main frame without widgets: what each shows, the ranges it
// keeps to, and the write-back on OK. The Qt dialogs (app/ui) only bind controls to these.

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace almx {

class CAlmxArray;
struct DisplaySettings;
class SettingsStore;

// 曜日色 (CWeekCol): the seven weekday colours, Sunday first.
struct WeekColourForm {
    std::array<std::uint32_t, 7> colours{};

    bool operator==(const WeekColourForm&) const = default;

    static WeekColourForm From(const DisplaySettings& display);
    // Stores the colours and writes "View"/"WeekColor0" to "WeekColor6".
    void Apply(DisplaySettings& display, SettingsStore& settings) const;
};

// 日付表示形式 (CDayDrawDlg): where the day number sits and its frame.
struct DayDrawForm {
    int position = 3;  // 0 top left, 1 top right, 2 bottom left, 3 bottom right, 4 centred
    int frame = 0;     // 0 none, 1 filled rectangle, 2 filled circle

    bool operator==(const DayDrawForm&) const = default;

    static const std::vector<std::string>& PositionNames();
    static const std::vector<std::string>& FrameNames();
    static DayDrawForm From(const DisplaySettings& display);
    // Out-of-range values (a hand-edited store) fall back to the defaults.
    void Apply(DisplaySettings& display, SettingsStore& settings) const;
};

// 通知設定 (CAlermSetDlg): the defaults of a new record's notification.
struct AlarmSettingsForm {
    static constexpr int kMaxMinutes = 99999;

    int minutes = 0;       // "Alerm": minutes before the start
    std::string waveFile;  // "AlermWave": empty means the beep
    int mode = 1;          // "AlermMode": 0 none, 1 on screen, 2 by mail

    bool operator==(const AlarmSettingsForm&) const = default;

    static const std::vector<std::string>& ModeNames();
    static AlarmSettingsForm From(const DisplaySettings& display);
    void Apply(DisplaySettings& display, SettingsStore& settings) const;
};

// 休日の設定 (CHolidayDlg), also on the page 動作 of その他の設定: the computed holidays.
struct HolidayForm {
    bool shunbun = true;  // "Holiday"/"Shunbun": equinox days and national holidays
    bool hurikae = true;  // "Holiday"/"Hurikae": substitute holidays

    bool operator==(const HolidayForm&) const = default;

    static HolidayForm From(const DisplaySettings& display);
    void Apply(DisplaySettings& display, SettingsStore& settings) const;
};

// その他の設定: the three pages 動作, 編集 and ファイル.
struct OtherSettingsForm {
    // 動作 (COptSystemPage)
    int startLayout = 0;  // "Init"/"View" 0..4
    bool initTodo = false;
    bool showFirst = true;
    bool schSort = true;
    bool viewDateSync = true;
    bool noLastCur = true;
    bool shunbun = true;
    bool hurikae = true;
    int todayLimit = 0;  // 0..23

    // 編集 (COptEditPage); the genres belong to the active document, when there is one.
    bool hasDocument = false;
    std::vector<std::string> genreNames;
    int scheduleGenre = 0;
    int todoGenre = 0;
    int viewTime = 0;  // "View"/"ViewTime" 0..3
    bool defaultKigen = true;
    int defaultDays = 7;
    bool ime = false;
    bool confirmCancel = true;

    // ファイル (COptFilePage)
    bool absolutePath = false;
    int newDirMode = 0;  // 0 data folder, 1 program folder, 2 the folder below
    std::string newDir;
    int saveSpanChoice = 0;  // minutes / 5, 0 = no automatic save, up to 5
    bool sharedFile = false;

    static constexpr int kMaxDefaultDays = 9999;

    bool operator==(const OtherSettingsForm&) const = default;

    static const std::vector<std::string>& StartLayoutNames();
    static const std::vector<std::string>& ViewTimeNames();
    static const std::vector<std::string>& NewDirModeNames();
    static const std::vector<std::string>& SaveSpanNames();

    // The active document's array, or nullptr when there is none.
    static OtherSettingsForm From(const DisplaySettings& display, const SettingsStore& settings,
                                  const CAlmxArray* document);
    // Stores and writes every value; returns whether the document's genres changed (the
    // document is then modified).
    bool Apply(DisplaySettings& display, SettingsStore& settings, CAlmxArray* document) const;
};

}  // namespace almx
