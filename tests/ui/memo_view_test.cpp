#include "views/memo_view.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabBar>
#include <QTest>
#include <filesystem>
#include <memory>

#include "base/clock.h"
#include "base/prompter.h"
#include "base/settings_store.h"
#include "core/text_entry_check.h"
#include "document/document.h"
#include "document/schedule_file_writer.h"
#include "views/memo_dlgs.h"

namespace almx {
namespace {

namespace fs = std::filesystem;

class TestMemoView : public CMemoView {
  public:
    using CMemoView::CMemoView;
    std::optional<WordQuery> word;
    std::optional<int> chosenHit;
    std::vector<CFindListItem> offered;
    std::function<bool(MemoSortForm&)> sortDialog;
    std::vector<QString> menuItems;

  protected:
    std::optional<WordQuery> AskWord() override { return word; }
    std::optional<int> ChooseHit(std::vector<CFindListItem> items, const WordQuery&) override {
        offered = std::move(items);
        return chosenHit;
    }
    bool RunSortDialog(MemoSortForm& form) override { return sortDialog && sortDialog(form); }
    void RunContextMenu(QMenu& menu, const QPoint&) override {
        menuItems.clear();
        for (QAction* action : menu.actions()) {
            menuItems.push_back(action->isSeparator() ? QStringLiteral("-") : action->text());
        }
    }
};

class MemoViewTest : public ::testing::Test {
  protected:
    MemoViewTest() {
        char pattern[] = "/tmp/almx-memo-XXXXXX";
        dir = ::mkdtemp(pattern);
        settings.SetInt("System", "HolidayChangeFlag1", 1);
    }
    ~MemoViewTest() override {
        view.reset();
        host.reset();
        std::error_code error;
        fs::remove_all(dir, error);
    }
    DocumentContext Context() {
        DocumentContext context;
        context.settings = &settings;
        context.prompter = &prompter;
        context.clock = &clock;
        context.computerName = "test";
        return context;
    }
    void Open(std::vector<CMemoData> memos, int index = 0, bool readOnly = false) {
        CAlmxArray content;
        content.memoPages = std::move(memos);
        content.extraNumber = index;
        const std::string path = Path("memo.alx");
        FILE* out = std::fopen(path.c_str(), "wb");
        const std::string bytes = WriteScheduleFile(content).bytes;
        std::fwrite(bytes.data(), 1, bytes.size(), out);
        std::fclose(out);
        if (readOnly) ::chmod(path.c_str(), 0444);
        auto document = std::make_unique<CAlmxDoc>(Context());
        ASSERT_TRUE(document->Open(path));
        host = std::make_unique<DocumentHost>(std::move(document));
        MakeView();
    }
    void MakeView() {
        view = std::make_unique<TestMemoView>(*host, settings, prompter);
        view->resize(500, 400);
        view->show();
    }
    void New() {
        host = std::make_unique<DocumentHost>(std::make_unique<CAlmxDoc>(Context()));
        MakeView();
    }
    std::string Path(const char* name) const { return (dir / name).string(); }
    CAlmxDoc& Doc() { return host->Document(); }
    std::vector<CMemoData>& List() { return Doc().Array().memoPages; }
    QPlainTextEdit& Current() { return *view->CurrentEditor(); }
    QString Tab(int i) { return view->Tabs()->tabText(i); }

    fs::path dir;
    MemorySettingsStore settings;
    ScriptedPrompter prompter;
    ManualClock clock{DateTime::FromParts(2025, 5, 3, 14, 7)};
    std::unique_ptr<DocumentHost> host;
    std::unique_ptr<TestMemoView> view;
};

TEST_F(MemoViewTest, ANewFileHasOneEmptyPageAndTypingMakesTheFirstMemoAtTheSave) {
    New();
    ASSERT_EQ(view->Tabs()->count(), 1);
    EXPECT_EQ(Tab(0), "メモ");
    EXPECT_TRUE(Current().toPlainText().isEmpty());
    ASSERT_TRUE(Doc().SaveTo(Path("empty.alx")));
    EXPECT_TRUE(List().empty());

    QTest::keyClicks(&Current(), "abc");
    EXPECT_TRUE(Doc().IsModified());
    ASSERT_TRUE(Doc().SaveTo(Path("typed.alx")));
    ASSERT_EQ(List().size(), 1u);
    EXPECT_EQ(List()[0], (CMemoData{"メモ", "abc"}));
}

TEST_F(MemoViewTest, PagesShowTitlesAsTheyAreAndTheStoredPageIsLimitedToTheLast) {
    Open({{"A&B", "first"}, {"二", "second\nline"}}, 9);
    ASSERT_EQ(view->Tabs()->count(), 2);
    EXPECT_EQ(Tab(0), "A&&B");  // drawn as "A&B", no mnemonic
    EXPECT_EQ(view->Tabs()->currentIndex(), 1);
    EXPECT_EQ(Current().toPlainText(), "second\nline");
    EXPECT_EQ(Current().textCursor().position(), 0);
    // Only the shown page has an editor yet.
    EXPECT_FALSE(view->HasEditor(0));
    EXPECT_EQ(Current().font(), view->EditorFont());
}

TEST_F(MemoViewTest, EveryOpenEditorIsCommittedBeforeASaveWithThePageShown) {
    Open({{"a", "1"}, {"b", "2"}, {"c", "3"}});
    QTest::keyClicks(&Current(), "x");
    view->ShowPage(2);
    QTest::keyClicks(&Current(), "y");
    view->ShowPage(1);
    ASSERT_TRUE(Doc().SaveTo(Path("memo.alx")));
    CAlmxDoc reread(Context());
    ASSERT_TRUE(reread.Open(Path("memo.alx")));
    EXPECT_EQ(reread.Array().memoPages,
              (std::vector<CMemoData>{{"a", "x1"}, {"b", "2"}, {"c", "y3"}}));
    EXPECT_EQ(reread.Array().extraNumber, 1);
}

TEST_F(MemoViewTest, AddRenameAndDeleteChangeTabsAndList) {
    Open({{"a", "1"}});
    prompter.ThenText("new & shiny");
    view->OnCommand(memo_cmd::kAdd);
    ASSERT_EQ(view->Tabs()->count(), 2);
    EXPECT_EQ(Tab(1), "new && shiny");
    EXPECT_EQ(view->Tabs()->currentIndex(), 1);

    prompter.ThenText("renamed");
    view->OnCommand(memo_cmd::kRename);
    EXPECT_EQ(Tab(1), "renamed");
    EXPECT_TRUE(prompter.Saw("メモのタイトルを入力してください"));

    view->ShowPage(0);
    QTest::keyClicks(&Current(), "kept? ");
    prompter.Then(Answer::Yes);
    view->OnCommand(memo_cmd::kDelete);
    ASSERT_EQ(view->Tabs()->count(), 1);
    EXPECT_EQ(Tab(0), "renamed");
    view->OnCommand(memo_cmd::kDelete);
    EXPECT_TRUE(prompter.Saw("１つしかメモがない場合には削除できません。"));
    ASSERT_TRUE(view->Synchronise());
    EXPECT_EQ(List(), (std::vector<CMemoData>{{"renamed", ""}}));
}

TEST_F(MemoViewTest, AnImportKeepsUnsavedTextAndShowsTheImportedMemos) {
    Open({{"a", "1"}});
    CAlmxArray other;
    other.memoPages = {{"imported", "x"}};
    const std::string bytes = WriteScheduleFile(other).bytes;
    FILE* out = std::fopen(Path("other.alx").c_str(), "wb");
    std::fwrite(bytes.data(), 1, bytes.size(), out);
    std::fclose(out);
    QTest::keyClicks(&Current(), "unsaved ");
    ASSERT_GE(Doc().ImportFile(Path("other.alx")), 0);
    // The document tells its views as the program's host does.
    host->UpdateAllViews(nullptr, 0);
    ASSERT_EQ(view->Tabs()->count(), 2);
    EXPECT_EQ(Tab(1), "imported");
    view->ShowPage(0);
    EXPECT_EQ(Current().toPlainText(), "unsaved 1");
}

TEST_F(MemoViewTest, TheFindDialogCarriesItsLabelsAndFindsReplacesAndUndoes) {
    Open({{"a", "cat Cat cat"}});
    view->OnCommand(memo_cmd::kReplace);
    CMemoFindDlg* dialog = view->FindDialog();
    ASSERT_TRUE(dialog);
    EXPECT_FALSE(dialog->isModal());
    std::vector<QString> labels;
    for (QLabel* label : dialog->findChildren<QLabel*>()) labels.push_back(label->text());
    EXPECT_NE(std::find(labels.begin(), labels.end(), "検索する文字列(&N):"), labels.end());
    EXPECT_NE(std::find(labels.begin(), labels.end(), "置換後の文字列(&P):"), labels.end());
    EXPECT_EQ(dialog->CaseBox()->text(), "大文字と小文字を区別する(&C)");
    EXPECT_TRUE(dialog->CaseBox()->isChecked());
    EXPECT_EQ(dialog->UpButton()->text(), "上へ(&U)");
    EXPECT_EQ(dialog->DownButton()->text(), "下へ(&D)");
    EXPECT_TRUE(dialog->DownButton()->isChecked());
    EXPECT_EQ(dialog->FindNextButton()->text(), "次を検索(&F)");
    EXPECT_EQ(dialog->ReplaceButton()->text(), "置換して次に(&R)");
    EXPECT_EQ(dialog->ReplaceAllButton()->text(), "すべて置換(&A)");
    EXPECT_EQ(dialog->CancelButton()->text(), "キャンセル");

    dialog->WhatEdit()->setText("cat");
    dialog->ReplacementEdit()->setText("dog");
    dialog->FindNextButton()->click();
    EXPECT_EQ(Current().textCursor().selectedText(), "cat");
    EXPECT_EQ(Current().textCursor().selectionStart(), 0);
    dialog->ReplaceButton()->click();
    EXPECT_EQ(Current().toPlainText(), "dog Cat cat");
    EXPECT_EQ(Current().textCursor().selectionStart(), 8);  // "Cat" differs in case

    dialog->CaseBox()->setChecked(false);
    Current().moveCursor(QTextCursor::Start);
    dialog->ReplaceAllButton()->click();
    EXPECT_EQ(Current().toPlainText(), "dog dog dog");
    view->OnCommand(memo_cmd::kUndo);  // one step undoes the whole replace all
    EXPECT_EQ(Current().toPlainText(), "dog Cat cat");

    // Upwards from the end; at the start nothing more.
    dialog->UpButton()->setChecked(true);
    Current().moveCursor(QTextCursor::End);
    dialog->FindNextButton()->click();
    EXPECT_EQ(Current().textCursor().selectionStart(), 8);
    Current().moveCursor(QTextCursor::Start);
    dialog->FindNextButton()->click();
    EXPECT_EQ(prompter.Shown().back(), "該当文字列が見つかりません");

    // The dialog is reused, then forgotten when closed.
    view->OnCommand(memo_cmd::kFind);
    EXPECT_EQ(view->FindDialog(), dialog);
    EXPECT_FALSE(dialog->ReplaceButton()->isVisibleTo(dialog));
    dialog->CancelButton()->click();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(view->FindDialog(), nullptr);
    // F3 repeats the remembered search downwards, Shift+F3 upwards.
    Current().moveCursor(QTextCursor::Start);
    QTest::keyClick(&Current(), Qt::Key_F3);
    EXPECT_EQ(Current().textCursor().selectionStart(), 4);
    QTest::keyClick(&Current(), Qt::Key_F3);
    EXPECT_EQ(Current().textCursor().selectionStart(), 8);
    QTest::keyClick(&Current(), Qt::Key_F3, Qt::ShiftModifier);
    EXPECT_EQ(Current().textCursor().selectionStart(), 4);
}

TEST_F(MemoViewTest, SortRebuildsTheTabsOnOkOnly) {
    Open({{"a", "1"}, {"b", "2"}});
    QTest::keyClicks(&Current(), "edited ");
    view->sortDialog = [](MemoSortForm& form) {
        form.Down();
        return false;
    };
    view->OnCommand(memo_cmd::kSort);
    EXPECT_EQ(Tab(0), "a");
    view->sortDialog = [](MemoSortForm& form) {
        form.Down();
        return true;
    };
    view->OnCommand(memo_cmd::kSort);
    EXPECT_EQ(Tab(0), "b");
    EXPECT_EQ(Tab(1), "a");
    EXPECT_EQ(view->Tabs()->currentIndex(), 0);
    view->ShowPage(1);
    EXPECT_EQ(Current().toPlainText(), "edited 1");
}

TEST_F(MemoViewTest, SearchAllOffersTheHitsAndShowsTheChosenPage) {
    Open({{"a", "会議"}, {"b", "買い物"}, {"c", "会議室"}});
    view->word = WordQuery{"会議", {}};
    view->chosenHit = 2;
    view->OnCommand(memo_cmd::kSearch);
    ASSERT_EQ(view->offered.size(), 2u);
    EXPECT_EQ(view->offered[1].name, "c");
    EXPECT_EQ(view->Tabs()->currentIndex(), 2);

    view->word = WordQuery{"none", {}};
    view->OnCommand(memo_cmd::kSearch);
    EXPECT_EQ(prompter.Shown().back(), "見つかりませんでした");
}

TEST_F(MemoViewTest, ARightClickOnATabMakesItCurrentAndOpensTheMemoMenu) {
    Open({{"a", "1"}, {"b", "2"}});
    ASSERT_EQ(view->Tabs()->currentIndex(), 0);
    const QPoint onSecond = view->Tabs()->tabRect(1).center();
    emit view->Tabs()->customContextMenuRequested(onSecond);
    EXPECT_EQ(view->Tabs()->currentIndex(), 1);
    EXPECT_EQ(Current().toPlainText(), "2");
    EXPECT_EQ(view->menuItems,
              (std::vector<QString>{"メモの追加(&A)...", "メモのタイトルの変更(&R)...",
                                    "メモの削除(&D)", "-", "メモのフォント(&F)...",
                                    "メモの並び替え(&S)...", "メモの検索(&K)..."}));
}

TEST_F(MemoViewTest, TextTheFileCannotHoldKeepsTheViewOpenOnThatPage) {
    Open({{"a", "1"}, {"b", "2"}});
    view->ShowPage(0);
    Current().setPlainText(QString::fromUtf8("絵文字😀"));
    view->ShowPage(1);
    EXPECT_FALSE(view->QueryClose());
    EXPECT_EQ(view->Tabs()->currentIndex(), 0);
    EXPECT_FALSE(Doc().SaveTo(Path("memo.alx")));
    Current().setPlainText(QString::fromUtf8("絵文字"));
    EXPECT_TRUE(view->QueryClose());
    EXPECT_EQ(List()[0].text, "絵文字");
}

// The pages' texts are read from the editors' raw text, not through toPlainText: what reaches
// the list must still be exactly what toPlainText gives, separators and no-break spaces too.
TEST_F(MemoViewTest, TheListGetsTheEditorsPlainTextWhateverItHolds) {
    Open({{"a", "1"}, {"b", "2"}});
    view->ShowPage(0);
    Current().setPlainText(QString::fromUtf8("行1\n行2"));
    QTest::keyClick(&Current(), Qt::Key_End, Qt::ControlModifier);
    QTest::keyClick(&Current(), Qt::Key_Return, Qt::ShiftModifier);  // a line separator
    Current().insertPlainText(QString::fromUtf8("東京\u00A0駅 abc"));
    const std::string expected = Current().toPlainText().toStdString();
    EXPECT_EQ(expected, "行1\n行2\n東京 駅 abc");
    view->ShowPage(1);
    // A lone surrogate takes Qt's own conversion.
    Current().setPlainText(QStringLiteral("x") + QChar(0xD83D) + QStringLiteral("y"));
    const std::string lone = Current().toPlainText().toStdString();
    ASSERT_TRUE(view->Synchronise());
    EXPECT_EQ(List()[0].text, expected);
    EXPECT_EQ(List()[1].text, lone);

    // Text the file cannot hold is found in the same pass, with the entry check's message.
    view->ShowPage(0);
    Current().appendPlainText(QString::fromUtf8("①😀é"));
    view->ShowPage(1);
    EXPECT_FALSE(view->Synchronise());
    EXPECT_TRUE(prompter.Saw(UnrepresentableMessage("メモの内容", "😀")));
    EXPECT_EQ(view->Tabs()->currentIndex(), 0);
    EXPECT_EQ(List()[0].text, expected);
}

TEST_F(MemoViewTest, AReadOnlyFileGivesReadOnlyEditorsAndRefusesMemoChanges) {
    Open({{"a", "1"}}, 0, true);
    ASSERT_TRUE(Doc().IsReadOnly());
    EXPECT_TRUE(Current().isReadOnly());
    EXPECT_FALSE(view->CommandStatus(memo_cmd::kAdd)->enabled);
    view->OnCommand(memo_cmd::kAdd);
    EXPECT_EQ(prompter.Shown().back(), "読み取り専用ファイルのため、変更は反映されません");
}

TEST_F(MemoViewTest, TheFontComesFromMemoFont) {
    settings.SetString("MemoFont", "FaceName", "Noto Sans CJK JP");
    settings.SetInt("MemoFont", "Weight", 700);
    New();
    EXPECT_TRUE(Current().font().bold());
}

}  // namespace
}  // namespace almx
