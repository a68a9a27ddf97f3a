#include "views/day_view.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QPainter>
#include <QScrollBar>
#include <QStyledItemDelegate>
#include <QVBoxLayout>
#include <algorithm>

#include "base/clock.h"
#include "base/prompter.h"
#include "base/settings_store.h"
#include "calendar/day_list.h"
#include "core/record.h"
#include "document/document.h"
#include "ui/qt_colour.h"
#include "views/list_support.h"

namespace almx {

namespace {

enum Command : int {
    kEdit = 32768,
    kAddSchedule = 32781,
    kDelete = 32782,
    kRefresh = 32825,
    kListFont = 32827,
    kOpenLink = 32829,
    kSelectionColour = 32817,
    kRepeatedCopy = 32836,
    kOneUp = 32842,
    kOneDown = 32843,
    kAddTodo = 32846,
    kFocusMonth = 32853,
    kCopy = 57634,
    kCut = 57635,
    kPaste = 57637,
    kRefreshColours = 32948,
};

// Passed on to the month view of the frame, as if its grid had the focus.
constexpr std::array<int, 25> kMonthCommands = {
    32774, 32771, 32776, 32769, 32772, 32777, 32770, 32773, 32775, 32784, 32791, 32845, 32816,
    32878, 32879, 32893, 32894, 57636, 32822, 32823, 32856, 32891, 57607, 57609, 32786};

bool IsMonthCommand(int id) {
    return std::find(kMonthCommands.begin(), kMonthCommands.end(), id) != kMonthCommands.end();
}

const FontSpec kDayFontDefault{"ＭＳ ゴシック", 13, 400, 0, 0, 128};

}  // namespace

DayListColours DayListColours::Load(const SettingsStore& settings) {
    DayListColours colours;
    colours.back = LoadListColour(settings, "DayView", "BackColor", colours.back);
    colours.back2 = LoadListColour(settings, "DayView", "BackColor2", colours.back2);
    colours.text = LoadListColour(settings, "DayView", "StrColor", colours.text);
    colours.text2 = LoadListColour(settings, "DayView", "StrColor2", colours.text2);
    return colours;
}

FontSpec DayListFontSpec(const SettingsStore& settings) {
    return FontSpec::Load(settings, "DayFont", kDayFontDefault);
}

// --- DayListModel ---

void DayListModel::Reset(const DateTime& day, std::vector<const CAlmxData*> entries) {
    beginResetModel();
    day_ = day;
    entries_ = std::move(entries);
    endResetModel();
}

void DayListModel::Remove(const CAlmxData* entry) {
    for (std::size_t i = 0; i < entries_.size(); ++i) {
        if (entries_[i] != entry) continue;
        const int row = static_cast<int>(i);
        beginRemoveRows({}, row, row);
        entries_.erase(entries_.begin() + static_cast<std::ptrdiff_t>(i));
        endRemoveRows();
        return;
    }
}

const CAlmxData* DayListModel::Entry(int row) const {
    if (row < 0 || row >= static_cast<int>(entries_.size())) return nullptr;
    if (isStale && isStale()) return nullptr;
    return entries_[static_cast<std::size_t>(row)];
}

int DayListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(entries_.size());
}

QVariant DayListModel::data(const QModelIndex& index, int role) const {
    const CAlmxData* entry = Entry(index.row());
    if (entry == nullptr || role != Qt::DisplayRole) return {};
    return QString::fromStdString(entry->title);
}

// --- drawing the rows ---

class DayEntryDelegate : public QStyledItemDelegate {
  public:
    explicit DayEntryDelegate(CDayListBox* list) : QStyledItemDelegate(list), list_(list) {}

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        const CAlmxData* entry = list_->Rows().Entry(index.row());
        if (entry == nullptr) return;
        const bool selected = (option.state & QStyle::State_Selected) != 0;
        const DayListColours& colours = list_->Colours();
        QColor fill = ListColour(colours.back);
        if (selected) {
            // The entry's own colour; the selection colour where white text would vanish.
            const std::uint32_t own = DisplayColour(*entry, list_->HolidayColour());
            fill = ListColour(own == colours.text2 ? colours.back2 : own);
        }
        painter->fillRect(option.rect, fill);
        DrawDayEntry(painter, option.rect, *entry, list_->Rows().Day(),
                     list_->StyleFor(*entry, selected));
        if (option.state & QStyle::State_HasFocus) {
            painter->save();
            QPen pen(selected ? ListColour(colours.text2) : InkOn(ListColour(colours.back)));
            pen.setStyle(Qt::DotLine);
            painter->setPen(pen);
            painter->setBrush(Qt::NoBrush);
            painter->drawRect(option.rect.adjusted(0, 0, -1, -1));
            painter->restore();
        }
    }

    QSize sizeHint(const QStyleOptionViewItem&, const QModelIndex& index) const override {
        const int width = std::max(list_->viewport()->width(), 1);
        const CAlmxData* entry = list_->Rows().Entry(index.row());
        if (entry == nullptr) return {width, list_->lineHeight_};
        const int drawn = DrawDayEntry(nullptr, QRect(0, 0, width, list_->lineHeight_), *entry,
                                       list_->Rows().Day(), list_->StyleFor(*entry, false));
        return {width, drawn + list_->lineHeight_ / 4};
    }

  private:
    CDayListBox* list_;
};

// --- CDayListBox ---

CDayListBox::CDayListBox(Kind kind, const SettingsStore& settings, QWidget* parent)
    : QListView(parent), kind_(kind), settings_(settings), model_(new DayListModel(this)) {
    setObjectName(QStringLiteral("DayList306"));
    setModel(model_);
    setItemDelegate(new DayEntryDelegate(this));
    setSelectionMode(QAbstractItemView::SingleSelection);
    setUniformItemSizes(false);
    setResizeMode(QListView::Adjust);
    setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setFrameShape(QFrame::NoFrame);
    marks_ = EntryMarks::Drawn();
    LoadLook();
}

CDayListBox::~CDayListBox() = default;

void CDayListBox::LoadLook() {
    colours_ = DayListColours::Load(settings_);
    fonts_ = FontVariants(DayListFontSpec(settings_));
    lineHeight_ = QFontMetrics(fonts_[0]).height();
    const DisplaySettings display = DisplaySettings::Load(settings_);
    wrap_ = display.multiline;
    fileMarks_ = display.fileMarks;
    detailMarks_ = display.detailMarks;
    holidayColour_ = display.holidayColor;
    timeDisplay_ = kind_ == DayViewList     ? display.dayViewTime
                   : kind_ == DiaryViewList ? display.diaryViewTime
                                            : 0;
    ReloadRules();
    QPalette palette = viewport()->palette();
    palette.setColor(QPalette::Base, ListColour(colours_.back));
    viewport()->setPalette(palette);
    setFont(fonts_[0]);
    doItemsLayout();
    viewport()->update();
}

void CDayListBox::ReloadRules() {
    rules_ = DisplayRules::FromSettings(settings_);
}

EntryStyle CDayListBox::StyleFor(const CAlmxData& entry, bool selected) const {
    EntryStyle style;
    style.font = fonts_[static_cast<std::size_t>(FontVariant(entry.textStyle))];
    style.textColour =
        selected ? ListColour(colours_.text2) : ListColour(DisplayColour(entry, holidayColour_));
    style.wrap = wrap_;
    style.fileMarks = fileMarks_;
    style.detailMarks = detailMarks_;
    style.timeDisplay = timeDisplay_;
    style.rules = rules_;
    style.marks = &marks_;
    return style;
}

int CDayListBox::SelectedRow() const {
    const QModelIndexList rows = selectionModel()->selectedRows();
    return rows.isEmpty() ? -1 : rows.first().row();
}

void CDayListBox::SelectRow(int row) {
    row = std::min(row, RowCount() - 1);
    if (row < 0) {
        selectionModel()->clearSelection();
        return;
    }
    const QModelIndex index = model_->index(row);
    selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect);
    scrollTo(index);
}

int CDayListBox::TopRow() const {
    const QModelIndex top = indexAt(QPoint(1, 1));
    return top.isValid() ? top.row() : 0;
}

void CDayListBox::SetTopRow(int row) {
    row = std::min(row, RowCount() - 1);
    if (row < 0) return;
    scrollTo(model_->index(row), QAbstractItemView::PositionAtTop);
}

int CDayListBox::RowHeight(int row) const {
    if (row < 0 || row >= RowCount()) return 0;
    return sizeHintForIndex(model_->index(row)).height();
}

void CDayListBox::keyPressEvent(QKeyEvent* event) {
    if (onKey && onKey(event)) {
        event->accept();
        return;
    }
    const bool plain = (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
    if (plain && (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)) {
        if (onEdit) onEdit();
        event->accept();
        return;
    }
    // The view's own copy would put the title on the clipboard, not the record line.
    if (event->matches(QKeySequence::Copy)) {
        event->ignore();
        return;
    }
    QListView::keyPressEvent(event);
}

void CDayListBox::mouseDoubleClickEvent(QMouseEvent* event) {
    QListView::mouseDoubleClickEvent(event);
    if (event->button() == Qt::LeftButton && indexAt(event->position().toPoint()).isValid() &&
        onEdit) {
        onEdit();
    }
}

void CDayListBox::contextMenuEvent(QContextMenuEvent* event) {
    if (onContextMenu) {
        onContextMenu(event->globalPos());
        event->accept();
        return;
    }
    QListView::contextMenuEvent(event);
}

bool CDayListBox::viewportEvent(QEvent* event) {
    if (event->type() == QEvent::Paint && isStale && isStale()) {
        if (onRefresh) onRefresh();
        viewport()->update();
        return true;
    }
    return QListView::viewportEvent(event);
}

void CDayListBox::resizeEvent(QResizeEvent* event) {
    QListView::resizeEvent(event);
    // Wrapped rows change height with the width.
    doItemsLayout();
}

// --- CDayView ---

CDayView::CDayView(DocumentHost& host, SettingsStore& settings, Prompter& prompter,
                   const Clock& clock, QWidget* parent, CDayListBox::Kind kind)
    : ViewBase(host, parent),
      settings_(settings),
      prompter_(prompter),
      clock_(clock),
      list_(new CDayListBox(kind, settings, this)) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(list_);
    setFocusProxy(list_);
    day_ = Today(clock_, settings_.GetInt("System", "TodayLimit", 0));

    list_->onEdit = [this] { Edit(); };
    list_->onKey = [this](QKeyEvent* event) { return HandleKey(event); };
    list_->onContextMenu = [this](const QPoint& pos) {
        std::unique_ptr<QMenu> menu = CreateContextMenu();
        RunContextMenu(*menu, pos);
    };
    list_->isStale = [this] { return Stale(); };
    list_->Rows().isStale = list_->isStale;
    list_->onRefresh = [this] { Refill(-1); };
    connect(list_->selectionModel(), &QItemSelectionModel::currentChanged, this,
            &ViewBase::CommandStatesChanged);
    connect(list_->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &ViewBase::CommandStatesChanged);
}

CDayView::~CDayView() {
    // The list's selection goes with it: nothing may ask this half-destroyed view then.
    list_->selectionModel()->disconnect(this);
}

void CDayView::ShowDate(const DateTime& day) {
    day_ = day;
    Refill(-1);
}

DateTime CDayView::SelectedDay() const {
    if (link_.selectedDate) {
        if (std::optional<DateTime> date = link_.selectedDate()) return date->Date();
    }
    return day_;
}

bool CDayView::Stale() {
    return Document().Records().Generation() != filledGeneration_;
}

const CAlmxData* CDayView::SelectedEntry() {
    if (Stale()) return nullptr;
    return list_->Rows().Entry(list_->SelectedRow());
}

void CDayView::Refill(int row) {
    if (row < 0) row = list_->SelectedRow();
    day_ = SelectedDay();
    list_->ReloadRules();
    CAlmxDoc& document = Document();
    const int top = list_->TopRow();
    list_->setUpdatesEnabled(false);
    std::vector<const CAlmxData*> entries;
    const DayCellSource source = document.FillSource();
    if (cells_.Fill(day_, 1, source, DayCellSettings::FromSettings(settings_), clock_, nullptr)) {
        entries = cells_[0].entries;
    }
    filledGeneration_ = document.Records().Generation();
    list_->Rows().Reset(day_, std::move(entries));
    list_->doItemsLayout();
    list_->SetTopRow(top);
    list_->SelectRow(row);
    list_->setUpdatesEnabled(true);
    list_->viewport()->update();
    // New rows under the same selected row number still change what one up or down can do.
    emit CommandStatesChanged();
}

void CDayView::ReloadLook() {
    list_->LoadLook();
    Refill(-1);
}

void CDayView::OnUpdate(QObject*, int hint, const CAlmxData* record) {
    if ((hint & kHintRemoveRecord) && record != nullptr) {
        cells_.RemoveRecord(record);
        list_->Rows().Remove(record);
    }
    // The option commands repaint or refill colours; they may have changed the look
    // (wrapping, marks). Record changes keep it.
    if (hint & (kHintRepaint | kHintRefillColours)) list_->LoadLook();
    // Every hint that refills the month view's cells refills the day too.
    if (hint & (kHintRefill | kHintRepaint | kHintRefillColours | kHintRecomputeMonth)) {
        Refill(-1);
        if ((hint & kHintRepaint) && link_.takeSearchHit) {
            if (const CAlmxData* hit = link_.takeSearchHit()) {
                const int row = RowOfEntry(list_->Rows().Entries(), hit);
                if (row >= 0) list_->SelectRow(row);
            }
        }
    }
    list_->viewport()->update();
}

void CDayView::showEvent(QShowEvent* event) {
    ViewBase::showEvent(event);
    if (firstShown_) return;
    firstShown_ = true;
    Refill(0);
}

bool CDayView::HandleKey(QKeyEvent* event) {
    if (event->matches(QKeySequence::Copy)) return OnCommand(kCopy);
    if (event->matches(QKeySequence::Cut)) return OnCommand(kCut);
    if (event->matches(QKeySequence::Paste)) return OnCommand(kPaste);
    const bool plain = (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
    if (plain && event->key() == Qt::Key_Delete) return OnCommand(kDelete);
    return false;
}

void CDayView::Changed(int row) {
    Document().SetModified(true);
    Host().UpdateAllViews(this, kHintRefill);
    Refill(row);
}

bool CDayView::OnCommand(int id) {
    if (IsMonthCommand(id)) {
        return link_.commands != nullptr && link_.commands->OnCommand(id);
    }
    switch (id) {
        case kRefresh:
            Refill(-1);
            return true;
        case kRefreshColours:
            // Holiday colour, fonts and look changed elsewhere.
            ReloadLook();
            return true;
        case kEdit:
            Edit();
            return true;
        case kAddSchedule:
            Add();
            return true;
        case kAddTodo:
            AddTodo();
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
        case kRepeatedCopy:
            RepeatedCopy();
            return true;
        case kListFont:
            ChangeFont();
            return true;
        case kSelectionColour:
            ChangeSelectionColour();
            return true;
        case kFocusMonth:
            if (link_.widget) link_.widget->setFocus(Qt::OtherFocusReason);
            return true;
        case kOpenLink:
            ActOnSelected(actions_.openLink);
            return true;
        case calendar_cmd::kVCalendarEntry:
        case calendar_cmd::kVCalendarMail:
        case calendar_cmd::kICalendarEntry:
            CalendarCommand(id);
            return true;
        default:
            return false;
    }
}

void CDayView::CalendarCommand(int id) {
    // The entry is copied: a dialog runs the event loop, and the document may change in it.
    const CAlmxData* entry = SelectedEntry();
    if (entry == nullptr) return;
    const CAlmxData record = *entry;
    const DateTime day = SelectedDay();
    if (id == calendar_cmd::kVCalendarEntry && calendar_.saveVcs) calendar_.saveVcs(record, day);
    if (id == calendar_cmd::kVCalendarMail && calendar_.mailVcs) calendar_.mailVcs(record, day);
    if (id == calendar_cmd::kICalendarEntry && calendar_.saveIcs) calendar_.saveIcs(record);
}

std::optional<CommandState> CDayView::CommandStatus(int id) const {
    if (IsMonthCommand(id)) {
        if (link_.commands) return link_.commands->CommandStatus(id);
        return CommandState{false};
    }
    const int row = list_->SelectedRow();
    const int count = list_->RowCount();
    const bool selected = row >= 0 && row < count;
    switch (id) {
        case kRefresh:
        case kRefreshColours:
        case kListFont:
        case kSelectionColour:
        case kPaste:
            return CommandState{true};
        case kFocusMonth:
            return CommandState{link_.widget != nullptr};
        case kEdit:
            return CommandState{selected && static_cast<bool>(actions_.edit)};
        case kAddSchedule:
            return CommandState{static_cast<bool>(actions_.addSchedule)};
        case kAddTodo:
            return CommandState{static_cast<bool>(actions_.addTodo)};
        case kRepeatedCopy:
            return CommandState{selected && static_cast<bool>(actions_.repeatedCopy)};
        case kDelete:
        case kCopy:
        case kCut:
            return CommandState{selected};
        case kOneUp:
            return CommandState{selected && row > 0};
        case kOneDown:
            return CommandState{selected && row < count - 1};
        case kOpenLink:
            return CommandState{selected && static_cast<bool>(actions_.openLink)};
        case calendar_cmd::kVCalendarEntry:
            return CommandState{selected && static_cast<bool>(calendar_.saveVcs)};
        case calendar_cmd::kVCalendarMail:
            return CommandState{selected && calendar_.mailVcs && calendar_.mailReady &&
                                calendar_.mailReady()};
        case calendar_cmd::kICalendarEntry:
            return CommandState{selected && static_cast<bool>(calendar_.saveIcs)};
        default:
            return std::nullopt;
    }
}

void CDayView::ActOnSelected(const std::function<bool(const CAlmxData*)>& action) {
    const CAlmxData* entry = SelectedEntry();
    if (entry == nullptr || !action) return;
    const int row = list_->SelectedRow();
    if (action(entry)) Refill(row);
    list_->setFocus(Qt::OtherFocusReason);
}

void CDayView::Edit() {
    ActOnSelected(actions_.edit);
}

void CDayView::Add() {
    if (!actions_.addSchedule) return;
    if (!actions_.addSchedule(SelectedDay())) return;
    Refill(-1);
    list_->SelectRow(list_->RowCount() - 1);
    list_->setFocus(Qt::OtherFocusReason);
}

void CDayView::AddTodo() {
    if (!actions_.addTodo) return;
    if (actions_.addTodo()) Refill(-1);
}

void CDayView::Delete() {
    const CAlmxData* entry = SelectedEntry();
    if (entry == nullptr) return;
    const int row = list_->SelectedRow();
    const DeleteOutcome outcome = Document().DeleteRecord(entry, day_);
    if (outcome == DeleteOutcome::Deleted || outcome == DeleteOutcome::DayExcepted) Changed(row);
}

void CDayView::Copy() {
    if (const CAlmxData* entry = SelectedEntry()) CopyRecordLine(*entry);
}

void CDayView::Cut() {
    const CAlmxData* entry = SelectedEntry();
    if (entry == nullptr) return;
    CopyRecordLine(*entry);
    // A holiday computed for display stays.
    if (!Document().Array().Contains(entry)) return;
    const int row = list_->SelectedRow();
    if (Document().RemoveRecord(entry)) Refill(row);
}

void CDayView::Paste() {
    // The whole text: a long memo must not be cut into the wrong number of cells.
    if (!Document().PasteOntoDate(ClipboardText(), SelectedDay())) return;
    const int row = RowOfEntry(list_->Rows().Entries(), &Document().Records().back());
    if (row >= 0) list_->SelectRow(row);
}

void CDayView::Move(int step) {
    if (!Document().CanChange()) return;
    if (Stale()) Refill(-1);
    const int row = list_->SelectedRow();
    const DayMove move = MoveDayEntry(Document().Array(), list_->Rows().Entries(), row, step);
    if (move.result == DayMoveResult::Automatic) {
        prompter_.ShowMessage(kAutomaticEntryMessage, MessageKind::Warning);
        return;
    }
    if (move.result != DayMoveResult::Moved) return;
    Document().RecordsEdited();
    Changed(row);
    const int moved = RowOfEntry(list_->Rows().Entries(), move.moved);
    if (moved >= 0) list_->SelectRow(moved);
}

void CDayView::RepeatedCopy() {
    const CAlmxData* entry = SelectedEntry();
    if (entry == nullptr || !actions_.repeatedCopy) return;
    const int row = list_->SelectedRow();
    if (actions_.repeatedCopy(entry)) Refill(row);
}

void CDayView::ChangeFont() {
    std::optional<FontSpec> chosen = ChooseFont(DayListFontSpec(settings_));
    if (!chosen) return;
    chosen->Store(settings_, "DayFont");
    ReloadLook();
}

void CDayView::ChangeSelectionColour() {
    std::optional<std::uint32_t> chosen = ChooseColour(list_->Colours().back2);
    if (!chosen) return;
    StoreListColour(settings_, "DayView", "BackColor2", *chosen);
    list_->LoadLook();
}

std::unique_ptr<QMenu> CDayView::CreateContextMenu() {
    auto menu = std::make_unique<QMenu>(this);
    auto add = [&](const QString& text, int id) { AddCommandItem(*menu, id, text); };
    add(QStringLiteral("切り取り(&T)\tCtrl+X"), kCut);
    add(QStringLiteral("コピー(&C)\tCtrl+C"), kCopy);
    add(QStringLiteral("貼り付け(&V)\tCtrl+V"), kPaste);
    menu->addSeparator();
    add(QStringLiteral("スケジュールの追加(&A)..."), kAddSchedule);
    add(QStringLiteral("TODOの追加(&O)..."), kAddTodo);
    add(QStringLiteral("修正(&I)...\tEnter"), kEdit);
    add(QStringLiteral("削除(&D)...\tDelete"), kDelete);
    menu->addSeparator();
    add(QStringLiteral("一つ上へ(&U)"), kOneUp);
    add(QStringLiteral("一つ下へ(&N)"), kOneDown);
    menu->addSeparator();
    add(QStringLiteral("vCalender形式"), calendar_cmd::kVCalendarEntry);
    add(QStringLiteral("vCalender形式 メール送信"), calendar_cmd::kVCalendarMail);
    add(QStringLiteral("iCalender形式で保存"), calendar_cmd::kICalendarEntry);
    menu->addSeparator();
    add(QStringLiteral("リンクファイルを開く(&L)"), kOpenLink);
    return menu;
}

std::optional<std::uint32_t> CDayView::ChooseColour(std::uint32_t initial) {
    return AskColour(this, initial);
}

std::optional<FontSpec> CDayView::ChooseFont(const FontSpec& current) {
    return AskFont(this, current);
}

void CDayView::RunContextMenu(QMenu& menu, const QPoint& globalPos) {
    menu.exec(globalPos);
}

}  // namespace almx
