#include "views/todo_view.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QPainter>
#include <QVBoxLayout>
#include <algorithm>
#include <cstdio>

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
#include "views/multi_sort_dlg.h"

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

std::string WidthKey(int column) {
    char key[16];
    std::snprintf(key, sizeof key, "Width%02d", column);
    return key;
}

}  // namespace

// --- TodoTitleBand ---

TodoTitleBand::TodoTitleBand(QWidget* parent) : QWidget(parent) {}

void TodoTitleBand::SetLook(const QColor& back, const QColor& text, const QFont& font) {
    back_ = back;
    text_ = text;
    font_ = font;
    update();
}

void TodoTitleBand::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), back_);
    painter.setFont(font_);
    painter.setPen(text_);
    painter.drawText(rect(), Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, title_);
}

// --- CTodoView ---

CTodoView::CTodoView(DocumentHost& host, SettingsStore& settings, Prompter& prompter,
                     const Clock& clock, QWidget* parent)
    : ViewBase(host, parent),
      settings_(settings),
      prompter_(prompter),
      clock_(clock),
      band_(new TodoTitleBand(this)),
      grid_(new grid::GridControl(this)) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(band_);
    layout->addWidget(grid_, 1);
    setFocusProxy(grid_);

    keys_ = SortKeyList::Load(settings_, "TodoSort");
    deadlineMode_ = settings_.GetInt("Todo", "KigenMode", TodoShowDaysLeft);

    grid_->SetColumnCount(kColumns);
    for (int c = 0; c < kColumns; ++c) {
        grid_->SetHeading(c, QString::fromUtf8(kHeadings[c]));
        const int stored = settings_.GetInt("TodoList", WidthKey(c), 0);
        grid_->SetColumnWidth(c, stored > 0 ? stored : kDefaultWidths[c]);
    }
    grid_->Model().SetColumnType(DoneColumn, grid::CellType::CheckBox);
    grid_->Model().SetColumnEditable(DoneColumn, true);
    grid_->Model().SetColumnAlignment(DoneColumn, Qt::AlignCenter);
    grid_->Model().SetColumnAlignment(ImportanceColumn, Qt::AlignCenter);

    grid_->onColumnResized = [this](int column, int width) {
        settings_.SetInt("TodoList", WidthKey(column), width);
    };
    grid_->onEnter = [this](int) { Edit(); };
    grid_->onDoubleClick = [this](int, int) { OnCommand(kEdit); };
    grid_->onKey = [this](QKeyEvent* event) { return HandleKey(event); };
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
    keys_.Store(settings_, "TodoSort");
}

void CTodoView::LoadLook() {
    const FontSpec tableSpec = FontSpec::Load(settings_, "TodoFont", kTableFontDefault);
    tableFonts_ = FontVariants(tableSpec);
    grid_->Model().ClearFonts();
    for (std::size_t i = 0; i < tableFonts_.size(); ++i) {
        fontIndex_[i] = grid_->Model().AddFont(tableFonts_[i]);
    }
    grid_->SetTableFont(tableFonts_[0]);
    grid_->SetRowHeight(QFontMetrics(tableFonts_[0]).height() + 2);
    tableBack_ = LoadListColour(settings_, "View", "TodoBackColor", 16777215);
    grid_->Model().SetDefaultColours(InkOn(ListColour(tableBack_)), ListColour(tableBack_));

    const QFont titleFont = ListFont(FontSpec::Load(settings_, "TodoTitleFont", kTitleFontDefault));
    band_->SetLook(ListColour(LoadListColour(settings_, "Todo", "TitleBackColor", 12632256)),
                   ListColour(LoadListColour(settings_, "Todo", "TitleTextColor", 0)), titleFont);
    // Two lines of the view's font, or more when the title font would not fit in them.
    band_->setFixedHeight(
        std::max(2 * QFontMetrics(font()).height(), QFontMetrics(titleFont).height() + 2));
}

bool CTodoView::Stale() {
    return Document().Records().Generation() != filledGeneration_;
}

const CAlmxData* CTodoView::SelectedTodo() {
    const int row = grid_->SelectedRow();
    if (row < 0 || row >= static_cast<int>(rows_.size()) || Stale()) return nullptr;
    const auto* record = reinterpret_cast<const CAlmxData*>(grid_->Model().RowData(row));
    return Document().Array().Contains(record) ? record : nullptr;
}

int CTodoView::RowOf(const CAlmxData* record) const {
    for (int row = 0; row < grid_->RowCount(); ++row) {
        if (grid_->Model().RowData(row) == reinterpret_cast<quintptr>(record)) return row;
    }
    return -1;
}

void CTodoView::Refill(int row) {
    if (row < 0) row = grid_->SelectedRow();
    QApplication::setOverrideCursor(Qt::WaitCursor);
    grid_->SuspendDrawing();
    const RecordList& records = Document().Records();
    rows_ = TodoRows(records, keys_);
    filledGeneration_ = records.Generation();

    const DateTime today = Today(clock_, settings_.GetInt("System", "TodayLimit", 0));
    grid::GridModel& model = grid_->Model();
    model.SetColumnCount(kColumns);
    model.SetRowCount(static_cast<int>(rows_.size()));
    const QColor back = ListColour(tableBack_);
    for (int r = 0; r < static_cast<int>(rows_.size()); ++r) {
        const CAlmxData& todo = *rows_[static_cast<std::size_t>(r)];
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

void CTodoView::showEvent(QShowEvent* event) {
    ViewBase::showEvent(event);
    if (firstShown_) return;
    firstShown_ = true;
    Refill(0);
    grid_->setFocus(Qt::OtherFocusReason);
}

bool CTodoView::HandleKey(QKeyEvent* event) {
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
    if (other < 0 || other >= static_cast<int>(rows_.size())) return;
    const CAlmxData* neighbour = rows_[static_cast<std::size_t>(other)];
    if (ExchangeRecords(Document().Array(), todo, neighbour) == nullptr) return;
    Document().RecordsEdited();
    Changed(other);
}

void CTodoView::CheckToggled(int row, bool done) {
    if (Stale() || row < 0 || row >= static_cast<int>(rows_.size())) {
        Refill(-1);
        return;
    }
    const auto* todo = reinterpret_cast<const CAlmxData*>(grid_->Model().RowData(row));
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

void CTodoView::ChangeFont(const char* section, const FontSpec& defaults) {
    std::optional<FontSpec> chosen = ChooseFont(FontSpec::Load(settings_, section, defaults));
    if (!chosen) return;
    chosen->Store(settings_, section);
    LoadLook();
    Refill(-1);
}

void CTodoView::ChangeColour(const char* section, const char* key, std::uint32_t fallback) {
    std::optional<std::uint32_t> chosen =
        ChooseColour(LoadListColour(settings_, section, key, fallback));
    if (!chosen) return;
    StoreListColour(settings_, section, key, *chosen);
    LoadLook();
    Refill(-1);
}

std::unique_ptr<QMenu> CTodoView::CreateContextMenu(bool onRow) {
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
    if (onRow) {
        menu->addSeparator();
        add(QStringLiteral("リンクファイルを開く(&L)"), kOpenLink);
    }
    return menu;
}

std::optional<std::uint32_t> CTodoView::ChooseColour(std::uint32_t initial) {
    return AskColour(this, initial);
}

std::optional<FontSpec> CTodoView::ChooseFont(const FontSpec& current) {
    return AskFont(this, current);
}

void CTodoView::RunSortDialog() {
    CMultiSortDlg dialog(SortListKind::Todo, keys_, this);
    dialog.exec();
}

void CTodoView::RunContextMenu(QMenu& menu, const QPoint& globalPos) {
    menu.exec(globalPos);
}

}  // namespace almx
