#include "views/sch_view.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>
#include <cstdio>

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
#include "views/multi_sort_dlg.h"
#include "views/todo_view.h"

namespace almx {

namespace {

using namespace sch_cmd;

constexpr int kDefaultWidths[kScheduleColumnCount] = {48, 96, 96, 300, 120, 160, 90};

const FontSpec kTableFontDefault{"ＭＳ Ｐゴシック", -17, 400, 0, 0, 128};
const FontSpec kTitleFontDefault{"ＭＳ Ｐゴシック", 32, 700, 0, 0, 128};

std::string WidthKey(int column) {
    char key[16];
    std::snprintf(key, sizeof key, "Width%02d", column);
    return key;
}

}  // namespace

CSchView::CSchView(DocumentHost& host, SettingsStore& settings, Prompter& prompter, QWidget* parent)
    : ViewBase(host, parent),
      settings_(settings),
      prompter_(prompter),
      band_(new TodoTitleBand(this)),
      box_(new QLineEdit(band_)),
      button_(new QPushButton(QStringLiteral("検索"), band_)),
      grid_(new grid::GridControl(this)) {
    band_->SetTitle(QStringLiteral("検索リスト"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(band_);
    layout->addWidget(grid_, 1);
    setFocusProxy(grid_);
    // Delete and the exports act on every selected row.
    grid_->setSelectionMode(QAbstractItemView::ExtendedSelection);

    keys_ = SortKeyList::Load(settings_, "SchSort");
    condition_ = SearchCondition::Load(settings_, "SchFind");

    grid_->SetColumnCount(kScheduleColumnCount);
    for (int c = 0; c < kScheduleColumnCount; ++c) {
        grid_->SetHeading(c,
                          QString::fromUtf8(ScheduleColumnHeadings()[static_cast<std::size_t>(c)]));
        const int stored = settings_.GetInt("SchList", WidthKey(c), 0);
        grid_->SetColumnWidth(c, stored > 0 ? stored : kDefaultWidths[c]);
    }
    grid_->onColumnResized = [this](int column, int width) {
        settings_.SetInt("SchList", WidthKey(column), width);
    };
    grid_->onEnter = [this](int) { Edit(); };
    grid_->onDoubleClick = [this](int, int) { Edit(); };
    grid_->onKey = [this](QKeyEvent* event) { return HandleKey(event); };
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

CSchView::~CSchView() {
    keys_.Store(settings_, "SchSort");
}

void CSchView::LoadLook() {
    const FontSpec tableSpec = FontSpec::Load(settings_, "SchFont", kTableFontDefault);
    tableFonts_ = FontVariants(tableSpec);
    grid_->Model().ClearFonts();
    for (std::size_t i = 0; i < tableFonts_.size(); ++i) {
        fontIndex_[i] = grid_->Model().AddFont(tableFonts_[i]);
    }
    grid_->SetTableFont(tableFonts_[0]);
    grid_->SetRowHeight(QFontMetrics(tableFonts_[0]).height() + 2);
    tableBack_ = LoadListColour(settings_, "View", "BackColor", 16777215);
    grid_->Model().SetDefaultColours(ListColour(LoadListColour(settings_, "View", "StrColor", 0)),
                                     ListColour(tableBack_));

    const QFont titleFont = ListFont(FontSpec::Load(settings_, "SchTitleFont", kTitleFontDefault));
    band_->SetLook(ListColour(LoadListColour(settings_, "Sch", "TitleBackColor", 12632256)),
                   ListColour(LoadListColour(settings_, "Sch", "TitleTextColor", 0)), titleFont);
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

bool CSchView::Stale() {
    return Document().Records().Generation() != filledGeneration_;
}

const CAlmxData* CSchView::SelectedRecord() {
    const int row = grid_->SelectedRow();
    if (row < 0 || row >= static_cast<int>(rows_.size()) || Stale()) return nullptr;
    const CAlmxData* record = rows_[static_cast<std::size_t>(row)];
    return Document().Records().Contains(record) ? record : nullptr;
}

std::vector<const CAlmxData*> CSchView::SelectedRecords() {
    std::vector<const CAlmxData*> records;
    if (Stale()) return records;
    for (int row : grid_->SelectedRows()) {
        if (row < 0 || row >= static_cast<int>(rows_.size())) continue;
        const CAlmxData* record = rows_[static_cast<std::size_t>(row)];
        if (Document().Records().Contains(record)) records.push_back(record);
    }
    return records;
}

int CSchView::RowOf(const CAlmxData* record) const {
    const auto at = std::find(rows_.begin(), rows_.end(), record);
    return at == rows_.end() ? -1 : static_cast<int>(at - rows_.begin());
}

void CSchView::Refill(int row) {
    if (row < 0) row = grid_->SelectedRow();
    QApplication::setOverrideCursor(Qt::WaitCursor);
    grid_->SuspendDrawing();
    const RecordList& records = Document().Records();
    rows_ = ScheduleRows(records, condition_, keys_);
    filledGeneration_ = records.Generation();

    const CAlmxFieldArray& genres = Document().Array().genres;
    grid::GridModel& model = grid_->Model();
    model.SetColumnCount(kScheduleColumnCount);
    model.SetRowCount(static_cast<int>(rows_.size()));
    const QColor back = ListColour(tableBack_);
    for (int r = 0; r < static_cast<int>(rows_.size()); ++r) {
        const CAlmxData& record = *rows_[static_cast<std::size_t>(r)];
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

void CSchView::showEvent(QShowEvent* event) {
    ViewBase::showEvent(event);
    if (firstShown_) return;
    firstShown_ = true;
    Refill(0);
    grid_->setFocus(Qt::OtherFocusReason);
}

bool CSchView::HandleKey(QKeyEvent* event) {
    if (event->matches(QKeySequence::Copy)) return OnCommand(kCopy);
    if (event->matches(QKeySequence::Cut)) return OnCommand(kCut);
    if (event->matches(QKeySequence::Paste)) return OnCommand(kPaste);
    if (event->key() == Qt::Key_A && event->modifiers() == Qt::ControlModifier) {
        return OnCommand(kAdd);
    }
    const bool plain = (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
    if (plain && event->key() == Qt::Key_Delete) return OnCommand(kDelete);
    return false;
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

void CSchView::ChangeFont(const char* section, const FontSpec& defaults) {
    std::optional<FontSpec> chosen = ChooseFont(FontSpec::Load(settings_, section, defaults));
    if (!chosen) return;
    chosen->Store(settings_, section);
    LoadLook();
    Refill(-1);
}

void CSchView::ChangeColour(const char* section, const char* key, std::uint32_t fallback) {
    std::optional<std::uint32_t> chosen =
        ChooseColour(LoadListColour(settings_, section, key, fallback));
    if (!chosen) return;
    StoreListColour(settings_, section, key, *chosen);
    LoadLook();
    Refill(-1);
}

std::unique_ptr<QMenu> CSchView::CreateContextMenu() {
    auto menu = std::make_unique<QMenu>(this);
    auto add = [&](const QString& text, int id) {
        QAction* action = menu->addAction(text);
        const std::optional<CommandState> state = CommandStatus(id);
        action->setEnabled(state && state->enabled);
        connect(action, &QAction::triggered, this, [this, id] { OnCommand(id); });
    };
    add(QStringLiteral("追加(&A)...\tCtrl+A"), kAdd);
    add(QStringLiteral("修正(&I)...\tEnter"), kEdit);
    add(QStringLiteral("削除(&D)...\tDelete"), kDelete);
    menu->addSeparator();
    add(QStringLiteral("切り取り(&T)\tCtrl+X"), kCut);
    add(QStringLiteral("コピー(&C)\tCtrl+C"), kCopy);
    add(QStringLiteral("貼り付け(&V)\tCtrl+V"), kPaste);
    return menu;
}

std::optional<std::uint32_t> CSchView::ChooseColour(std::uint32_t initial) {
    return AskColour(this, initial);
}

std::optional<FontSpec> CSchView::ChooseFont(const FontSpec& current) {
    return AskFont(this, current);
}

void CSchView::RunSortDialog() {
    CMultiSortDlg dialog(SortListKind::Schedule, keys_, this);
    dialog.exec();
}

void CSchView::RunContextMenu(QMenu& menu, const QPoint& globalPos) {
    menu.exec(globalPos);
}

}  // namespace almx
