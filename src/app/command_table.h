#pragma once
// The command table: every user command with its id, its label (as the key customisation
// list shows it), its default key and who handles it. Menus, the tool bar, keys and routing
// read it; each entry becomes one QAction.

#include <span>
#include <string>

namespace almx {

enum class CommandOwner {
    Application,  // the application object (new, open, about, quit)
    MainFrame,    // the main frame: options, colours, windows, help
    ChildFrame,   // the active child frame (the month frame's day list choices)
    Document,     // the active document (file commands, genres)
    View,         // the active view
    Nobody,       // has no handler and stays disabled
};

struct CommandSpec {
    int id;
    const char* label;  // "[ﾌｧｲﾙ]新規作成": the menu group in brackets, then the item text
    CommandOwner owner;
    const char* keys = "";  // default key, in Qt's portable key text
    // Listed by the key customisation dialog (the further frame commands are not).
    bool keyList = true;
};

// Every command: the key customisation list in its order, then the further commands.
std::span<const CommandSpec> CommandTable();
const CommandSpec* FindCommand(int id);
// Whether the command changes the document's contents, which a read-only document refuses.
bool ChangesDocument(int id);
// The label without its bracketed group: the text of the menu item.
std::string MenuText(const CommandSpec& command);
// The label without its menu mnemonic "(&X)": the text the key customisation list shows.
std::string KeyListLabel(const CommandSpec& command);

// Ids used by the program's own code.
namespace cmd {
inline constexpr int kFileNew = 57600;
inline constexpr int kFileOpen = 57601;
inline constexpr int kFileClose = 57602;
inline constexpr int kFileSave = 57603;
inline constexpr int kFileSaveAs = 57604;
inline constexpr int kPrintSetup = 57606;
inline constexpr int kImport = 32885;
inline constexpr int kPassword = 32858;
inline constexpr int kDeleteOld = 32784;
inline constexpr int kAppExit = 57665;
inline constexpr int kGenres = 32837;
inline constexpr int kGenreMulti = 32840;
inline constexpr int kToolBar = 59392;
inline constexpr int kToolBarFlat = 32877;
inline constexpr int kStatusBar = 59393;
inline constexpr int kBackColor = 32816;
inline constexpr int kOtherColor = 32892;
inline constexpr int kSelModeFixed = 32881;
inline constexpr int kSelModeInverse = 32882;
inline constexpr int kSelModeFrame = 32883;
inline constexpr int kWeekColors = 32818;
inline constexpr int kHolidayColor = 32863;
inline constexpr int kDayDraw = 32884;
inline constexpr int kAlarmSettings = 32859;
inline constexpr int kMailSettings = 32906;
inline constexpr int kAlarmMail = 32908;
inline constexpr int kIme = 32860;
inline constexpr int kTodoOnToday = 32820;
inline constexpr int kTodoOnDeadline = 32821;
inline constexpr int kMultiline = 32855;
inline constexpr int kYoubi = 32832;
inline constexpr int kStartMonday = 32856;
inline constexpr int kLayoutMonth = 32800;
inline constexpr int kLayoutWeek = 32801;
inline constexpr int kLayoutBoth = 32802;
inline constexpr int kLayoutDiary = 32899;
inline constexpr int kDiaryMarks = 32831;
inline constexpr int kDiaryFirst = 32861;
inline constexpr int kDiaryFolder = 32862;
inline constexpr int kDiaryList = 32833;
inline constexpr int kDiaryIcon = 32946;
inline constexpr int kInitTodo = 32803;
inline constexpr int kDayListHide = 32828;
inline constexpr int kDayListBelow = 32866;
inline constexpr int kDayListRight = 32867;
inline constexpr int kFileMarks = 32830;
inline constexpr int kAbsolutePath = 32886;
inline constexpr int kLinkFileOptions = 32905;
inline constexpr int kShowFirst = 32806;
inline constexpr int kShowMonth = 32783;
inline constexpr int kShowWeek = 32793;
inline constexpr int kShowTodo = 32780;
inline constexpr int kShowDiary = 32897;
inline constexpr int kShowMemo = 32794;
inline constexpr int kShowSearchList = 32935;
inline constexpr int kMakeSearchList = 32941;
inline constexpr int kTakeSearchCondition = 32947;
inline constexpr int kViewChangeMes = 32957;
inline constexpr int kWindowNew = 57648;
inline constexpr int kWindowArrange = 57649;
inline constexpr int kWindowCascade = 57650;
inline constexpr int kWindowTileHorz = 57651;
inline constexpr int kWindowTileVert = 57652;
inline constexpr int kHelpContents = 57667;
inline constexpr int kHelpKeyword = 32815;
inline constexpr int kHelpUsing = 57668;
inline constexpr int kWebHome = 32792;
inline constexpr int kWebForum = 32865;
inline constexpr int kWebMaker = 34004;
inline constexpr int kWebSoftware = 34005;
inline constexpr int kAbout = 57664;
inline constexpr int kTodayColor = 32949;
inline constexpr int kContinueColor = 32950;
inline constexpr int kContinueNone = 32951;
inline constexpr int kContinueSmall = 32952;
inline constexpr int kContinueLarge = 32953;
inline constexpr int kOtherSettings = 32913;
inline constexpr int kKeyCustomise = 32911;
inline constexpr int kHolidaySettings = 32890;
// Sent by the frame, not chosen by the user.
inline constexpr int kSavePosition = 32804;
inline constexpr int kTakeDocumentDate = 32931;
inline constexpr int kRefreshColours = 32948;
inline constexpr int kWeekdayNamesChanged = 32954;
inline constexpr int kRefreshDayList = 32825;
// The four most recently used files.
inline constexpr int kRecentFirst = 57616;
inline constexpr int kRecentCount = 4;
}  // namespace cmd

}  // namespace almx
