#pragma once
// CMainFrame: the multi-document main window with the tool bar "標準バー", the status bar,
// the 10-second clock, the close sequence, the option commands and the showing of views.

#include <QMainWindow>
#include <QTimer>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/child_frames.h"
#include "app/frame_options.h"
#include "app/menu_layout.h"
#include "app/option_forms.h"
#include "app/view_kind.h"
#include "base/date_time.h"
#include "ui/command_target.h"

class QLabel;
class QMdiArea;
class QMdiSubWindow;
class QMenu;
class QToolBar;

namespace almx {

struct SearchCondition;

class AlarmPresenter;
class CAlmxApp;
struct AppContext;
class OpenDocument;

namespace frame_messages {
inline constexpr const char* kHelpMissing = "ヘルプファイルがありません：%1";
inline constexpr const char* kToolBarTitle = "標準バー";
}  // namespace frame_messages

class CMainFrame : public QMainWindow, public CommandTarget, public FrameHost {
    Q_OBJECT
  public:
    static constexpr int kTimerId = 302;
    static constexpr int kTickMilliseconds = 10000;

    CMainFrame(CAlmxApp& app, AppContext& context);
    ~CMainFrame() override;

    QMdiArea* MdiArea() const { return mdi_; }
    CAlmxFrame* ActiveFrame() const;
    // Every child frame, the most recently active first.
    std::vector<CAlmxFrame*> Frames() const;
    std::vector<CAlmxFrame*> FramesOf(const OpenDocument& document) const;
    // The document of the active child frame, else of the most recent older one.
    OpenDocument* ActiveDocument() const;

    CAlmxFrame* CreateFrame(ViewKind kind, OpenDocument& document, bool maximise = false);
    void ActivateFrame(CAlmxFrame* frame);
    // Shows a view of the kind for the active document (opening the default file when there
    // is none), or activates the one it has.
    void ShowView(ViewKind kind);
    // 32941: the find dialog with the document's condition, then the search list takes it.
    void MakeSearchList();
    // Answers the find dialog in tests; empty: the dialog.
    std::function<bool(SearchCondition&)> askFindCondition;

    // Takes "Settings"/"WindowPos" and shows the window; the state it was shown in.
    void ShowWithPlacement();
    void StorePlacement();

    QAction* Action(int id) const;
    // Routes a command: active view, its frame, the document, this frame, the application.
    bool Dispatch(int id);
    void UpdateCommandStates();
    // A binding's text after a tab in its command's menu item; none cuts the item at its tab.
    void SetShortcutText(int id, const std::optional<std::string>& text);
    // Every command's key text from the key assignments, and the built-in keys a binding of
    // another command takes away.
    void ApplyKeyTexts();
    void RebuildRecentFiles();
    void UpdateTitles();

    // One clock tick (the timer calls it; tests too).
    void Tick();
    QString StatusDateText() const;
    QString StatusText() const;

    FrameOptions& Options() { return options_; }
    // その他の設定 as it opens (the start-up layout as this frame holds it), and its OK.
    OtherSettingsForm CurrentOtherSettings() const;
    void ApplyOtherSettings(const OtherSettingsForm& form);
    SharedShowState& ShowState() { return show_; }
    // "DiaryView"/"ShowCmd": the diary frames' own show state.
    SharedShowState& DiaryShowState() { return diaryShow_; }
    void RedrawViews(almx::Redraw scope);

    // The close sequence; false when the user kept the program open.
    bool RunCloseSequence();

    bool OnCommand(int id) override;
    std::optional<CommandState> CommandStatus(int id) const override;

    bool MayCloseFrame(CAlmxFrame& frame) override;
    void FrameDestroyed(CAlmxFrame& frame) override;

  protected:
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

  private:
    void CreateActions();
    void CreateToolBar();
    void CreateStatusBar();
    void UseMenus(MenuSet set);
    void FillMenu(QMenu* menu, const std::vector<MenuItem>& items);
    void FillWindowList(QMenu* menu);
    void OnSubWindowActivated(QMdiSubWindow* window);
    void ChooseViewColour(int id);
    void OpenHelpPage(const char* page);
    void Tile(bool sideBySide);
    void ArrangeIcons();
    void WeekColours();
    void DayDraw();
    void AlarmSettings();
    void OtherSettings();
    void CustomiseKeys();
    void HolidaySettings();
    void UpdateBuiltInKeys();

    CAlmxApp& app_;
    AppContext& context_;
    FrameOptions options_;
    SharedShowState show_;
    SharedShowState diaryShow_;
    QMdiArea* mdi_;
    QToolBar* toolBar_ = nullptr;
    QLabel* message_ = nullptr;
    QTimer clock_;
    std::unique_ptr<AlarmPresenter> alarms_;
    DateTime lastTick_ = DateTime::Invalid();
    std::map<int, QAction*> actions_;
    std::vector<QAction*> recentActions_;
    std::map<MenuSet, std::vector<QMenu*>> menus_;
    MenuSet currentMenus_ = MenuSet::Month;
    bool menusSet_ = false;
    QPointer<CAlmxFrame> lastActive_;
    bool closing_ = false;
    // The logical date the views were last filled for.
    DateTime shownToday_ = DateTime::Invalid();
};

}  // namespace almx
