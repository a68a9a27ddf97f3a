#pragma once
// CMemoView: the document's memo pages as a row of tabs over one text editor per page. The
// pages, their synchronisation with the memo list and every command's logic live in MemoBook;
// this view binds them to widgets. Editors are made when a page is first shown, so a file of
// a thousand memos opens at once.

#include <QFont>
#include <QPointer>
#include <QWidget>
#include <memory>
#include <optional>
#include <vector>

#include "core/display_settings.h"
#include "reminders/memo_book.h"
#include "views/memo_dlgs.h"
#include "views/text_search_dlgs.h"
#include "views/view_base.h"

class QMenu;
class QPlainTextEdit;
class QStackedWidget;
class QTabBar;

namespace almx {

class Prompter;
class SettingsStore;

// The memo view's own commands (the editing commands use the framework's ids).
namespace memo_cmd {
inline constexpr int kUndo = 57643;
inline constexpr int kCut = 57635;
inline constexpr int kCopy = 57634;
inline constexpr int kPaste = 57637;
inline constexpr int kSelectAll = 57642;
inline constexpr int kFind = 57636;
inline constexpr int kReplace = 57641;
inline constexpr int kFindNext = 32822;
inline constexpr int kFindPrevious = 32823;
inline constexpr int kAdd = 32990;
inline constexpr int kRename = 32991;
inline constexpr int kDelete = 32992;
inline constexpr int kFont = 32993;
inline constexpr int kSort = 32994;
inline constexpr int kSearch = 32995;
}  // namespace memo_cmd

// "MemoFont" when nothing is stored.
FontSpec DefaultMemoFont();

class CMemoView : public ViewBase {
    Q_OBJECT
  public:
    CMemoView(DocumentHost& host, SettingsStore& settings, Prompter& prompter,
              QWidget* parent = nullptr);
    // Commits the pages (the view is closing) and lets go of the document.
    ~CMemoView() override;

    bool OnCommand(int id) override;
    std::optional<CommandState> CommandStatus(int id) const override;

    MemoBook& Book() { return book_; }
    QTabBar* Tabs() const { return tabs_; }
    // The page's editor, made when first asked for.
    QPlainTextEdit* Editor(std::size_t page);
    QPlainTextEdit* CurrentEditor();
    // Whether the page's editor has been made.
    bool HasEditor(std::size_t page) const;
    const QFont& EditorFont() const { return font_; }
    CMemoFindDlg* FindDialog() const { return findDialog_; }

    void ShowPage(std::size_t page);
    // Pages to the memo list; on a refusal the page at fault is shown.
    bool Synchronise();
    // Removes every page and builds them again from the memo list.
    void Rebuild();

    // The frame closes: false keeps it (a page holds text the file cannot store).
    bool QueryClose() override;

    // The memo menu of the tab row and the editors.
    std::unique_ptr<QMenu> CreateContextMenu();

    // Find within the current page with the remembered state.
    void FindNext(bool down);
    void ReplaceOnce();
    void ReplaceAll();

  protected:
    void OnUpdate(QObject* sender, int hint, const CAlmxData* record) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

    // The dialogs, replaced by tests.
    virtual std::optional<WordQuery> AskWord();
    virtual std::optional<int> ChooseHit(std::vector<CFindListItem> items, const WordQuery& query);
    virtual bool RunSortDialog(MemoSortForm& form);
    virtual std::optional<QFont> ChooseFont(const QFont& current);
    virtual void RunContextMenu(QMenu& menu, const QPoint& globalPos);

  private:
    void AddTab(std::size_t page);
    // The tabs and editors again from the pages.
    void RebuildWidgets();
    void OpenFindDialog(bool replace);
    void SearchAllMemos();
    void ChangeFont();
    void SortMemos();
    void SelectRange(QPlainTextEdit& editor, const std::string& text, const TextRange& range);
    TextRange SelectionOf(QPlainTextEdit& editor, const std::string& text) const;
    void TakeDialogState();

    SettingsStore& settings_;
    Prompter& prompter_;
    const CAlmxDoc& document_;
    MemoBook book_;
    QTabBar* tabs_;
    QStackedWidget* stack_;
    std::vector<QPlainTextEdit*> editors_;
    QFont font_;
    FontSpec fontSpec_;
    QPointer<CMemoFindDlg> findDialog_;
    bool building_ = false;
};

}  // namespace almx
