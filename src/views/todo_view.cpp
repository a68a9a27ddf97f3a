#include "views/todo_view.h"

#include <QApplication>
#include <QMenu>
#include <algorithm>

#include "base/clock.h"
#include "base/prompter.h"
#include "base/settings_store.h"
#include "calendar/day_cells.h"
#include "core/record.h"
#include "core/todo_list.h"
#include "document/document.h"
#include "grid/grid_control.h"
#include "ui/qt_colour.h"
#include "views/list_support.h"

namespace almx {

namespace {

enum Command : int {
    kEdit = 32768,
    kAdd = 32781,
    kAddTodo = 32846,
    kDelete = 32782,
    kTitleFont = 32785,
    kTableBack = 32816,
    kOpenLink = 32829,
    kOneUp = 32842,
    kOneDown = 32843,
    kSortOrder = 32844,
    kDeadlineMode = 32854,
    kTableFont = 32870,
    kBandColour = 32871,
    kBandTextColour = 32872,
    kPrint = 57607,
    kPrintPreview = 57609,
    kCopy = 57634,
    kCut = 57635,
    kPaste = 57637,
    kRefreshColours = 32948,
};

constexpr int kColumns = 5;
constexpr const char* kHeadings[kColumns] = {"完了", "重要度", "期限", "完了日付", "内容"};
constexpr int kDefaultWidths[kColumns] = {48, 64, 96, 104, 420};

const FontSpec kTableFontDefault{"ＭＳ Ｐゴシック", -17, 400, 0, 0, 128};
const FontSpec kTitleFontDefault{"Arial", 36, 700, 1, 0, 0};

constexpr const char* kDeleteSuffix = " を削除しますか？";

}  // namespace

// --- CTodoView ---

CTodoView::CTodoView(DocumentHost& host, SettingsStore& settings, Prompter& prompter,
                     const Clock& clock, QWidget* parent)
    : RecordTableView(host, settings, prompter, {kAdd, kEdit, kDelete, kCut, kCopy, kPaste},
                      {"TodoList", "TodoSort"}, SortListKind::Todo, parent),
      clock_(clock) {
    deadlineMode_ = settings_.GetInt("Todo", "KigenMode", TodoShowDaysLeft);

    SetUpColumns(kHeadings, kDefaultWidths);
    grid_->Model().SetColumnType(DoneColumn, grid::CellType::CheckBox);
    grid_->Model().SetColumnEditable(DoneColumn, true);
    grid_->Model().SetColumnAlignment(DoneColumn, Qt::AlignCenter);
    grid_->Model().SetColumnAlignment(ImportanceColumn, Qt::AlignCenter);

    grid_->onEnter = [this](int) { Edit(); };
    grid_->onDoubleClick = [this](int, int) { OnCommand(kEdit); };
    grid_->onCheckToggled = [this](int row, int, bool checked) { CheckToggled(row, checked); };
    grid_->onRightClick = [this](int row, int, const QPoint& pos) {
        std::unique_ptr<QMenu> menu = CreateContextMenu(row >= 0);
        RunContextMenu(*menu, pos);
    };
    connect(grid_->selectionModel(), &QItemSelectionModel::currentChanged, this,
            &ViewBase::CommandStatesChanged);
    connect(grid_->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &ViewBase::CommandStatesChanged);
    LoadLook();
}

CTodoView::~CTodoView() {
    grid_->selectionModel()->disconnect(this);
}

void CTodoView::LoadLook() {
    LoadTableFonts("TodoFont", kTableFontDefault);
    tableBack_ = LoadListColour(settings_, "View", "TodoBackColor", 16777215);
    grid_->Model().SetDefaultColours(InkOn(ListColour(tableBack_)), ListColour(tableBack_));

    const QFont titleFont = LoadBandLook("Todo", "TodoTitleFont", kTitleFontDefault);
    // Two lines of the view's font, or more when the title font would not fit in them.
    band_->setFixedHeight(
        std::max(2 * QFontMetrics(font()).height(), QFontMetrics(titleFont).height() + 2));
}

const CAlmxData* CTodoView::SelectedTodo() {
    return RecordAt(grid_->SelectedRow());
}

void CTodoView::Refill(int row) {
    if (row < 0) row = grid_->SelectedRow();
    QApplication::setOverrideCursor(Qt::WaitCursor);
    grid_->SuspendDrawing();
    TakeRows(TodoRows(Document().Records(), keys_));
    const std::vector<const CAlmxData*>& rows = Rows();

    const DateTime today = Today(clock_, settings_.GetInt("System", "TodayLimit", 0));
    grid::GridModel& model = grid_->Model();
    model.SetColumnCount(kColumns);
    model.SetRowCount(static_cast<int>(rows.size()));
    const QColor back = ListColour(tableBack_);
    for (int r = 0; r < static_cast<int>(rows.size()); ++r) {
        const CAlmxData& todo = *rows[static_cast<std::size_t>(r)];
        const TodoRowTexts texts = TodoRow(todo, deadlineMode_, today);
        const std::array<const std::string*, kColumns> cells = {
            &texts.done, &texts.importance, &texts.deadline, &texts.completion, &texts.title};
        const QColor colour = ListColour(todo.colour);
        for (int c = 0; c < kColumns; ++c) {
            model.SetText(r, c, QString::fromStdString(*cells[static_cast<std::size_t>(c)]));
            model.SetTextColour(r, c, colour);
            model.SetBackColour(r, c, back);
            model.SetCellFont(r, c, fontIndex_[0]);
        }
        model.SetCellFont(r, TitleColumn,
                          fontIndex_[static_cast<std::size_t>(FontVariant(todo.textStyle))]);
        model.SetChecked(r, DoneColumn, todo.Has(TodoDone));
        model.SetRowData(r, reinterpret_cast<quintptr>(&todo));
    }
    grid_->ResumeDrawing();
    grid_->SelectRow(row);
    QApplication::restoreOverrideCursor();
    emit CommandStatesChanged();
}

void CTodoView::OnUpdate(QObject*, int hint, const CAlmxData*) {
    // The view's own changes reach the others only (they are sent with this view as sender).
    if (hint == kHintRemoveRecord) return;
    if (hint == kHintRefill) {
        Refill(-1);
        return;
    }
    grid_->viewport()->update();
    band_->update();
}

void CTodoView::Changed(int row) {
    Document().SetModified(true);
    Host().UpdateAllViews(this, kHintRefill);
    Refill(row);
}

bool CTodoView::OnCommand(int id) {
    switch (id) {
        case kRefreshColours:
            // Fonts and colours written by another to-do list.
            LoadLook();
            Refill(-1);
            return true;
        case kEdit:
            Edit();
            return true;
        case kAdd:
        case kAddTodo:
            Add();
            return true;
        case kDelete:
            Delete();
            return true;
        case kCopy:
            Copy();
            return true;
        case kCut:
            Cut();
            return true;
        case kPaste:
            Paste();
            return true;
        case kOneUp:
            Move(-1);
            return true;
        case kOneDown:
            Move(1);
            return true;
        case kSortOrder:
            RunSortDialog();
            Refill(-1);
            return true;
        case kDeadlineMode:
            ToggleDeadlineMode();
            return true;
        case kTitleFont:
            ChangeFont("TodoTitleFont", kTitleFontDefault);
            return true;
        case kTableFont:
            ChangeFont("TodoFont", kTableFontDefault);
            return true;
        case kBandColour:
            ChangeColour("Todo", "TitleBackColor", 12632256);
            return true;
        case kBandTextColour:
            ChangeColour("Todo", "TitleTextColor", 0);
            return true;
        case kTableBack:
            ChangeColour("View", "TodoBackColor", 16777215);
            return true;
        case kOpenLink:
            ActOnSelected(actions_.openLink);
            return true;
        case kPrint:
        case kPrintPreview:
            return true;  // these come with their own parts of the program
        default:
            return false;
    }
}

std::optional<CommandState> CTodoView::CommandStatus(int id) const {
    const int row = grid_->SelectedRow();
    const int count = grid_->RowCount();
    const bool selected = row >= 0 && row < count;
    switch (id) {
        case kEdit:
            return CommandState{selected && static_cast<bool>(actions_.edit)};
        case kAdd:
        case kAddTodo:
            return CommandState{static_cast<bool>(actions_.addTodo)};
        case kDelete:
        case kCopy:
        case kCut:
            return CommandState{selected};
        case kOneUp:
            return CommandState{selected && row > 0};
        case kOneDown:
            return CommandState{selected && row < count - 1};
        case kDeadlineMode:
            return CommandState{true, true, deadlineMode_ == TodoShowDeadline};
        case kPaste:
        case kRefreshColours:
        case kSortOrder:
        case kTitleFont:
        case kTableFont:
        case kBandColour:
        case kBandTextColour:
        case kTableBack:
            return CommandState{true};
        case kOpenLink:
            return CommandState{selected && static_cast<bool>(actions_.openLink)};
        case kPrint:
        case kPrintPreview:
            return CommandState{false};
        default:
            return std::nullopt;
    }
}

void CTodoView::ActOnSelected(const std::function<bool(const CAlmxData*)>& action) {
    const CAlmxData* todo = SelectedTodo();
    if (todo == nullptr || !action) return;
    const int row = grid_->SelectedRow();
    if (action(todo)) Refill(row);
}

void CTodoView::Edit() {
    ActOnSelected(actions_.edit);
}

void CTodoView::Add() {
    if (!actions_.addTodo) return;
    if (!actions_.addTodo()) return;
    Refill(-1);
    // A new to-do goes last in the container.
    const RecordList& records = Document().Records();
    if (!records.empty() && records.back().Has(IsTodo)) grid_->SelectRow(RowOf(&records.back()));
}

void CTodoView::Delete() {
    const CAlmxData* todo = SelectedTodo();
    if (todo == nullptr) return;
    const int row = grid_->SelectedRow();
    if (prompter_.AskOkCancel(todo->title + kDeleteSuffix) != Answer::Ok) return;
    // The prompt ran the event loop; the record may have gone meanwhile.
    if (Document().RemoveRecord(todo)) Refill(row);
}

void CTodoView::Copy() {
    if (const CAlmxData* todo = SelectedTodo()) CopyRecordLine(*todo);
}

void CTodoView::Cut() {
    const CAlmxData* todo = SelectedTodo();
    if (todo == nullptr) return;
    CopyRecordLine(*todo);
    const int row = grid_->SelectedRow();
    if (Document().RemoveRecord(todo)) Refill(row);
}

void CTodoView::Paste() {
    // The whole text: a long memo must not be cut into the wrong number of cells.
    std::optional<CAlmxData> record =
        RecordToPaste(ClipboardText(), Document().NewRecordDefaults(), prompter_);
    if (!record) return;
    const CAlmxData* pasted = Document().AddRecord(std::move(*record), false);
    if (pasted == nullptr) return;
    const int row = RowOf(pasted);
    if (row >= 0) grid_->SelectRow(row);
}

void CTodoView::Move(int step) {
    const CAlmxData* todo = SelectedTodo();
    if (todo == nullptr || !Document().CanChange()) return;
    const int row = grid_->SelectedRow();
    const int other = row + step;
    const CAlmxData* neighbour = RecordAt(other);
    if (neighbour == nullptr) return;
    if (ExchangeRecords(Document().Array(), todo, neighbour) == nullptr) return;
    Document().RecordsEdited();
    Changed(other);
}

void CTodoView::CheckToggled(int row, bool done) {
    const CAlmxData* todo = RecordAt(row);
    if (todo == nullptr) {
        Refill(-1);
        return;
    }
    if (!Document().CanChange()) {
        Refill(row);
        return;
    }
    const DateTime today = Today(clock_, settings_.GetInt("System", "TodayLimit", 0));
    if (!SetTodoDone(Document().Array(), todo, done, today)) {
        Refill(row);
        return;
    }
    Document().RecordsEdited();
    Changed(-1);
    const int moved = RowOf(todo);
    if (moved >= 0) grid_->SelectRow(moved);
}

void CTodoView::ToggleDeadlineMode() {
    deadlineMode_ = deadlineMode_ == TodoShowDaysLeft ? TodoShowDeadline : TodoShowDaysLeft;
    settings_.SetInt("Todo", "KigenMode", deadlineMode_);
    Refill(-1);
}

std::unique_ptr<QMenu> CTodoView::CreateContextMenu(bool onRow) {
    std::unique_ptr<QMenu> menu = CreateEditMenu();
    if (onRow) {
        menu->addSeparator();
        AddCommandItem(*menu, kOpenLink, QStringLiteral("リンクファイルを開く(&L)"));
    }
    return menu;
}

}  // namespace almx
