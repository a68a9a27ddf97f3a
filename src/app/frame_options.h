#pragma once
// The main frame's option commands without widgets: toggles and choices that flip a display
// setting, write it at once and say what must be redrawn; the colour commands' write-back;
// the start-up layout the frame keeps until it is destroyed. Messages go through the
// prompter.

#include <cstdint>
#include <functional>
#include <optional>

#include "ui/command_target.h"

namespace almx {

struct DisplaySettings;
class Prompter;
class SettingsStore;

// What a changed option asks of the views.
enum class Redraw {
    None,
    ActiveDocument,  // every view of the active document repaints
    AllViews,        // every view of every document repaints
    AllCells,        // every view of every document refills: the value is taken at filling
    AllLayouts,      // every view recomputes its layout, then 32948 to every frame (Monday start)
    Colours,         // 32948 (refresh colours) to every child frame
    WeekdayNames,    // 32954 to every child frame
};

// The state of the mail settings as the alarm-mail toggle checks them.
enum class MailSetup { NoAccount, NoServer, Ready };

namespace option_messages {
inline constexpr const char* kNextStart = "この設定は次回、起動時から有効です。";
inline constexpr const char* kMailNotSet = "エラー：メールの設定がされていません";
inline constexpr const char* kMailServerNotSet = "エラー：メールのサーバ設定がされていません";
inline constexpr const char* kAlarmsByMail = "アラーム表示の代わりに全てメール送信します";
// The tooltip of the disabled IME controls.
inline constexpr const char* kImeUnavailable =
    "Linux ではプログラムから日本語入力をオンにできないため、この設定は使えません"
    "（保存されている値はそのまま残ります）";
}  // namespace option_messages

class FrameOptions {
  public:
    FrameOptions(DisplaySettings& display, SettingsStore& settings, Prompter& prompter);

    // The option commands this class answers for, with their check marks.
    std::optional<CommandState> Status(int id) const;
    // Carries out an option command; None also for a command it does not know.
    Redraw Apply(int id);

    // A colour command's new colour (32816, 32892, 32863, 32949, 32950): stored and written.
    Redraw SetColour(int id, std::uint32_t colour);
    std::optional<std::uint32_t> Colour(int id) const;

    // "Init"/"View" as the frame holds it; written when the frame is destroyed.
    int StartLayout() const { return startLayout_; }
    bool InitTodo() const { return initTodo_; }
    void StoreStartLayout() const;
    // The options sheet changed them.
    void SetStartLayout(int layout, bool initTodo) {
        startLayout_ = layout;
        initTodo_ = initTodo;
    }

    // How the alarm-mail toggle finds the mail settings; without one there is no account.
    std::function<MailSetup()> mailSetup;

  private:
    bool StoredFlag(const char* section, const char* key, int defaultValue) const;
    void FlipStored(const char* section, const char* key, int defaultValue);
    Redraw ToggleAlarmMail();

    DisplaySettings& display_;
    SettingsStore& settings_;
    Prompter& prompter_;
    int startLayout_ = 0;
    bool initTodo_ = false;
};

}  // namespace almx
