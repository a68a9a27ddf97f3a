#include "views/sch_view.h"

#include <QApplication>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <algorithm>

#include "base/prompter.h"
#include "base/settings_store.h"
#include "calendar/day_cells.h"
#include "calendar/schedule_list.h"
#include "core/genre.h"
#include "core/record.h"
#include "core/todo_list.h"
#include "document/document.h"
#include "grid/grid_control.h"
#include "views/list_support.h"

namespace almx {

namespace {

using namespace sch_cmd;

constexpr int kDefaultWidths[kScheduleColumnCount] = {48, 96, 96, 300, 120, 160, 90};

const FontSpec kTableFontDefault{"ＭＳ Ｐゴシック", -17, 400, 0, 0, 128};
const FontSpec kTitleFontDefault{"ＭＳ Ｐゴシック", 32, 700, 0, 0, 128};

}  // namespace

CSchView::CSchView(DocumentHost& host, SettingsStore& settings, Prompter& prompter, QWidget* parent)
    : RecordTableView(host, settings, prompter, {kAdd, kEdit, kDelete, kCut, kCopy, kPaste},
                      {"SchList", "SchSort"}, SortListKind::Schedule, parent),
      box_(new QLineEdit(band_)),
      button_(new QPushButton(QStringLiteral("検索"), band_)) {
    band_->SetTitle(QStringLiteral("検索リスト"));
    // Delete and the exports act on every selected row.
    grid_->setSelectionMode(QAbstractItemView::ExtendedSelection);

    condition_ = SearchCondition::Load(settings_, "SchFind");
    SetUpColumns(ScheduleColumnHeadings(), kDefaultWidths);
    grid_->onEnter = [this](int) { Edit(); };
    grid_->onDoubleClick = [this](int, int) { Edit(); };
    grid_->onRightClick = [this](int, int, const QPoint& pos) {
        std::unique_ptr<QMenu> menu = CreateContextMenu();
        RunContextMenu(*menu, pos);
    };
    connect(button_, &QPushButton::clicked, this, [this] { OnCommand(kSearchButton); });
    connect(box_, &QLineEdit::returnPressed, this, [this] { OnCommand(kSearchBox); });
    LoadLook();
    TakeCondition();
    box_->setText(QString::fromStdString(condition_.text));
}

void CSchView::LoadLook() {
    LoadTableFonts("SchFont", kTableFontDefault);
    tableBack_ = LoadListColour(settings_, "View", "BackColor", 16777215);
    grid_->Model().SetDefaultColours(ListColour(LoadListColour(settings_, "View", "StrColor", 0)),
                                     ListColour(tableBack_));

    const QFont titleFont = LoadBandLook("Sch", "SchTitleFont", kTitleFontDefault);
    const QFontMetrics metrics(font());
    box_->setFixedSize(16 * metrics.averageCharWidth(), metrics.height() * 5 / 4 + 6);
    button_->setFixedHeight(box_->height());
    // Two lines of the view's font, or more when the title font would not fit in them.
    band_->setFixedHeight(
        std::max({2 * metrics.height(), QFontMetrics(titleFont).height() + 2, box_->height() + 4}));
    PlaceBoxes();
}

void CSchView::PlaceBoxes() {
    const int x = std::max(band_->width() / 2, 0);
    box_->move(x, 2);
    button_->move(x + box_->width() + 2, 2);
}

void CSchView::resizeEvent(QResizeEvent* event) {
    ViewBase::resizeEvent(event);
    PlaceBoxes();
}

const CAlmxData* CSchView::SelectedRecord() {
    return RecordAt(grid_->SelectedRow());
}

std::vector<const CAlmxData*> CSchView::SelectedRecords() {
    std::vector<const CAlmxData*> records;
    for (int row : grid_->SelectedRows()) {
        if (const CAlmxData* record = RecordAt(row)) records.push_back(record);
    }
    return records;
}

void CSchView::Refill(int row) {
    if (row < 0) row = grid_->SelectedRow();
    QApplication::setOverrideCursor(Qt::WaitCursor);
    grid_->SuspendDrawing();
    TakeRows(ScheduleRows(Document().Records(), condition_, keys_));
    const std::vector<const CAlmxData*>& rows = Rows();

    const CAlmxFieldArray& genres = Document().Array().genres;
    grid::GridModel& model = grid_->Model();
    model.SetColumnCount(kScheduleColumnCount);
    model.SetRowCount(static_cast<int>(rows.size()));
    const QColor back = ListColour(tableBack_);
    for (int r = 0; r < static_cast<int>(rows.size()); ++r) {
        const CAlmxData& record = *rows[static_cast<std::size_t>(r)];
        const ScheduleRowTexts texts = ScheduleRow(record, genres);
        const QColor colour = ListColour(record.colour);
        for (int c = 0; c < kScheduleColumnCount; ++c) {
            model.SetText(r, c, QString::fromStdString(texts[static_cast<std::size_t>(c)]));
            model.SetTextColour(r, c, colour);
            model.SetBackColour(r, c, back);
            model.SetCellFont(r, c, fontIndex_[0]);
        }
        model.SetRowData(r, reinterpret_cast<quintptr>(&record));
    }
    grid_->ResumeDrawing();
    grid_->SelectRow(row);
    QApplication::restoreOverrideCursor();
}

void CSchView::OnUpdate(QObject*, int hint, const CAlmxData*) {
    // The list holds references into the container: every change of records refills it. A
    // date change (8) refills only when the records changed, so moving through the calendar
    // stays quick with a long list.
    if (hint & kHintRefillColours) LoadLook();
    if ((hint & (kHintRefill | kHintRefillColours | kHintRemoveRecord)) ||
        ((hint & kHintRecomputeMonth) && Stale())) {
        Refill(-1);
        return;
    }
    grid_->viewport()->update();
    band_->update();
}

void CSchView::TakeCondition() {
    CAlmxDoc& document = Document();
    if (!document.FindHandOver()) return;
    const std::string section = condition_.section;
    condition_ = document.FindCondition();
    condition_.section = section;
    condition_.Store(settings_);
    document.SetFindHandOver(false);
    box_->setText(QString::fromStdString(condition_.text));
}

void CSchView::SearchFromBox() {
    condition_.text = box_->text().toStdString();
    condition_.mode = kSearchContains;
    condition_.ignoreCase = true;
    condition_.ignoreWidth = true;
    condition_.targets = kTargetAll;
    condition_.Store(settings_);
    Refill(0);
    box_->setFocus(Qt::OtherFocusReason);
}

bool CSchView::OnCommand(int id) {
    switch (id) {
        case kEdit:
            Edit();
            return true;
        case kAdd:
            Add(false);
            return true;
        case kAddTodo:
            Add(true);
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
        case kOpenLink:
            if (const CAlmxData* record = SelectedRecord(); record && actions_.openLink) {
                actions_.openLink(record);
            }
            return true;
        case kTableFont:
            ChangeFont("SchFont", kTableFontDefault);
            return true;
        case kBandFont:
            ChangeFont("SchTitleFont", kTitleFontDefault);
            return true;
        case kBandColour:
            ChangeColour("Sch", "TitleBackColor", 12632256);
            return true;
        case kBandTextColour:
            ChangeColour("Sch", "TitleTextColor", 0);
            return true;
        case kSortOrder:
            RunSortDialog();
            Refill(-1);
            return true;
        case kSearchBox:
        case kSearchButton:
            SearchFromBox();
            return true;
        case kTakeCondition:
            TakeCondition();
            Refill(0);
            return true;
        case kICalendarExport:
            if (calendar_.saveRecords) {
                const std::vector<const CAlmxData*> records = SelectedRecords();
                if (!records.empty()) calendar_.saveRecords(records);
            }
            return true;
        case kOutlookExport:
        case kPrint:
            return true;  // these come with their own parts of the program
        default:
            return false;
    }
}

std::optional<CommandState> CSchView::CommandStatus(int id) const {
    const int row = grid_->SelectedRow();
    const bool selected = row >= 0 && row < grid_->RowCount();
    switch (id) {
        case kEdit:
            return CommandState{selected && static_cast<bool>(actions_.edit)};
        case kAdd:
            return CommandState{static_cast<bool>(actions_.addSchedule)};
        case kAddTodo:
            return CommandState{static_cast<bool>(actions_.addTodo)};
        case kDelete:
        case kCopy:
        case kCut:
            return CommandState{selected};
        case kOpenLink:
            return CommandState{selected && static_cast<bool>(actions_.openLink)};
        case kPaste:
        case kTableFont:
        case kBandFont:
        case kBandColour:
        case kBandTextColour:
        case kSortOrder:
        case kSearchBox:
        case kTakeCondition:
            return CommandState{true};
        case kICalendarExport:
            return CommandState{selected && static_cast<bool>(calendar_.saveRecords)};
        case kOutlookExport:
        case kPrint:
            return CommandState{false};
        default:
            return std::nullopt;
    }
}

void CSchView::Edit() {
    const CAlmxData* record = SelectedRecord();
    if (record == nullptr || !actions_.edit) return;
    if (!actions_.edit(record)) return;
    // The edited record keeps its address but may have moved in the order.
    Refill(-1);
    if (const int row = RowOf(record); row >= 0) grid_->SelectRow(row);
}

void CSchView::Add(bool todo) {
    if (todo) {
        if (actions_.addTodo && actions_.addTodo()) Refill(-1);
        return;
    }
    if (!actions_.addSchedule) return;
    const CAlmxData* record = SelectedRecord();
    if (actions_.addSchedule(record ? record->start.Date() : Host().SharedDate())) Refill(-1);
}

void CSchView::Delete() {
    if (SelectedRecords().empty()) return;
    const int row = grid_->SelectedRow();
    if (prompter_.AskOkCancel(kSchDeleteQuestion) != Answer::Ok) return;
    // The question ran the event loop: take the selection as it is now.
    std::vector<const CAlmxData*> records = SelectedRecords();
    if (records.empty() || !Document().CanChange()) return;
    const RecordList& all = Document().Records();
    std::sort(records.begin(), records.end(), [&](const CAlmxData* a, const CAlmxData* b) {
        return all.IndexOf(a) > all.IndexOf(b);
    });
    for (const CAlmxData* record : records) Document().RemoveRecord(record);
    Refill(row);
}

void CSchView::Copy() {
    if (const CAlmxData* record = SelectedRecord()) CopyRecordLine(*record);
}

void CSchView::Cut() {
    // Exactly the record copied, whatever else is selected.
    const CAlmxData* record = SelectedRecord();
    if (record == nullptr || !Document().CanChange()) return;
    CopyRecordLine(*record);
    const int row = grid_->SelectedRow();
    if (Document().RemoveRecord(record)) Refill(row);
}

void CSchView::Paste() {
    // The whole text: a long memo must not be cut into the wrong number of cells.
    std::optional<CAlmxData> record =
        RecordToPaste(ClipboardText(), Document().NewRecordDefaults(), prompter_);
    if (!record) return;
    const CAlmxData* pasted = Document().AddRecord(std::move(*record), false);
    if (pasted == nullptr) return;
    Refill(-1);
    if (const int row = RowOf(pasted); row >= 0) grid_->SelectRow(row);
}

std::unique_ptr<QMenu> CSchView::CreateContextMenu() {
    return CreateEditMenu();
}

}  // namespace almx
