#include "views/todo_view.h"

#include <gtest/gtest.h>

#include <QClipboard>
#include <QGuiApplication>
#include <QMenu>
#include <QTest>
#include <memory>

#include "base/clock.h"
#include "base/prompter.h"
#include "base/settings_store.h"
#include "core/record_line.h"
#include "document/document.h"
#include "grid/grid_control.h"

namespace almx {
namespace {

DateTime At(int y, int m, int d, int h = 0) {
    return DateTime::FromParts(y, m, d, h, 0);
}

CAlmxData Todo(const std::string& title, int importance, const DateTime& deadline) {
    CAlmxData r;
    r.title = title;
    r.todoImportance = static_cast<std::uint16_t>(importance);
    r.start = deadline;
    r.Set(IsTodo);
    return r;
}

class TestTodoView : public CTodoView {
  public:
    using CTodoView::CTodoView;
    std::optional<std::uint32_t> colour;
    std::optional<FontSpec> font;
    std::function<void(SortKeyList&)> sortDialog;
    std::vector<QString> menuItems;

  protected:
    std::optional<std::uint32_t> ChooseColour(std::uint32_t) override { return colour; }
    std::optional<FontSpec> ChooseFont(const FontSpec&) override { return font; }
    void RunSortDialog() override {
        if (sortDialog) sortDialog(Keys());
    }
    void RunContextMenu(QMenu& menu, const QPoint&) override {
        menuItems.clear();
        for (QAction* action : menu.actions()) {
            menuItems.push_back(action->isSeparator() ? QStringLiteral("-") : action->text());
        }
    }
};

class TodoViewTest : public ::testing::Test {
  protected:
    TodoViewTest() {
        DocumentContext context;
        context.settings = &settings;
        context.prompter = &prompter;
        context.clock = &clock;
        host = std::make_unique<DocumentHost>(std::make_unique<CAlmxDoc>(context));
    }

    RecordList& Records() { return host->Document().Records(); }

    std::unique_ptr<TestTodoView> MakeView() {
        auto view = std::make_unique<TestTodoView>(*host, settings, prompter, clock);
        view->resize(700, 400);
        view->show();
        return view;
    }

    QString Cell(TestTodoView& view, int row, int column) { return view.Grid().Text(row, column); }

    std::vector<std::string> Titles(TestTodoView& view) {
        std::vector<std::string> titles;
        for (int r = 0; r < view.Grid().RowCount(); ++r) {
            titles.push_back(Cell(view, r, CTodoView::TitleColumn).toStdString());
        }
        return titles;
    }

    MemorySettingsStore settings;
    ScriptedPrompter prompter;
    ManualClock clock{At(2024, 6, 10, 9)};
    std::unique_ptr<DocumentHost> host;
};

using Names = std::vector<std::string>;

TEST_F(TodoViewTest, RowsShowEveryColumnInTheDefaultOrder) {
    CAlmxData done = Todo("済んだ", 0, At(2024, 6, 1));
    done.Set(TodoDone);
    done.end = At(2024, 6, 5);
    CAlmxData none = Todo("いつか", 1, At(2024, 6, 1));
    none.Set(TodoNoDeadline);
    CAlmxData schedule;
    schedule.title = "会議";
    CAlmxData odd = Todo("変な重要度", 12, At(2024, 6, 9));
    odd.colour = 0x0000FF;
    odd.textStyle = 3;
    Records() = {done, Todo("今日", 0, At(2024, 6, 10, 18)), schedule, none, odd};
    auto view = MakeView();

    ASSERT_EQ(view->Grid().RowCount(), 4);
    EXPECT_EQ(Titles(*view), (Names{"今日", "いつか", "変な重要度", "済んだ"}));
    EXPECT_EQ(Cell(*view, 0, 0), "");
    EXPECT_EQ(Cell(*view, 0, 1), "[緊急]");
    EXPECT_EQ(Cell(*view, 0, 2), "あと 0日");
    EXPECT_EQ(Cell(*view, 0, 3), "未完了");
    EXPECT_EQ(Cell(*view, 1, 2), "");
    EXPECT_EQ(Cell(*view, 2, 1), "[12]");
    EXPECT_EQ(Cell(*view, 2, 2), "期限over");
    EXPECT_EQ(Cell(*view, 3, 0), "*");
    EXPECT_TRUE(view->Grid().Model().IsChecked(3, 0));
    EXPECT_EQ(Cell(*view, 3, 2), "2024/06/01");
    EXPECT_EQ(Cell(*view, 3, 3), "2024/06/05");
    EXPECT_EQ(view->Grid().Model().headerData(0, Qt::Horizontal, Qt::DisplayRole), "完了");
    EXPECT_EQ(view->Grid().Model().headerData(4, Qt::Horizontal, Qt::DisplayRole), "内容");
    EXPECT_EQ(view->Grid().Model().headerData(2, Qt::Vertical, Qt::DisplayRole), "3");
    // Colour of the record, bold and struck-out title, plain other cells.
    const QModelIndex title = view->Grid().Model().index(2, CTodoView::TitleColumn);
    EXPECT_EQ(title.data(Qt::ForegroundRole).value<QColor>(), QColor(255, 0, 0));
    EXPECT_TRUE(title.data(Qt::FontRole).value<QFont>().bold());
    EXPECT_TRUE(title.data(Qt::FontRole).value<QFont>().strikeOut());
    EXPECT_FALSE(view->Grid().Model().index(2, 1).data(Qt::FontRole).value<QFont>().bold());
    EXPECT_EQ(view->Grid().SelectedRow(), 0);

    // Deadline mode 1 shows dates and is written at once.
    view->OnCommand(32854);
    EXPECT_EQ(settings.GetInt("Todo", "KigenMode", -1), 1);
    EXPECT_EQ(Cell(*view, 0, 2), "2024/06/10");
    EXPECT_TRUE(view->CommandStatus(32854)->checked);
}

TEST_F(TodoViewTest, SortKeysComeFromTheDialogAndAreWrittenWhenTheViewCloses) {
    Records() = {Todo("b", 2, At(2024, 6, 20)), Todo("a", 2, At(2024, 6, 12)),
                 Todo("c", 1, At(2024, 6, 30))};
    auto view = MakeView();
    EXPECT_EQ(Titles(*view), (Names{"c", "a", "b"}));  // importance, then deadline
    view->sortDialog = [](SortKeyList& keys) {
        keys.keys = {0, 2, 1, 3, 4, 5};
        keys.directions = {1, 0, 0, 0, 0, 0};
    };
    view->OnCommand(32844);
    EXPECT_EQ(Titles(*view), (Names{"c", "b", "a"}));
    EXPECT_FALSE(settings.Contains("TodoSort", "Item0"));
    view.reset();
    EXPECT_EQ(settings.GetInt("TodoSort", "Item0", -1), 0);
    EXPECT_EQ(settings.GetInt("TodoSort", "Item1", -1), 2);
    EXPECT_EQ(settings.GetInt("TodoSort", "Mode0", -1), 1);

    auto again = MakeView();
    EXPECT_EQ(Titles(*again), (Names{"c", "b", "a"}));
}

TEST_F(TodoViewTest, OneUpAndDownExchangeRecordsThatCompareEqual) {
    // Two to-dos equal on every key (the place is none of them) and one of less importance.
    Records() = {Todo("同じ", 1, At(2024, 6, 12)), Todo("同じ", 1, At(2024, 6, 12)),
                 Todo("後", 2, At(2024, 6, 12))};
    Records()[0].place = "一";
    Records()[1].place = "二";
    auto view = MakeView();
    auto places = [&] {
        Names shown;
        for (const CAlmxData* r : view->Rows()) shown.push_back(r->place);
        return shown;
    };
    // Equal to-dos in the heap sort's order: these two come out reversed.
    ASSERT_EQ(places(), (Names{"二", "一", ""}));
    int others = 0;
    QObject::connect(host.get(), &DocumentHost::Updated,
                     [&](QObject* sender, int hint, const CAlmxData*) {
                         if (sender == view.get() && hint == 1) ++others;
                     });
    view->Grid().SelectRow(0);
    EXPECT_FALSE(view->CommandStatus(32842)->enabled);
    view->OnCommand(32842);  // nothing above the first row
    EXPECT_EQ(places(), (Names{"二", "一", ""}));
    EXPECT_FALSE(host->Document().IsModified());

    view->OnCommand(32843);
    EXPECT_EQ(Records()[0].place, "二");
    EXPECT_EQ(Records()[1].place, "一");
    EXPECT_TRUE(host->Document().IsModified());
    EXPECT_EQ(others, 1);
    EXPECT_EQ(places(), (Names{"一", "二", ""}));
    EXPECT_EQ(view->Grid().SelectedRow(), 1);

    // The exchange with a to-do that sorts apart changes the container, not the rows.
    view->OnCommand(32843);
    EXPECT_EQ(Records()[2].place, "二");
    EXPECT_EQ(places(), (Names{"一", "二", ""}));
    view->Grid().SelectRow(2);
    view->OnCommand(32843);  // nothing below the last row
    EXPECT_EQ(Records()[2].place, "二");
    EXPECT_EQ(others, 2);
}

TEST_F(TodoViewTest, DeleteAsksTheTitleAndKeepsTheRowNumber) {
    Records() = {Todo("一", 0, At(2024, 6, 12)), Todo("二", 1, At(2024, 6, 12)),
                 Todo("三", 2, At(2024, 6, 12))};
    auto view = MakeView();
    view->Grid().SelectRow(1);
    prompter.Then(Answer::Cancel);
    view->OnCommand(32782);
    EXPECT_EQ(prompter.Shown().back(), "二 を削除しますか？");
    EXPECT_EQ(Records().size(), 3u);

    prompter.Then(Answer::Ok);
    QTest::keyClick(&view->Grid(), Qt::Key_Delete);
    EXPECT_EQ(Records().size(), 2u);
    EXPECT_EQ(Titles(*view), (Names{"一", "三"}));
    EXPECT_EQ(view->Grid().SelectedRow(), 1);
    prompter.Then(Answer::Ok);
    view->OnCommand(32782);
    EXPECT_EQ(view->Grid().SelectedRow(), 0);  // the last row
    EXPECT_TRUE(host->Document().IsModified());
}

TEST_F(TodoViewTest, CheckingATodoDoneInTheListCompletesItToday) {
    Records() = {Todo("報告", 0, At(2024, 6, 12)), Todo("連絡", 1, At(2024, 6, 12))};
    auto view = MakeView();
    ASSERT_EQ(Titles(*view), (Names{"報告", "連絡"}));
    const QModelIndex box = view->Grid().Model().index(0, CTodoView::DoneColumn);
    ASSERT_TRUE(view->Grid().Model().flags(box) & Qt::ItemIsUserCheckable);
    view->Grid().Model().setData(box, Qt::Checked, Qt::CheckStateRole);
    QCoreApplication::processEvents();
    EXPECT_TRUE(Records()[0].Has(TodoDone));
    EXPECT_EQ(Records()[0].end, At(2024, 6, 10));
    EXPECT_TRUE(host->Document().IsModified());
    // Done to-dos follow the open ones; the selection follows the record.
    EXPECT_EQ(Titles(*view), (Names{"連絡", "報告"}));
    EXPECT_EQ(Cell(*view, 1, CTodoView::CompletionColumn), "2024/06/10");
    EXPECT_EQ(view->Grid().SelectedRow(), 1);

    view->Grid().Model().setData(view->Grid().Model().index(1, 0), Qt::Unchecked,
                                 Qt::CheckStateRole);
    QCoreApplication::processEvents();
    EXPECT_FALSE(Records()[0].Has(TodoDone));
    EXPECT_EQ(Titles(*view), (Names{"報告", "連絡"}));
}

TEST_F(TodoViewTest, CopyAndPasteGoThroughTheClipboardAsOneRecordLine) {
    CAlmxData todo = Todo("長いメモ", 3, At(2024, 6, 20));
    todo.memo = std::string(4000, 'x');
    Records() = {todo};
    auto view = MakeView();
    view->OnCommand(57634);
    const QString text = QGuiApplication::clipboard()->text();
    EXPECT_EQ(text.toStdString(), RecordLine(todo));

    view->OnCommand(57637);
    ASSERT_EQ(Records().size(), 2u);
    EXPECT_EQ(Records()[1], todo);
    EXPECT_EQ(view->Grid().RowCount(), 2);

    QGuiApplication::clipboard()->setText(QStringLiteral("ただの文字"));
    view->OnCommand(57637);
    EXPECT_EQ(Records().size(), 2u);

    view->Grid().SelectRow(0);
    view->OnCommand(57635);
    EXPECT_EQ(Records().size(), 1u);
    EXPECT_EQ(QGuiApplication::clipboard()->text().toStdString(), RecordLine(todo));
}

TEST_F(TodoViewTest, HintsRefillOnlyOnOneAndStaleRowsAreNeverUsed) {
    Records() = {Todo("一", 0, At(2024, 6, 12))};
    auto view = MakeView();
    Records().push_back(Todo("二", 1, At(2024, 6, 12)));
    host->UpdateAllViews(nullptr, 16, &Records()[0]);
    EXPECT_EQ(view->Grid().RowCount(), 1);
    host->UpdateAllViews(nullptr, 4);
    EXPECT_EQ(view->Grid().RowCount(), 1);
    // The container changed without a refill: the old row's record is not touched.
    EXPECT_EQ(view->SelectedTodo(), nullptr);
    view->OnCommand(57634);
    host->UpdateAllViews(nullptr, 1);
    EXPECT_EQ(view->Grid().RowCount(), 2);
    EXPECT_EQ(view->SelectedTodo(), &Records()[0]);
}

TEST_F(TodoViewTest, ColoursFontsAndWidthsAreWrittenToTheirKeys) {
    settings.SetInt("TodoList", "Width04", 333);
    Records() = {Todo("一", 0, At(2024, 6, 12))};
    auto view = MakeView();
    EXPECT_EQ(view->Grid().columnWidth(4), 333);
    view->Grid().onColumnResized(2, 120);
    EXPECT_EQ(settings.GetInt("TodoList", "Width02", 0), 120);

    view->colour = 0x00FF00;
    view->OnCommand(32816);
    EXPECT_EQ(settings.GetString("View", "TodoBackColor", ""), "65280");
    EXPECT_EQ(view->Grid().Model().index(0, 2).data(Qt::BackgroundRole).value<QColor>(),
              QColor(0, 255, 0));
    view->OnCommand(32871);
    EXPECT_EQ(settings.GetString("Todo", "TitleBackColor", ""), "65280");
    view->colour.reset();
    view->OnCommand(32872);
    EXPECT_FALSE(settings.Contains("Todo", "TitleTextColor"));

    view->font = FontSpec{"Noto Sans CJK JP", -24, 700, 0, 0, 128};
    view->OnCommand(32870);
    EXPECT_EQ(settings.GetInt("TodoFont", "Size", 0), -24);
    EXPECT_EQ(view->Grid().RowHeight(), QFontMetrics(view->Grid().font()).height() + 2);

    view->Grid().onRightClick(0, 1, QPoint());
    EXPECT_EQ(view->menuItems.size(), 9u);
    EXPECT_EQ(view->menuItems.back(), "リンクファイルを開く(&L)");
    view->Grid().onRightClick(-1, -1, QPoint());
    EXPECT_EQ(view->menuItems.size(), 7u);
    EXPECT_EQ(view->menuItems[0], "追加(&A)...\tCtrl+A");
}

}  // namespace
}  // namespace almx
