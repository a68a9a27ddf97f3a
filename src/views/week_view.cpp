#include "views/week_view.h"

#include <QAction>
#include <QColorDialog>
#include <QContextMenuEvent>
#include <QFileDialog>
#include <QFontDialog>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QPushButton>
#include <QWheelEvent>
#include <algorithm>

#include "base/clock.h"
#include "base/prompter.h"
#include "base/settings_store.h"
#include "custom/ui/picture_cache.h"
#include "document/document.h"
#include "ui/calendar_ctrl.h"
#include "ui/font_colour.h"
#include "views/day_commands.h"
#include "views/list_support.h"
#include "views/month_dialogs.h"
#include "views/month_view_commands.h"
#include "views/view_dialogs.h"

namespace almx {

namespace {

using namespace month_cmd;

constexpr int kPrintForm = 32786;
constexpr int kTodoToday = 32820;
constexpr int kTimerLead = 32824;
constexpr int kScheduleList = 32828;
constexpr const char* kNextOpenMessage = "この設定は次回、ファイルオープン時から有効です。";

// Commands whose dialogs belong to other parts of the program: present, disabled until a
// handler is set.
constexpr int kLaterCommands[] = {
    kEdit, kAddSchedule, kAddTodo,      kEditDiary, kTextCopyDay, kICalendar,    kDaysFromToday,
    kFind, kFindNext,    kFindPrevious, kTimerLead, kPrint,       kPrintPreview, kPrintForm};

constexpr ContextMenuItem kContextMenu[] = {
    {kAddSchedule, "スケジュールの追加..."},
    {kAddTodo, "TODOの追加..."},
    {kEdit, "編集..."},
    {kPaste, "貼り付け"},
    {kNextWeek, "次の週へ"},
    {kPrevWeek, "前の週へ"},
    {kNextMonth, "次の月へ"},
    {kPrevMonth, "前の月へ"},
    {kEditDiary, "日記の編集"},
    {kTextCopyDay, "この日の予定をテキストコピー"},
    {kDayPicture, "この日の画像の指定..."},
    {kDayColour, "この日の色..."},
    {kClearDay, "この日の色指定解除..."},
    {kGoToDate, "指定の日付へ..."},
    {kToday, "今日へ移動"},
};

QRect ToQRect(const WeekRect& r) {
    return QRect(r.left, r.top, r.right - r.left, r.bottom - r.top);
}

QRect ToQRect(const CellRect& r) {
    return QRect(r.left, r.top, r.right - r.left, r.bottom - r.top);
}

}  // namespace

CWeekView::CWeekView(DocumentHost& host, DisplaySettings& display, SettingsStore& settings,
                     Prompter& prompter, const Clock& clock, QWidget* parent)
    : CalendarViewBase(host, display, settings, prompter, clock, parent),
      cells_(kWeekCells),
      cellPainter_(display) {
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
    marks_ = EntryMarks::Drawn();
    cellPainter_.SetMarks(&marks_);
    LoadFonts();

    calendar_ = new CVeltaCalenderCtrl(this, QRect(), kCalendarId);
    QFont small(QStringLiteral("ＭＳ Ｐゴシック"));
    small.setPointSize(8);
    calendar_->SetDayFont(small);
    calendar_->SetWeekdayColours(display_.weekColors);
    calendar_->SetHolidayColour(display_.holidayColor);
    calendar_->SetFirstWeekday(display_.startMonday ? 0 : 6);
    // Six rows: the selected day is always drawn, also in months that need a sixth.
    calendar_->SetRows(6);
    calendar_->SetCaption(false);
    calendar_->SetClock(&clock_, display_.todayLimit);
    next_ = new QPushButton(QStringLiteral(">"), this);
    previous_ = new QPushButton(QStringLiteral("<"), this);
    next_->setObjectName(QStringLiteral("weekNext"));
    previous_->setObjectName(QStringLiteral("weekPrevious"));
    next_->setFocusPolicy(Qt::NoFocus);
    previous_->setFocusPolicy(Qt::NoFocus);
    connect(next_, &QPushButton::clicked, this, [this] { CalendarMonth(1); });
    connect(previous_, &QPushButton::clicked, this, [this] { CalendarMonth(-1); });
    connect(calendar_, &CVeltaCalenderCtrl::DateChanged, this,
            [this](int, const DateTime& date) { OnCalendarPick(date); });
    connect(calendar_, &CVeltaCalenderCtrl::MonthChanged, this, [this] { UpdateCaption(); });
    connect(&PictureCache::Shared(), &PictureCache::Ready, this, qOverload<>(&QWidget::update));
    connect(this, &CWeekView::SelectionChanged, this, &ViewBase::CommandStatesChanged);

    // The date the document holds for its views, once; else today. The taken date is
    // selected in its week.
    if (!nav_.Select(TakeSharedDate())) nav_.Select(Today());
    Refill();
    LayOut();
    SyncCalendar();
    UpdateStatus();
}

CWeekView::~CWeekView() = default;

bool CWeekView::Refill() {
    rules_ = DisplayRules::FromSettings(settings_);
    rules_.todayLimit = display_.todayLimit;
    CAlmxArray& array = Document().Array();
    const DayCellSource source = Document().FillSource();
    const bool filled = cells_.Fill(nav_.Start(), kWeekCells, source, CellSettings(), clock_,
                                    &Document().FillNotices());
    filledGeneration_ = array.records.Generation();
    Host().ShowFillNoticesLater();
    if (!filled) {
        emit FillFailed();
        return false;
    }
    return true;
}

void CWeekView::LoadFonts() {
    cellPainter_.LoadFonts(FontFromSpec(display_.weekdayFont));
    captionFont_ = FontFromSpec(display_.scheduleFont);
}

void CWeekView::LayOut() {
    layout_ = LayOutWeek(width(), height());
    calendar_->setGeometry(ToQRect(layout_.calendar));
    previous_->setGeometry(ToQRect(layout_.previous));
    next_->setGeometry(ToQRect(layout_.next));
}

const char* CWeekView::StatusWeekdayName(int weekday) const {
    return kWeekdayNames[weekday];
}

void CWeekView::UpdateCaption() {
    const DateTime shown = calendar_->Date();
    caption_ = QString::asprintf("%04d", shown.Year()) + QStringLiteral("年") +
               QString::asprintf("%02d", shown.Month()) + QStringLiteral("月");
    update(ToQRect(layout_.caption));
}

void CWeekView::SyncCalendar() {
    calendarNotices_ = false;
    calendar_->SetDate(nav_.Selected());
    calendarNotices_ = true;
    UpdateCaption();
}

void CWeekView::ClockTick() {
    if (!TypingDate()) UpdateStatus();
    SyncCalendar();
}

QString CWeekView::CellLabel(int index) const {
    const DateTime day = nav_.CellDate(index);
    return QString::fromStdString(WeekDayLabel(day, index, display_.WeekdayName(day.DayOfWeek())));
}

// ---- hints

void CWeekView::OnUpdate(QObject*, int hint, const CAlmxData* record) {
    if ((hint & kHintRemoveRecord) && record) cells_.RemoveRecord(record);
    // A moved record may have been freed: every change of the records refills.
    if (hint & (kHintRefill | kHintRefillColours | kHintRecomputeMonth)) Refill();
    update();
}

// ---- commands

bool CWeekView::OnCommand(int id) {
    if (RunHandler(id)) {
        return true;
    }
    switch (id) {
        case kNextDay:
            Apply(nav_.MoveKey(WeekNavigation::Key::Down), true);
            return true;
        case kPrevDay:
            Apply(nav_.MoveKey(WeekNavigation::Key::Up), true);
            return true;
        case kNextWeek:
            Apply(nav_.MoveDays(7), true);
            return true;
        case kPrevWeek:
            Apply(nav_.MoveDays(-7), true);
            return true;
        case kNextMonth:
            Apply(nav_.MoveMonths(1), false);
            return true;
        case kPrevMonth:
            Apply(nav_.MoveMonths(-1), false);
            return true;
        case kNextYear:
            Apply(nav_.MoveMonths(12), false);
            return true;
        case kPrevYear:
            Apply(nav_.MoveMonths(-12), false);
            return true;
        case kGoToDate:
            if (auto date = AskDate(nav_.Selected())) GoTo(*date);
            return true;
        case kForwardDays:
            if (auto days = AskDaySpan()) Apply(nav_.MoveDays(*days), false);
            return true;
        case kToday:
            GoTo(Today());
            return true;
        case kPaste:
            PasteOntoDay(Host(), nav_.Selected());
            return true;
        case kDayColour:
            if (EditDayColour(Host(), nav_.Selected(), display_.backColor,
                              [this](std::uint32_t c) { return ChooseColour(c); })) {
                DayPropertiesChanged();
            }
            return true;
        case kClearDay:
            if (ClearDayColour(Host(), prompter_, nav_.Selected())) DayPropertiesChanged();
            return true;
        case kDayPicture:
            if (EditDayPicture(Host(), prompter_, nav_.Selected(), display_.backColor,
                               [this](const std::string& p) { return ChoosePicture(p); })) {
                DayPropertiesChanged();
            }
            return true;
        case kDayFont:
        case kEntryFont:
            ChangeFont(id);
            return true;
        case kSelectionColour:
            if (auto colour = ChooseColour(display_.selectColor)) {
                display_.selectColor = *colour;
                WriteColour("View", "SelectColor", *colour);
                update();
            }
            return true;
        case kScheduleList:
            settings_.SetInt("View", "SchList",
                             settings_.GetInt("View", "SchList", 1) == 0 ? 1 : 0);
            prompter_.ShowMessage(kNextOpenMessage, MessageKind::Information);
            return true;
        case kTakeDocumentDate:
            if (const auto date = TakeHeldDate()) GoTo(*date);
            return true;
        case kRefreshColours:
        case kWeekdayNamesChanged:
            // The weekday names and colours live in the display settings: labels, calendar
            // and cells follow.
            calendar_->SetWeekdayColours(display_.weekColors);
            calendar_->SetHolidayColour(display_.holidayColor);
            calendar_->SetFirstWeekday(display_.startMonday ? 0 : 6);
            LoadFonts();
            Refill();
            update();
            return true;
        default:
            break;
    }
    if (id >= kTimeDisplayPerSchedule && id <= kTimeDisplayNone) {
        display_.weekViewTime = id - kTimeDisplayPerSchedule;
        settings_.SetInt("View", "WeekViewTime", display_.weekViewTime);
        Refill();
        update();
        Host().UpdateAllViews(this, kHintRefill);
        return true;
    }
    return IsOneOf(id, kLaterCommands);
}

std::optional<CommandState> CWeekView::CommandStatus(int id) const {
    if (HasHandler(id)) return CommandState{};
    switch (id) {
        case kNextDay:
        case kPrevDay:
        case kNextWeek:
        case kPrevWeek:
        case kNextMonth:
        case kPrevMonth:
        case kNextYear:
        case kPrevYear:
        case kGoToDate:
        case kForwardDays:
        case kToday:
        case kDayFont:
        case kEntryFont:
        case kSelectionColour:
        case kScheduleList:
        case kTakeDocumentDate:
        case kRefreshColours:
        case kWeekdayNamesChanged:
            return CommandState{};
        case kDayColour:
        case kClearDay:
        case kDayPicture:
        case kPaste:
            return CommandState{DayEditable(nav_.Selected())};
        default:
            break;
    }
    if (id >= kTimeDisplayPerSchedule && id <= kTimeDisplayNone) {
        return CommandState{true, true, display_.weekViewTime == id - kTimeDisplayPerSchedule};
    }
    if (IsOneOf(id, kLaterCommands)) return CommandState{false};
    (void)kTodoToday;  // the frame's to-do position code handles 32820 and 32821
    return std::nullopt;
}

void CWeekView::WriteColour(const char* section, const char* key, std::uint32_t colour) {
    settings_.SetString(section, key, std::to_string(static_cast<long>(colour)));
}

void CWeekView::ChangeFont(int id) {
    FontSpec* stored = id == kDayFont ? &display_.weekdayFont : &display_.scheduleFont;
    const char* section = id == kDayFont ? "WDFont" : "Font";
    const auto chosen = ChooseFont(*stored);
    if (!chosen) return;
    *stored = *chosen;
    stored->Store(settings_, section);
    LoadFonts();
    update();
}

void CWeekView::DayPropertiesChanged() {
    Host().Changed(this);
    Refill();
    update();
}

// ---- navigation

void CWeekView::RepaintCell(int index) {
    if (index < 0 || index >= kWeekCells) return;
    const CellRect& r = layout_.cells[index];
    update(QRect(r.left - 2, r.top - 2, r.right - r.left + 5, r.bottom - r.top + 5));
}

void CWeekView::Apply(const WeekNavigation::Move& move, bool quiet) {
    switch (move.outcome) {
        case WeekNavigation::Outcome::Refused:
            // The day keys stop at the week's edge; month and year moves say why.
            if (!quiet) prompter_.ShowMessage(kNoFurtherMessage, MessageKind::Warning);
            return;
        case WeekNavigation::Outcome::InsideWeek:
            RepaintCell(move.oldIndex);
            RepaintCell(move.newIndex);
            break;
        case WeekNavigation::Outcome::NewWeek:
            if (!Refill()) return;
            update();
            Host().UpdateAllViews(this, 0);
            break;
    }
    if (!TypingDate()) UpdateStatus();
    SyncCalendar();
    emit SelectionChanged(nav_.Selected());
}

void CWeekView::GoTo(const DateTime& date) {
    if (!nav_.Select(date)) {
        prompter_.ShowMessage(kNoFurtherMessage, MessageKind::Warning);
        return;
    }
    if (!Refill()) return;
    update();
    UpdateStatus();
    SyncCalendar();
    emit SelectionChanged(nav_.Selected());
    Host().UpdateAllViews(this, 0);
}

void CWeekView::OnCalendarPick(const DateTime& date) {
    UpdateCaption();
    if (!calendarNotices_ || !InCalendarRange(date)) return;
    if (date == nav_.Selected()) return;
    Apply(nav_.MoveDays(WholeDays(nav_.Selected(), date)), true);
}

void CWeekView::CalendarMonth(int months) {
    const DateTime shown = calendar_->Date();
    if (months > 0 && shown.Year() >= 9998 && shown.Month() == 12) return;
    if (months < 0 && shown.Year() <= 1583 && shown.Month() == 1) return;
    if (months > 0) {
        calendar_->NextMonth();
    } else {
        calendar_->PreviousMonth();
    }
}

// ---- drawing

void CWeekView::paintEvent(QPaintEvent* event) {
    // The records changed on a path that told no view: the cells may name freed records.
    if (Document().Records().Generation() != filledGeneration_) Refill();
    QPainter painter(this);
    painter.fillRect(event->rect(), ToQColor(display_.backColor));
    DrawWeek(painter, event->rect(), CellSurface::Screen(devicePixelRatioF()));
}

void CWeekView::DrawForPrint(QPainter& painter) {
    if (Document().Records().Generation() != filledGeneration_) Refill();
    LayOut();  // a hidden view has had no resize event yet
    painter.fillRect(rect(), ToQColor(display_.backColor));
    DrawWeek(painter, rect(), CellSurface::Paper(1));
}

void CWeekView::DrawWeek(QPainter& p, const QRect& dirty, const CellSurface& surface) {
    p.setBackgroundMode(Qt::TransparentMode);
    cellPainter_.SetToday(Today());
    cellPainter_.SetRules(rules_);
    cellPainter_.SetTimeDisplay(display_.weekViewTime);
    p.setFont(cellPainter_.EntryFont(0));
    const QColor back = ToQColor(display_.backColor);
    for (int i = 0; i < kWeekCells && i < cells_.Count(); ++i) {
        const CellRect& r = layout_.cells[i];
        if (!ToQRect(r).adjusted(-2, -2, 2, 2).intersects(dirty)) continue;
        if (!nav_.CellUsable(i)) {
            // Beyond the calendar: an empty cell.
            p.fillRect(ToQRect(r), back);
            p.setPen(QPen(InkOn(back), 1));
            p.setBrush(Qt::NoBrush);
            p.drawRect(ToQRect(r));
            continue;
        }
        cellPainter_.Draw(p, cells_[i], r, i == nav_.Index(), CellLabel(i), surface);
    }
    const QRect caption = ToQRect(layout_.caption);
    if (caption.intersects(dirty)) {
        p.setFont(captionFont_);
        p.setPen(InkOn(back));
        p.drawText(caption, Qt::AlignCenter | Qt::TextSingleLine, caption_);
    }
}

// ---- events

void CWeekView::resizeEvent(QResizeEvent* event) {
    ViewBase::resizeEvent(event);
    LayOut();
}

int CWeekView::OwnCommand(int key, Qt::KeyboardModifiers modifiers) {
    if (modifiers == Qt::NoModifier) {
        switch (key) {
            case Qt::Key_Return:
            case Qt::Key_Enter:
                return kEdit;
            case Qt::Key_Down:
                return kNextDay;
            case Qt::Key_Up:
                return kPrevDay;
            case Qt::Key_PageUp:
                return kPrevMonth;
            case Qt::Key_PageDown:
                return kNextMonth;
            case Qt::Key_Right:
                return -1;
            case Qt::Key_Left:
                return -2;
            default:
                return 0;
        }
    }
    if (modifiers == Qt::ShiftModifier) {
        if (key == Qt::Key_PageUp) return kPrevYear;
        if (key == Qt::Key_PageDown) return kNextYear;
    }
    return 0;
}

bool CWeekView::OwnsKey(const QKeyEvent& event) const {
    const Qt::KeyboardModifiers modifiers = event.modifiers() & ~Qt::KeypadModifier;
    const int key = event.key();
    if (key >= Qt::Key_0 && key <= Qt::Key_9 && modifiers == Qt::NoModifier) return true;
    return OwnCommand(key, modifiers) != 0;
}

void CWeekView::keyPressEvent(QKeyEvent* event) {
    const Qt::KeyboardModifiers modifiers = event->modifiers() & ~Qt::KeypadModifier;
    const int key = event->key();
    if (TakeDigitKey(key, modifiers)) return;
    // Any other key ends a date entry in progress.
    CancelDigits();
    const int command = OwnCommand(key, modifiers);
    if (command == -1) {
        Apply(nav_.MoveKey(WeekNavigation::Key::Right), true);
    } else if (command == -2) {
        Apply(nav_.MoveKey(WeekNavigation::Key::Left), true);
    } else if (command != 0) {
        OnCommand(command);
    } else {
        ViewBase::keyPressEvent(event);  // the key customisation table's turn
    }
}

void CWeekView::mousePressEvent(QMouseEvent* event) {
    CancelDigits();
    if (event->button() != Qt::LeftButton) {
        ViewBase::mousePressEvent(event);
        return;
    }
    setFocus(Qt::MouseFocusReason);
    const QPoint at = event->position().toPoint();
    for (int i = 0; i < kWeekCells; ++i) {
        if (ToQRect(layout_.cells[i]).contains(at)) {
            if (i != nav_.Index()) Apply(nav_.SelectCell(i), true);
            return;
        }
    }
}

void CWeekView::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return;
    const QPoint at = event->position().toPoint();
    for (int i = 0; i < kWeekCells; ++i) {
        if (!ToQRect(layout_.cells[i]).contains(at)) continue;
        if (!nav_.CellUsable(i)) return;
        if (i != nav_.Index()) Apply(nav_.SelectCell(i), true);
        OnCommand(kEdit);
        return;
    }
}

void CWeekView::wheelEvent(QWheelEvent* event) {
    StepByWheel(event, kNextDay, kPrevDay);
}

void CWeekView::contextMenuEvent(QContextMenuEvent* event) {
    auto menu = CreateContextMenu();
    RunContextMenu(*menu, event->globalPos());
}

std::unique_ptr<QMenu> CWeekView::CreateContextMenu() {
    auto menu = std::make_unique<QMenu>(QStringLiteral("WEEK"), this);
    AddMenuItems(*menu, kContextMenu);
    menu->addSeparator();
    const long days = WholeDays(Today(), nav_.Selected());
    AddCommandItem(
        *menu, kDaysFromToday,
        QString::fromUtf8("このは今日から%1日後です...").arg(static_cast<qlonglong>(days)));
    return menu;
}

// ---- dialogs

}  // namespace almx
