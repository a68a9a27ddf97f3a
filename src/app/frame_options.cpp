#include "app/frame_options.h"

#include <string>

#include "app/command_table.h"
#include "base/prompter.h"
#include "base/settings_store.h"
#include "core/display_settings.h"

namespace almx {

namespace {

namespace msg = option_messages;

void WriteColour(SettingsStore& settings, const char* key, std::uint32_t colour) {
    settings.SetString("View", key, std::to_string(static_cast<long>(colour)));
}

CommandState Checked(bool checked) {
    return CommandState{true, true, checked};
}

}  // namespace

FrameOptions::FrameOptions(DisplaySettings& display, SettingsStore& settings, Prompter& prompter)
    : display_(display), settings_(settings), prompter_(prompter) {
    startLayout_ = settings_.GetInt("Init", "View", 0);
    initTodo_ = settings_.GetInt("Init", "Todo", 0) != 0;
}

bool FrameOptions::StoredFlag(const char* section, const char* key, int defaultValue) const {
    return settings_.GetInt(section, key, defaultValue) != 0;
}

void FrameOptions::FlipStored(const char* section, const char* key, int defaultValue) {
    settings_.SetInt(section, key, StoredFlag(section, key, defaultValue) ? 0 : 1);
}

void FrameOptions::StoreStartLayout() const {
    settings_.SetInt("Init", "View", startLayout_);
    settings_.SetInt("Init", "Todo", initTodo_ ? 1 : 0);
}

std::optional<CommandState> FrameOptions::Status(int id) const {
    switch (id) {
        case cmd::kToolBarFlat:
            return Checked(StoredFlag("View", "ToolBarFlat", 1));
        case cmd::kFileMarks:
            return Checked(display_.fileMarks);
        case cmd::kDiaryMarks:
            return Checked(display_.diaryMarks);
        case cmd::kMultiline:
            return Checked(display_.multiline);
        case cmd::kIme:
            return Checked(display_.ime);
        case cmd::kDiaryFirst:
            return Checked(StoredFlag("Diary", "First", 0));
        case cmd::kInitTodo:
            return Checked(initTodo_);
        case cmd::kShowFirst:
            return Checked(StoredFlag("View", "First", 1));
        case cmd::kAbsolutePath:
            return Checked(StoredFlag("System", "AbsolutePath", 0));
        case cmd::kAlarmMail:
            return Checked(StoredFlag("System", "AlermMail", 0));
        case cmd::kStartMonday:
            return Checked(display_.startMonday);
        case cmd::kYoubi:
            return Checked(display_.youbi == 1);
        case cmd::kSelModeFixed:
        case cmd::kSelModeInverse:
        case cmd::kSelModeFrame:
            return Checked(display_.selColorMode == id - cmd::kSelModeFixed);
        case cmd::kTodoOnToday:
            return Checked(display_.todoPos == 0);
        case cmd::kTodoOnDeadline:
            return Checked(display_.todoPos == 1);
        case cmd::kContinueNone:
        case cmd::kContinueSmall:
        case cmd::kContinueLarge:
            return Checked(display_.continueMark == id - cmd::kContinueNone);
        case cmd::kLayoutMonth:
            return Checked(startLayout_ == 0);
        case cmd::kLayoutWeek:
            return Checked(startLayout_ == 1);
        case cmd::kLayoutBoth:
            return Checked(startLayout_ == 2);
        case cmd::kLayoutDiary:
            return Checked(startLayout_ == 3);
        default:
            return std::nullopt;
    }
}

Redraw FrameOptions::Apply(int id) {
    auto flip = [&](bool& field, const char* section, const char* key) {
        field = !field;
        settings_.SetInt(section, key, field ? 1 : 0);
    };
    switch (id) {
        case cmd::kToolBarFlat:
            FlipStored("View", "ToolBarFlat", 1);
            prompter_.ShowMessage(msg::kNextStart);
            return Redraw::None;
        case cmd::kFileMarks:
            flip(display_.fileMarks, "View", "File");
            return Redraw::ActiveDocument;
        case cmd::kDiaryMarks:
            flip(display_.diaryMarks, "View", "Diary");
            return Redraw::ActiveDocument;
        case cmd::kMultiline:
            flip(display_.multiline, "View", "Multiline");
            return Redraw::AllViews;
        case cmd::kIme:
            flip(display_.ime, "System", "Ime");
            return Redraw::None;
        case cmd::kDiaryFirst:
            FlipStored("Diary", "First", 0);
            return Redraw::None;
        case cmd::kInitTodo:
            initTodo_ = !initTodo_;
            settings_.SetInt("Init", "Todo", initTodo_ ? 1 : 0);
            return Redraw::None;
        case cmd::kShowFirst:
            FlipStored("View", "First", 1);
            return Redraw::None;
        case cmd::kAbsolutePath:
            FlipStored("System", "AbsolutePath", 0);
            return Redraw::None;
        case cmd::kAlarmMail:
            return ToggleAlarmMail();
        case cmd::kStartMonday:
            flip(display_.startMonday, "View", "StartMonday");
            return Redraw::AllLayouts;
        case cmd::kYoubi:
            // Any value but 1 reads as "not Japanese": the toggle makes it 1, or back to 0.
            display_.youbi = display_.youbi == 1 ? 0 : 1;
            settings_.SetInt("View", "Youbi", display_.youbi);
            return Redraw::WeekdayNames;
        case cmd::kSelModeFixed:
        case cmd::kSelModeInverse:
        case cmd::kSelModeFrame:
            display_.selColorMode = id - cmd::kSelModeFixed;
            settings_.SetInt("Color", "SelColorMode", display_.selColorMode);
            return Redraw::AllViews;
        case cmd::kTodoOnToday:
        case cmd::kTodoOnDeadline:
            display_.todoPos = id == cmd::kTodoOnDeadline ? 1 : 0;
            settings_.SetInt("View", "TodoPos", display_.todoPos);
            return Redraw::AllCells;
        case cmd::kContinueNone:
        case cmd::kContinueSmall:
        case cmd::kContinueLarge:
            display_.continueMark = id - cmd::kContinueNone;
            settings_.SetInt("View", "ContinueMark", display_.continueMark);
            return Redraw::AllViews;
        case cmd::kLayoutMonth:
            startLayout_ = 0;
            return Redraw::None;
        case cmd::kLayoutWeek:
            startLayout_ = 1;
            return Redraw::None;
        case cmd::kLayoutBoth:
            startLayout_ = 2;
            return Redraw::None;
        case cmd::kLayoutDiary:
            startLayout_ = 3;
            return Redraw::None;
        default:
            return Redraw::None;
    }
}

Redraw FrameOptions::ToggleAlarmMail() {
    if (StoredFlag("System", "AlermMail", 0)) {
        settings_.SetInt("System", "AlermMail", 0);
        return Redraw::None;
    }
    const MailSetup setup = mailSetup ? mailSetup() : MailSetup::NoAccount;
    if (setup == MailSetup::NoAccount) {
        prompter_.ShowMessage(msg::kMailNotSet, MessageKind::Error);
        return Redraw::None;
    }
    if (setup == MailSetup::NoServer) {
        prompter_.ShowMessage(msg::kMailServerNotSet, MessageKind::Error);
        return Redraw::None;
    }
    prompter_.ShowMessage(msg::kAlarmsByMail);
    settings_.SetInt("System", "AlermMail", 1);
    return Redraw::None;
}

std::optional<std::uint32_t> FrameOptions::Colour(int id) const {
    switch (id) {
        case cmd::kBackColor:
            return display_.backColor;
        case cmd::kOtherColor:
            return display_.otherColor;
        case cmd::kHolidayColor:
            return display_.holidayColor;
        case cmd::kTodayColor:
            return display_.todayColor;
        case cmd::kContinueColor:
            return display_.continueColor;
        default:
            return std::nullopt;
    }
}

Redraw FrameOptions::SetColour(int id, std::uint32_t colour) {
    colour &= 0xFFFFFFu;
    switch (id) {
        case cmd::kBackColor:
            display_.backColor = colour;
            WriteColour(settings_, "BackColor", colour);
            return Redraw::AllCells;
        case cmd::kOtherColor:
            display_.otherColor = colour;
            WriteColour(settings_, "OtherColor", colour);
            return Redraw::AllCells;
        case cmd::kHolidayColor:
            display_.holidayColor = colour;
            WriteColour(settings_, "HolidayColor", colour);
            return Redraw::Colours;
        case cmd::kTodayColor:
            display_.todayColor = colour;
            WriteColour(settings_, "TodayColor", colour);
            return Redraw::Colours;
        case cmd::kContinueColor:
            display_.continueColor = colour;
            WriteColour(settings_, "ContinueColor", colour);
            return Redraw::Colours;
        default:
            return Redraw::None;
    }
}

}  // namespace almx
