// Key assignments in the program: a QKeyEvent as a Windows key code, the rules that leave a
// key to the focused widget, the menu texts, the dialog, and keys pressed in the main window.

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QMdiArea>
#include <QPushButton>
#include <QStatusBar>
#include <QTest>
#include <QToolBar>
#include <QToolButton>
#include <filesystem>
#include <set>

#include "app/almx_app.h"
#include "app/child_frames.h"
#include "app/command_router.h"
#include "app/command_table.h"
#include "app/key_input.h"
#include "app/mail_commands.h"
#include "app/main_frame.h"
#include "app/open_document.h"
#include "app/option_dialogs.h"
#include "base/clock.h"
#include "base/prompter.h"
#include "base/settings_store.h"
#include "core/document_fixture.h"
#include "custom/keycust.h"
#include "custom/ui/keycust_dlg.h"
#include "dialog_driver.h"
#include "grid/grid_control.h"
#include "mail/mail_settings.h"
#include "mail/ui/mail_dialogs.h"
#include "views/todo_view.h"
#include "views/view_base.h"

namespace almx {
namespace {

namespace fs = std::filesystem;

std::optional<KeyStroke> Map(int key, Qt::KeyboardModifiers modifiers, quint32 scan = 0) {
    QKeyEvent event(QEvent::KeyPress, key, modifiers, scan, 0, 0);
    return WindowsKeyOf(event);
}

KeyStroke S(int code, bool alt = false, bool shift = false, bool ctrl = false) {
    return {code, alt, shift, ctrl};
}

TEST(KeyMapping, QtKeysAsWindowsCodes) {
    const Qt::KeyboardModifiers none = Qt::NoModifier;
    const Qt::KeyboardModifiers pad = Qt::KeypadModifier;
    EXPECT_EQ(Map(Qt::Key_Return, none), S(13));
    EXPECT_EQ(Map(Qt::Key_Enter, pad), S(13));
    EXPECT_EQ(Map(Qt::Key_Return, Qt::ControlModifier), S(13, false, false, true));
    EXPECT_EQ(Map(Qt::Key_Backtab, Qt::ShiftModifier), S(9, false, true));
    EXPECT_EQ(Map(Qt::Key_Backtab, Qt::ShiftModifier | Qt::ControlModifier),
              S(9, false, true, true));
    EXPECT_EQ(Map(Qt::Key_F5, Qt::AltModifier | Qt::ShiftModifier | Qt::ControlModifier),
              S(116, true, true, true));
    EXPECT_EQ(Map(Qt::Key_F15, none), S(126));
    EXPECT_EQ(Map(Qt::Key_A, Qt::ControlModifier), S(65, false, false, true));
    EXPECT_EQ(Map(Qt::Key_Z, Qt::ShiftModifier), S(90, false, true));
    // The keypad: digits, its four operators, and navigation while Num Lock is off.
    EXPECT_EQ(Map(Qt::Key_0, pad), S(96));
    EXPECT_EQ(Map(Qt::Key_9, pad), S(105));
    EXPECT_EQ(Map(Qt::Key_Asterisk, pad), S(106));
    EXPECT_EQ(Map(Qt::Key_Plus, pad), S(107));
    EXPECT_EQ(Map(Qt::Key_Minus, pad), S(109));
    EXPECT_EQ(Map(Qt::Key_Slash, pad), S(111));
    EXPECT_EQ(Map(Qt::Key_Home, pad), S(36));
    EXPECT_EQ(Map(Qt::Key_Up, pad), S(38));
    EXPECT_EQ(Map(Qt::Key_Minus, none), std::nullopt) << "the main minus is no table key";
    EXPECT_EQ(Map(Qt::Key_Plus, Qt::ShiftModifier), std::nullopt);
    // The digit row by its place: Shift+1 arrives as "!".
    EXPECT_EQ(Map(Qt::Key_Exclam, Qt::ShiftModifier, 10), S('1', false, true));
    EXPECT_EQ(Map(Qt::Key_0, none, 19), S('0'));
    EXPECT_EQ(Map(Qt::Key_ParenRight, Qt::ShiftModifier, 19), S('0', false, true));
    EXPECT_EQ(Map(Qt::Key_7, none), S('7')) << "a synthetic key without a scan code";
    // "@": unshifted "@", or Shift with "`" on a JIS keyboard.
    EXPECT_EQ(Map(Qt::Key_At, none), S(192));
    EXPECT_EQ(Map(Qt::Key_QuoteLeft, Qt::ShiftModifier), S(192, false, true));
    EXPECT_EQ(Map(Qt::Key_QuoteLeft, none), std::nullopt);
    // Navigation and the rest of the table.
    EXPECT_EQ(Map(Qt::Key_PageUp, none), S(33));
    EXPECT_EQ(Map(Qt::Key_Insert, none), S(45));
    EXPECT_EQ(Map(Qt::Key_Delete, none), S(46));
    EXPECT_EQ(Map(Qt::Key_Backspace, none), S(8));
    EXPECT_EQ(Map(Qt::Key_Escape, none), S(27));
    EXPECT_EQ(Map(Qt::Key_Space, none), S(32));
    // Meta held, or keys outside the table: no lookup.
    EXPECT_EQ(Map(Qt::Key_F5, Qt::MetaModifier), std::nullopt);
    EXPECT_EQ(Map(Qt::Key_Shift, Qt::ShiftModifier), std::nullopt);
    EXPECT_EQ(Map(Qt::Key_Comma, none), std::nullopt);
    // Every code the mapping gives is in the key table.
    for (int key : {int(Qt::Key_Return), int(Qt::Key_F1), int(Qt::Key_At), int(Qt::Key_Tab)}) {
        ASSERT_TRUE(Map(key, none));
        EXPECT_TRUE(InKeyTable(Map(key, none)->code)) << key;
    }
}

TEST(KeyRouting, TheSixStepsAsATable) {
    struct Case {
        KeyStroke stroke;
        KeyFocus focus;
        bool viewOwns;
        KeyRoute route;
        const char* why;
    };
    const Case cases[] = {
        {S(115, false, false, true), KeyFocus::TextField, false, KeyRoute::Mdi, "Ctrl+F4 first"},
        {S(117, false, true, true), KeyFocus::Other, true, KeyRoute::Mdi, "Ctrl+Shift+F6"},
        {S(9, false, false, true), KeyFocus::ItemView, false, KeyRoute::Mdi, "Ctrl+Tab"},
        {S(9, false, true, true), KeyFocus::Other, false, KeyRoute::Mdi, "Ctrl+Shift+Tab"},
        {S(115, true, false, true), KeyFocus::Other, false, KeyRoute::Lookup, "Alt+Ctrl+F4"},
        {S(39), KeyFocus::Other, true, KeyRoute::Widget, "the month view's own key"},
        {S(116, false, false, true), KeyFocus::Other, false, KeyRoute::Lookup, "Ctrl+F5"},
        {S(38), KeyFocus::ItemView, false, KeyRoute::Widget, "Up in a list stays"},
        {S(34), KeyFocus::ItemView, false, KeyRoute::Widget, "PageDown in a list"},
        {S(38, false, false, true), KeyFocus::ItemView, false, KeyRoute::Lookup, "Ctrl+Up"},
        {S(37), KeyFocus::ItemView, false, KeyRoute::Lookup, "Left is not kept"},
        {S(65), KeyFocus::TextField, false, KeyRoute::Widget, "A types"},
        {S(65, false, false, true), KeyFocus::TextField, false, KeyRoute::Widget, "Ctrl+A > 47"},
        {S(13, false, false, true), KeyFocus::TextField, false, KeyRoute::Lookup, "Ctrl+Enter"},
        {S(46, true), KeyFocus::TextField, false, KeyRoute::Lookup, "Alt+Delete"},
        {S(13, false, true), KeyFocus::TextField, false, KeyRoute::Widget, "Shift+Enter"},
        {S(65), KeyFocus::Other, false, KeyRoute::Lookup, "A elsewhere"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(RouteKey(c.stroke, c.focus, c.viewOwns), c.route) << c.why;
    QLineEdit edit;
    QListWidget list;
    QPushButton button;
    EXPECT_EQ(FocusKindOf(&edit), KeyFocus::TextField);
    EXPECT_EQ(FocusKindOf(&list), KeyFocus::ItemView);
    EXPECT_EQ(FocusKindOf(&button), KeyFocus::Other);
}

constexpr int kMultiline = cmd::kMultiline;  // observable: it toggles "View"/"Multiline"

class KeyShellTest : public ::testing::Test {
  protected:
    void SetUp() override {
        char pattern[] = "/tmp/almx-keyshell-XXXXXX";
        ASSERT_NE(::mkdtemp(pattern), nullptr);
        dir_ = pattern;
        path_ = (dir_ / "plan.alx").string();
        testing::WriteBytes(path_, testing::SjisFile(testing::kHeaderLine));
        settings_.SetInt("System", "HolidayChangeFlag1", 1);
        settings_.SetString("Field", "File", (dir_ / "none.dat").string());
        keyFile_ = (dir_ / "my.key").string();
        fallback_ = (dir_ / "data" / "Velta" / "Almanix" / "almx32.key").string();
    }
    void TearDown() override {
        app_.reset();
        fs::remove_all(dir_);
    }

    void WriteKeys(const std::vector<CKeycust>& bindings) {
        testing::WriteBytes(keyFile_, WriteKeyFile(bindings));
        settings_.SetString("System", "Keycust", keyFile_);
    }

    bool Start() {
        app_.reset();
        AppServices services;
        services.settings = &settings_;
        services.prompter = &prompter_;
        services.clock = &clock_;
        services.programFolder = dir_.string();
        services.keyFallbackPath = fallback_;
        app_ = std::make_unique<CAlmxApp>(services);
        if (!app_->Start({path_})) return false;
        Frame().show();
        QApplication::setActiveWindow(&Frame());
        Settle();
        return true;
    }
    CMainFrame& Frame() { return *app_->MainFrame(); }
    static void Settle() {
        for (int i = 0; i < 3; ++i) QApplication::processEvents();
    }
    // A key pressed where the focus is, as the window system would deliver it.
    void Press(QWidget* widget, Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QApplication::setActiveWindow(widget->window());
        widget->setFocus();
        ASSERT_EQ(QApplication::focusWidget(), widget);
        QTest::keyClick(widget, key, modifiers);
        Settle();
    }
    QString ItemText(int id) { return Frame().Action(id)->text(); }

    fs::path dir_;
    std::string path_;
    std::string keyFile_;
    std::string fallback_;
    MemorySettingsStore settings_;
    ScriptedPrompter prompter_;
    ManualClock clock_{DateTime::FromParts(2025, 5, 3, 9, 0, 5)};
    std::unique_ptr<CAlmxApp> app_;
};

TEST_F(KeyShellTest, CtrlF5InTheTodoListRunsItsCommandAndTheMenuShowsIt) {
    WriteKeys({{116, 0, 0, 1, kMultiline}, {38, 0, 0, 0, cmd::kToolBar}});
    ASSERT_TRUE(Start());
    EXPECT_EQ(ItemText(kMultiline).section(QLatin1Char('\t'), 1), QStringLiteral("Ctrl+F5"));
    EXPECT_TRUE(ItemText(kMultiline).contains(QStringLiteral("\tCtrl+F5")));
    Frame().ShowView(ViewKind::Todo);
    Settle();
    auto* todo = qobject_cast<CTodoView*>(Frame().ActiveFrame()->ActiveView());
    ASSERT_NE(todo, nullptr);
    Press(&todo->Grid(), Qt::Key_F5, Qt::ControlModifier);
    EXPECT_EQ(settings_.GetInt("View", "Multiline", -1), 1);
    // Plain Up stays with the list even though it is bound.
    const bool toolBar = Frame().Action(cmd::kToolBar)->isChecked();
    Press(&todo->Grid(), Qt::Key_Up);
    EXPECT_EQ(Frame().Action(cmd::kToolBar)->isChecked(), toolBar);
    // The tool bar's tip has no tab.
    EXPECT_FALSE(Frame().Action(kMultiline)->toolTip().contains(QLatin1Char('\t')));
}

TEST_F(KeyShellTest, TextFieldsTypeTheirLettersAndRunCtrlEnter) {
    WriteKeys({{65, 0, 0, 0, kMultiline}, {13, 0, 0, 1, cmd::kStatusBar}});
    ASSERT_TRUE(Start());
    auto* edit = new QLineEdit;
    Frame().statusBar()->addWidget(edit);
    edit->show();
    Press(edit, Qt::Key_A);
    EXPECT_EQ(edit->text(), QStringLiteral("a"));
    EXPECT_EQ(settings_.GetInt("View", "Multiline", 0), 0);
    const bool shown = Frame().statusBar()->isVisible();
    Press(edit, Qt::Key_Return, Qt::ControlModifier);
    EXPECT_NE(Frame().statusBar()->isVisible(), shown);
}

TEST_F(KeyShellTest, TheMonthViewKeepsItsOwnKeysAndABindingBeatsABuiltInShortcut) {
    // Right is the month view's own; Ctrl+S is the save command's built-in key.
    WriteKeys({{39, 0, 0, 0, kMultiline}, {'S', 0, 0, 1, cmd::kStatusBar}});
    ASSERT_TRUE(Start());
    ViewBase* month = Frame().ActiveFrame()->ActiveView();
    ASSERT_NE(month, nullptr);
    const auto before = month->SelectedDate();
    Press(month, Qt::Key_Right);
    EXPECT_EQ(settings_.GetInt("View", "Multiline", 0), 0);
    EXPECT_NE(month->SelectedDate(), before);

    // The save command's built-in Ctrl+S is taken: neither shown nor fired.
    EXPECT_TRUE(Frame().Action(cmd::kFileSave)->shortcut().isEmpty());
    const bool shown = Frame().statusBar()->isVisible();
    Press(month, Qt::Key_S, Qt::ControlModifier);
    EXPECT_NE(Frame().statusBar()->isVisible(), shown);
}

TEST_F(KeyShellTest, DialogsKeepTheirKeys) {
    WriteKeys({{13, 0, 0, 1, kMultiline}});  // Ctrl+Enter: looked up in text fields too
    ASSERT_TRUE(Start());
    QDialog dialog(&Frame());
    auto* edit = new QLineEdit(&dialog);
    testing::OnNextDialog([&](QDialog& shown) {
        QApplication::setActiveWindow(&shown);
        edit->setFocus();
        EXPECT_EQ(QApplication::focusWidget(), edit);
        QTest::keyClick(edit, Qt::Key_Return, Qt::ControlModifier);
        Settle();
        shown.accept();
    });
    dialog.exec();
    Settle();
    EXPECT_EQ(settings_.GetInt("View", "Multiline", 0), 0);
    // The same key in the main window runs.
    Press(Frame().ActiveFrame()->ActiveView(), Qt::Key_Return, Qt::ControlModifier);
    EXPECT_EQ(settings_.GetInt("View", "Multiline", 0), 1);
}

TEST_F(KeyShellTest, AnUnreadableFileIsSaidOnceAndAMissingOneIsSilent) {
    settings_.SetString("System", "Keycust", keyFile_);
    ASSERT_TRUE(Start());
    EXPECT_FALSE(prompter_.Saw("読み込めません"));
    testing::WriteBytes(keyFile_, "garbage");
    ASSERT_TRUE(Start());
    EXPECT_TRUE(prompter_.Saw("読み込めません"));
    EXPECT_EQ(settings_.GetString("System", "Keycust", ""), keyFile_);
}

TEST_F(KeyShellTest, TheDialogBindsAndUnbindsAndTheMenuFollows) {
    WriteKeys({});
    ASSERT_TRUE(Start());
    const QString plain = ItemText(kMultiline);
    ASSERT_FALSE(plain.contains(QLatin1Char('\t')));
    ASSERT_FALSE(Frame().Action(cmd::kFileSave)->shortcut().isEmpty());
    testing::OnNextDialog([&](QDialog& dialog) {
        auto& keys = dynamic_cast<CKeycustDlg&>(dialog);
        EXPECT_EQ(dialog.windowTitle(), QStringLiteral("キーカスタマイズ"));
        EXPECT_EQ(keys.Keys()->count(), 81);
        keys.Ctrl()->setChecked(true);
        EXPECT_EQ(keys.Keys()->item(4)->text(), QStringLiteral("Ctrl+F5"));
        keys.Keys()->setCurrentRow(4);
        EXPECT_EQ(keys.Commands()->currentRow(), 0);
        EXPECT_EQ(keys.Commands()->item(0)->text(), QStringLiteral("（なし）"));
        int row = -1;
        for (int i = 0; i < keys.Commands()->count(); ++i) {
            if (keys.Commands()->item(i)->text() ==
                QStringLiteral("[ｵﾌﾟｼｮﾝ]スケジュールの行折り返し"))
                row = i;
        }
        ASSERT_GT(row, 0);
        keys.Commands()->setCurrentRow(row);
        EXPECT_TRUE(ItemText(kMultiline).endsWith(QStringLiteral("\tCtrl+F5")));
        // Ctrl+S to the same command: the save command loses its built-in key.
        keys.Keys()->setCurrentRow(16 + ('S' - 'A'));
        keys.Commands()->setCurrentRow(row);
        EXPECT_TRUE(ItemText(kMultiline).endsWith(QStringLiteral("\tCtrl+S")));
        EXPECT_TRUE(Frame().Action(cmd::kFileSave)->shortcut().isEmpty());
        // Unbinding Ctrl+S gives the save command its key back; Ctrl+F5 shows again.
        keys.Commands()->setCurrentRow(0);
        EXPECT_FALSE(Frame().Action(cmd::kFileSave)->shortcut().isEmpty());
        EXPECT_TRUE(ItemText(kMultiline).endsWith(QStringLiteral("\tCtrl+F5")));
        keys.Keys()->setCurrentRow(4);
        EXPECT_EQ(keys.Commands()->currentRow(), row);
        keys.Commands()->setCurrentRow(0);
        EXPECT_EQ(ItemText(kMultiline), plain);
        keys.Commands()->setCurrentRow(row);
        dialog.reject();  // Escape acts as OK
    });
    ASSERT_TRUE(Frame().Dispatch(cmd::kKeyCustomise));
    const KeyFileRead saved = ReadKeyFile(testing::ReadBytes(keyFile_));
    ASSERT_TRUE(saved.Ok());
    EXPECT_EQ(saved.bindings, (std::vector<CKeycust>{{116, 0, 0, 1, kMultiline}}));

    // Restarted, the binding and its text are back.
    ASSERT_TRUE(Start());
    EXPECT_TRUE(ItemText(kMultiline).endsWith(QStringLiteral("\tCtrl+F5")));
}

TEST_F(KeyShellTest, AFailedOkPutsTheBindingsInTheFallback) {
    settings_.SetString("System", "Keycust", path_ + "/below.key");  // below a regular file
    ASSERT_TRUE(Start());
    testing::OnNextDialog([&](QDialog& dialog) {
        auto& keys = dynamic_cast<CKeycustDlg&>(dialog);
        keys.Keys()->setCurrentRow(4);  // F5
        keys.Commands()->setCurrentRow(1);
        keys.OkButton()->click();
    });
    ASSERT_TRUE(Frame().Dispatch(cmd::kKeyCustomise));
    EXPECT_TRUE(prompter_.Saw("保存できません"));
    EXPECT_EQ(settings_.GetString("System", "Keycust", ""), fallback_);
    const KeyFileRead saved = ReadKeyFile(testing::ReadBytes(fallback_));
    ASSERT_TRUE(saved.Ok());
    EXPECT_EQ(saved.bindings.size(), 1u);
}

TEST_F(KeyShellTest, TheHolidayDialogWritesBothSettings) {
    ASSERT_TRUE(Start());
    ASSERT_TRUE(Frame().Action(cmd::kHolidaySettings)->isEnabled());
    testing::OnNextDialog([](QDialog& dialog) {
        auto& holidays = dynamic_cast<CHolidayDlg&>(dialog);
        EXPECT_EQ(dialog.windowTitle(), QStringLiteral("休日の設定"));
        EXPECT_TRUE(holidays.Shunbun()->isChecked());
        EXPECT_EQ(holidays.Hurikae()->text(), QStringLiteral("振り替え休日を自動表示"));
        holidays.Hurikae()->setChecked(false);
        dialog.accept();
    });
    ASSERT_TRUE(Frame().Dispatch(cmd::kHolidaySettings));
    EXPECT_EQ(settings_.GetInt("Holiday", "Hurikae", -1), 0);
    EXPECT_EQ(settings_.GetInt("Holiday", "Shunbun", -1), 1);
    EXPECT_FALSE(app_->Context().display.hurikae);
}

TEST_F(KeyShellTest, TheMailCommandsUseTheMailSettings) {
    ASSERT_TRUE(Start());
    app_->Context().mailFolder = dir_.string();
    // Without a server the alarm-mail toggle refuses.
    ASSERT_TRUE(Frame().Dispatch(cmd::kAlarmMail));
    EXPECT_TRUE(prompter_.Saw("エラー：メールのサーバ設定がされていません"));
    EXPECT_EQ(settings_.GetInt("System", "AlermMail", 0), 0);

    testing::OnNextDialog([&](QDialog& dialog) {
        auto& mail = dynamic_cast<CMailSetDlg&>(dialog);
        EXPECT_EQ(dialog.windowTitle(), QStringLiteral("メール設定"));
        mail.smtpEdit->setText(QStringLiteral("smtp.example.jp"));
        mail.mailToEdit->setText(QStringLiteral("alarm@example.jp"));
        dialog.accept();
    });
    ASSERT_TRUE(Frame().Dispatch(cmd::kMailSettings));
    EXPECT_EQ(settings_.GetString("System", "MailTo", ""), "alarm@example.jp");
    MailSettings saved(dir_.string());
    saved.Reload();
    EXPECT_EQ(saved.Accounts().at(0).smtp, "smtp.example.jp");

    ASSERT_TRUE(Frame().Dispatch(cmd::kAlarmMail));
    EXPECT_TRUE(prompter_.Saw("アラーム表示の代わりに全てメール送信します"));
    EXPECT_EQ(settings_.GetInt("System", "AlermMail", 0), 1);

    // The program connects its engine at start; here the messages stop at the send function.
    ASSERT_TRUE(app_->Context().sendMail);
    std::vector<OutgoingMail> handed;
    app_->Context().sendMail = [&](const std::vector<OutgoingMail>& messages) {
        handed = messages;
        return true;
    };
    ASSERT_TRUE(Frame().Dispatch(cmd::kTestMail));
    ASSERT_EQ(handed.size(), 1u);
    EXPECT_EQ(handed[0].to, "alarm@example.jp");
    EXPECT_EQ(handed[0].subject, "Almanix通知");
    EXPECT_EQ(handed[0].body, "TEST");

    testing::OnNextDialog([&](QDialog& dialog) {
        EXPECT_NE(dynamic_cast<CTextMailDlg*>(&dialog), nullptr);
        EXPECT_EQ(dynamic_cast<CTextMailDlg&>(dialog).recipientEdit->text(),
                  QStringLiteral("alarm@example.jp"));
        dialog.reject();
    });
    EXPECT_TRUE(Frame().Dispatch(cmd::kScheduleMail));
}

// Commands that no link of the route answers yet; the issues that build them remove them here.
const std::set<int> kWaiting = {
    32853,  // 月間スケジュールへ
    32827,  // ｽｹｼﾞｭｰﾙﾘｽﾄ (day list font)
    32895,  // ToDo日数の初期値
};

TEST_F(KeyShellTest, EveryCommandIsAnsweredAlongTheRouteOrWaits) {
    ASSERT_TRUE(Start());
    std::set<int> answered;
    auto collect = [&] {
        CAlmxFrame* frame = Frame().ActiveFrame();
        ASSERT_NE(frame, nullptr);
        OpenDocument* document = &frame->Document();
        CommandTarget* chain[] = {frame->ActiveView(), frame, document, &Frame(), app_.get()};
        for (const CommandSpec& command : CommandTable()) {
            if (RouteStatus(chain, command.id)) answered.insert(command.id);
        }
    };
    collect();
    for (ViewKind kind :
         {ViewKind::Week, ViewKind::Todo, ViewKind::Diary, ViewKind::SearchList, ViewKind::Memo}) {
        Frame().ShowView(kind);
        Settle();
        collect();
    }
    std::vector<int> missing;
    std::vector<int> answeredButWaiting;
    for (const CommandSpec& command : CommandTable()) {
        const bool isAnswered = answered.count(command.id) != 0;
        const bool waits = kWaiting.count(command.id) != 0;
        if (!isAnswered && !waits) missing.push_back(command.id);
        if (isAnswered && waits) answeredButWaiting.push_back(command.id);
    }
    EXPECT_TRUE(missing.empty()) << ::testing::PrintToString(missing);
    EXPECT_TRUE(answeredButWaiting.empty()) << ::testing::PrintToString(answeredButWaiting);
}

}  // namespace
}  // namespace almx
