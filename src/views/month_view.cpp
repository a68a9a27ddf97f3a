#include "views/month_view.h"

#include <QAction>
#include <QClipboard>
#include <QColorDialog>
#include <QContextMenuEvent>
#include <QFileDialog>
#include <QFontDialog>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QTimer>
#include <QWheelEvent>
#include <algorithm>

#include "base/clock.h"
#include "base/prompter.h"
#include "base/settings_store.h"
#include "core/text_entry_check.h"
#include "core/ui/day_range_dialogs.h"
#include "custom/ui/picture_cache.h"
#include "document/document.h"
#include "document/schedule_find.h"
#include "exchange/export_forms.h"
#include "exchange/html_calendar.h"
#include "exchange/range_export.h"
#include "exchange/ui/export_dialogs.h"
#include "exchange/ui/ftp_dialogs.h"
#include "ui/font_colour.h"
#include "views/day_commands.h"
#include "views/entry_painter.h"
#include "views/find_dlg.h"
#include "views/list_support.h"
#include "views/month_dialogs.h"
#include "views/month_view_commands.h"
#include "views/view_dialogs.h"

namespace almx {

namespace {

using namespace month_cmd;

// Commands whose dialogs belong to other parts of the program.
constexpr int kLaterCommands[] = {kEdit,      kAddSchedule,  kAddTodo,
                                  kEditDiary, kICalendar,    kICalendarRange,
                                  kPrint,     kPrintPreview, kDaysFromToday};

constexpr ContextMenuItem kContextMenu[] = {
    {kAddSchedule, "スケジュールの追加..."},
    {kAddTodo, "TODOの追加..."},
    {kEdit, "編集..."},
    {kPaste, "貼り付け"},
    {kNextMonth, "次の月へ"},
    {kPrevMonth, "前の月へ"},
    {kEditDiary, "日記の編集"},
    {kTextCopyDay, "この日の予定をテキストコピー"},
    {kDayColour, "この日の色..."},
    {kClearDay, "この日の色指定解除..."},
    {kDayPicture, "この日の画像の指定..."},
    {kGoToDate, "指定の日付へ..."},
    {kToday, "今日へ移動"},
};

}  // namespace

FontSpec CaptionFontSpec(const SettingsStore& settings) {
    return FontSpec::Load(settings, "YFont", {"ＭＳ Ｐゴシック", -18, 400, 1, 0, 0});
}

FontSpec WeekdayHeaderFontSpec(const SettingsStore& settings) {
    return FontSpec::Load(settings, "TFont", {"ＭＳ Ｐゴシック", -18, 400, 1, 0, 0});
}

CAlmxView::CAlmxView(DocumentHost& host, DisplaySettings& display, SettingsStore& settings,
                     Prompter& prompter, const Clock& clock, QWidget* parent)
    : CalendarViewBase(host, display, settings, prompter, clock, parent),
      nav_(CurrentGridOptions()),
      cellPainter_(display) {
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
    showTodayAtStart_ = settings_.GetInt("View", "First", 1) == 1;
    rules_ = DisplayRules::FromSettings(settings_);
    rules_.todayLimit = display_.todayLimit;
    captionSpec_ = CaptionFontSpec(settings_);
    weekdaySpec_ = WeekdayHeaderFontSpec(settings_);
    marks_ = EntryMarks::Drawn();
    cellPainter_.SetMarks(&marks_);
    LoadFonts();

    // The date the document holds for its views, once; else today.
    if (!nav_.Select(TakeSharedDate())) nav_.Select(Today());
    cells_.Allocate(nav_.CellCount());
    connect(&PictureCache::Shared(), &PictureCache::Ready, this, qOverload<>(&QWidget::update));
    connect(this, &CAlmxView::SelectionChanged, this, &ViewBase::CommandStatesChanged);
    Refill();
    LayOut();
    UpdateStatus();
}

CAlmxView::~CAlmxView() = default;

GridOptions CAlmxView::CurrentGridOptions() const {
    return {display_.monthWeeks, display_.startMonday, display_.noLastCur};
}

void CAlmxView::SyncGridOptions() {
    const GridOptions options = CurrentGridOptions();
    const GridOptions& now = nav_.Options();
    if (options.weeks == now.weeks && options.startMonday == now.startMonday &&
        options.noLastCur == now.noLastCur) {
        return;
    }
    nav_.SetOptions(options);
    cells_.Allocate(nav_.CellCount());
    LayOut();
}

bool CAlmxView::Refill() {
    // Another view may have changed the rules ("TodoLeftDraw").
    rules_ = DisplayRules::FromSettings(settings_);
    rules_.todayLimit = display_.todayLimit;
    CAlmxArray& array = Document().Array();
    const DayCellSettings settings = CellSettings();
    const ShownMonth& shown = nav_.Shown();
    const DayCellSource source = Document().FillSource();
    // A box must not open inside a fill: what it meets is shown afterwards, once.
    const bool filled = cells_.Fill(shown.first, nav_.CellCount(), source, settings, clock_,
                                    &Document().FillNotices());
    filledGeneration_ = array.records.Generation();
    Host().ShowFillNoticesLater();
    if (!filled) {
        emit FillFailed();
        return false;
    }
    cells_.ColourOtherMonths(shown.year, shown.month, settings);
    return true;
}

void CAlmxView::LoadFonts() {
    captionFont_ = FontFromSpec(captionSpec_);
    weekdayFont_ = FontFromSpec(weekdaySpec_);
    captionMetrics_ = QFontMetrics(captionFont_);
    weekdayMetrics_ = QFontMetrics(weekdayFont_);
    cellPainter_.LoadFonts(FontFromSpec(display_.dateFont));
}

void CAlmxView::LayOut() {
    const int header = HeaderHeight(captionMetrics_.height(), weekdayMetrics_.height());
    rects_ = LayOutCells(width(), height(), header, nav_.CellCount());
}

void CAlmxView::SelectionMoved() {
    UpdateStatus();
    emit SelectionChanged(nav_.Selected());
}

// ---- update hints

void CAlmxView::OnUpdate(QObject*, int hint, const CAlmxData* record) {
    SyncGridOptions();
    if ((hint & kHintRemoveRecord) && record) cells_.RemoveRecord(record);
    if (hint & kHintRecomputeMonth) {
        nav_.Recompute();
        Refill();
        emit SelectionChanged(nav_.Selected());
    } else if (hint & (kHintRefill | kHintRefillColours)) {
        Refill();
    }
    update();
}

// ---- commands

bool CAlmxView::OnCommand(int id) {
    if (RunHandler(id)) return true;
    switch (id) {
        case kFind:
        case kFindNext:
        case kFindPrevious:
            RunFind(id);
            return true;
        case kSort:
            SortDocument();
            return true;
        case kNextDay:
            Apply(nav_.MoveDays(1), kHintRepaint);
            return true;
        case kPrevDay:
            Apply(nav_.MoveDays(-1), kHintRepaint);
            return true;
        case kNextWeek:
            Apply(nav_.MoveDays(7), kHintRepaint);
            return true;
        case kPrevWeek:
            Apply(nav_.MoveDays(-7), kHintRepaint);
            return true;
        case kNextMonth:
            Apply(nav_.MoveMonths(1), kHintRepaint);
            return true;
        case kPrevMonth:
            Apply(nav_.MoveMonths(-1), kHintRepaint);
            return true;
        case kNextYear:
            Apply(nav_.MoveMonths(12), kHintRepaint);
            return true;
        case kPrevYear:
            Apply(nav_.MoveMonths(-12), kHintRepaint);
            return true;
        case kGoToDate:
            if (auto date = AskDate(nav_.Selected())) GoTo(*date, kHintDateChanged);
            return true;
        case kForwardDays:
            if (auto days = AskDaySpan()) Apply(nav_.MoveFreely(*days), kHintRepaint);
            return true;
        case kToday:
            GoTo(Today(), kHintRepaint);
            return true;
        case kDayColour:
            DayColour();
            return true;
        case kClearDay:
            ClearDayProperty();
            return true;
        case kDayPicture:
            DayPictureCommand();
            return true;
        case kRangeColour:
            RangeCommand(false);
            return true;
        case kRangeClear:
            RangeCommand(true);
            return true;
        case kPaste:
            Paste();
            return true;
        case kTextCopyDay:
            CopyDayAsText();
            return true;
        case kHtmlMonth:
        case kMobileHtmlMonth:
            CopyMonthAsHtml(id == kMobileHtmlMonth);
            return true;
        case kUpload:
            RunFtpUploadCommand(Document(), settings_, prompter_, this);
            return true;
        case kFocusDayList:
            emit FocusDayListRequested();
            return true;
        case kCaptionFont:
        case kWeekdayFont:
        case kDayFont:
        case kEntryFont:
            ChangeFont(id);
            return true;
        case kCaptionDigits:
        case kCaptionEnglish:
        case kCaptionJapanese:
            display_.monthCaption = id - kCaptionDigits;
            WriteInt("View", "Month", display_.monthCaption);
            update();
            return true;
        case kSelectionColour:
            if (auto colour = ChooseColour(display_.selectColor)) {
                display_.selectColor = *colour;
                WriteColour("View", "SelectColor", *colour);
                update();
            }
            return true;
        case kCopyColoursToDayList:
            WriteColour("DayView", "BackColor", display_.backColor);
            WriteColour("DayView", "BackColor2", display_.selectColor);
            emit DayListColoursChanged();
            return true;
        case kSixWeeks:
            SetWeeks(display_.monthWeeks == 6 ? 5 : 6);
            return true;
        case kTodoLeftDraw:
            WriteInt("View", "TodoLeftDraw", rules_.todoLeftDraw ? 0 : 1);
            Refill();
            update();
            Host().UpdateAllViews(this, kHintRefill);
            return true;
        case kWeeks:
            if (auto weeks = AskWeeks(display_.monthWeeks)) SetWeeks(*weeks);
            return true;
        case kOtherMonthColours:
            display_.otherMonthDayColor = !display_.otherMonthDayColor;
            WriteInt("View", "OtherMonthDayColor", display_.otherMonthDayColor ? 1 : 0);
            Refill();
            update();
            Host().UpdateAllViews(this, kHintRefillColours);
            return true;
        case kTakeDocumentDate:
            if (const auto date = TakeHeldDate()) GoTo(*date, kHintDateChanged);
            return true;
        case kRefreshColours:
            // Another frame may have written the caption or header font.
            captionSpec_ = CaptionFontSpec(settings_);
            weekdaySpec_ = WeekdayHeaderFontSpec(settings_);
            LoadFonts();
            SyncGridOptions();
            LayOut();
            Refill();
            update();
            return true;
        case kWeekdayNamesChanged:
            WeekdayNamesChanged();
            return true;
        default:
            break;
    }
    if (id >= kTimeDisplayPerSchedule && id <= kTimeDisplayNone) {
        display_.monthViewTime = id - kTimeDisplayPerSchedule;
        WriteInt("View", "MonthViewTime", display_.monthViewTime);
        Refill();
        update();
        Host().UpdateAllViews(this, kHintRefill);
        return true;
    }
    // Present and disabled until their dialogs exist.
    return IsOneOf(id, kLaterCommands);
}

std::optional<CommandState> CAlmxView::CommandStatus(int id) const {
    if (HasHandler(id)) return CommandState{};
    auto radio = [](bool checked) { return CommandState{true, true, checked}; };
    switch (id) {
        case kFind:
        case kFindNext:
        case kFindPrevious:
        case kSort:
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
        case kFocusDayList:
        case kCaptionFont:
        case kWeekdayFont:
        case kDayFont:
        case kEntryFont:
        case kSelectionColour:
        case kCopyColoursToDayList:
        case kWeeks:
        case kTakeDocumentDate:
        case kRefreshColours:
        case kWeekdayNamesChanged:
            return CommandState{};
        case kDayColour:
        case kClearDay:
        case kDayPicture:
        case kRangeColour:
        case kRangeClear:
        case kPaste:
            return CommandState{SelectedDayEditable()};
        case kTextCopyDay:
            return CommandState{HoldsDate(nav_.Selected())};
        case kHtmlMonth:
        case kMobileHtmlMonth:
        case kUpload:
            return CommandState{};
        case kCaptionDigits:
        case kCaptionEnglish:
        case kCaptionJapanese:
            return radio(display_.monthCaption == id - kCaptionDigits);
        case kSixWeeks:
            return radio(display_.monthWeeks == 6);
        case kTodoLeftDraw:
            return radio(rules_.todoLeftDraw);
        case kOtherMonthColours:
            return radio(display_.otherMonthDayColor);
        default:
            break;
    }
    if (id >= kTimeDisplayPerSchedule && id <= kTimeDisplayNone) {
        return radio(display_.monthViewTime == id - kTimeDisplayPerSchedule);
    }
    if (IsOneOf(id, kLaterCommands)) return CommandState{false};
    return std::nullopt;
}

void CAlmxView::WriteInt(const char* section, const char* key, int value) {
    settings_.SetInt(section, key, value);
}

void CAlmxView::WriteColour(const char* section, const char* key, std::uint32_t colour) {
    settings_.SetString(section, key, std::to_string(static_cast<long>(colour)));
}

// ---- navigation

void CAlmxView::RepaintCell(int index) {
    if (index < 0 || index >= static_cast<int>(rects_.size())) return;
    const CellRect& r = rects_[static_cast<std::size_t>(index)];
    // Today's frame reaches a pixel beyond the rectangle.
    update(QRect(r.left - 2, r.top - 2, r.right - r.left + 5, r.bottom - r.top + 5));
}

void CAlmxView::Apply(const MonthNavigation::Move& move, int hint) {
    switch (move.outcome) {
        case MonthNavigation::Outcome::Refused:
            prompter_.ShowMessage(kNoFurtherMessage, MessageKind::Warning);
            return;
        case MonthNavigation::Outcome::InsideGrid:
            RepaintCell(move.oldIndex);
            RepaintCell(move.newIndex);
            SelectionMoved();
            return;
        case MonthNavigation::Outcome::Recomputed:
            if (!Refill()) return;
            update();
            SelectionMoved();
            Host().UpdateAllViews(this, hint);
            return;
    }
}

void CAlmxView::GoTo(const DateTime& date, int hint) {
    if (!nav_.Select(date)) {
        prompter_.ShowMessage(kNoFurtherMessage, MessageKind::Warning);
        return;
    }
    if (!Refill()) return;
    update();
    SelectionMoved();
    Host().UpdateAllViews(this, hint);
}

void CAlmxView::RunFind(int id) {
    const CAlmxData* hit =
        RunScheduleFind(Document(), id, settings_, prompter_,
                        [this](SearchCondition& condition) { return AskFindCondition(condition); });
    if (hit == nullptr) return;
    // Every view gets hint 10; the day list takes the hit on the way.
    searchHitPending_ = true;
    GoTo(SearchHitDay(*hit, display_.todayLimit), kHintDateChanged);
    searchHitPending_ = false;
}

const CAlmxData* CAlmxView::TakeSearchHit() {
    if (!searchHitPending_) return nullptr;
    searchHitPending_ = false;
    return Document().FindHit();
}

bool CAlmxView::AskFindCondition(SearchCondition& condition) {
    return AskFindConditionDialog(this, condition);
}

std::optional<SortChoice> CAlmxView::AskSortOrder() {
    CSortDlg dialog(this);
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    return dialog.Choice();
}

void CAlmxView::SortDocument() {
    if (Document().IsReadOnly()) {
        Document().CanChange();  // says why
        return;
    }
    const std::optional<SortChoice> choice = AskSortOrder();
    if (!choice) return;
    // The document marks itself modified and every view refills (hint 1).
    Document().Sort(choice->key, choice->order);
}

bool CAlmxView::SelectDate(const DateTime& date) {
    if (!InCalendarRange(date)) return false;
    GoTo(date, kHintDateChanged);
    return true;
}

// ---- day properties

bool CAlmxView::SelectedDayEditable() const {
    return InCalendarRange(nav_.Selected());
}

void CAlmxView::DayPropertiesChanged() {
    Host().Changed(this);
    Refill();
    update();
}

void CAlmxView::DayColour() {
    if (EditDayColour(Host(), nav_.Selected(), display_.backColor,
                      [this](std::uint32_t initial) { return ChooseColour(initial); })) {
        DayPropertiesChanged();
    }
}

void CAlmxView::ClearDayProperty() {
    if (ClearDayColour(Host(), prompter_, nav_.Selected())) DayPropertiesChanged();
}

void CAlmxView::DayPictureCommand() {
    if (EditDayPicture(Host(), prompter_, nav_.Selected(), display_.backColor,
                       [this](const std::string& current) { return ChoosePicture(current); })) {
        DayPropertiesChanged();
    }
}

void CAlmxView::RangeCommand(bool remove) {
    if (!SelectedDayEditable() || !Document().CanChange()) return;
    const DayRangeFields preset = DayRangePreset(Document().Array().dayProperties, nav_.Selected());
    if (RunRangeDialog(remove, preset)) DayPropertiesChanged();
}

void CAlmxView::Paste() {
    PasteOntoDay(Host(), nav_.Selected());
}

void CAlmxView::CopyDayAsText() {
    if (!HoldsDate(nav_.Selected())) return;
    CAlmxArray& array = Document().Array();
    const DayCellSource source{array.records, &array.genres, &array.dayProperties};
    // No box inside the walk's fill: what it meets is shown afterwards.
    CAlmxTextExport exporter(source, nav_.Selected(), nav_.Selected(),
                             {settings_, clock_, Document().FillNotices()});
    QtClipboard clipboard;
    exporter.ExportToClipboard(DayTextCopyOptions(settings_), clipboard);
    Host().ShowFillNoticesLater();
}

// The displayed month as the copy commands give it: the fragment as text, and as HTML for
// programs that paste markup.
void CAlmxView::CopyMonthAsHtml(bool mobile) {
    CAlmxArray& array = Document().Array();
    const DayCellSource source{array.records, &array.genres, &array.dayProperties};
    CHtmlGenerator generator(source, settings_, clock_, &Document().FillNotices());
    const ShownMonth& shown = nav_.Shown();
    const std::string fragment =
        mobile ? generator.MobileCopyFragment(HtmlMonthOutSettings::Load(settings_).mobileFile,
                                              shown.year, shown.month)
               : generator.CopyFragment(shown.year, shown.month);
    auto* data = new QMimeData;
    data->setText(QString::fromStdString(fragment));
    data->setHtml(QString::fromStdString(fragment));
    QGuiApplication::clipboard()->setMimeData(data);
    Host().ShowFillNoticesLater();
}

// ---- options

void CAlmxView::SetWeeks(int weeks) {
    weeks = std::clamp(weeks, kMinMonthWeeks, kMaxMonthWeeks);
    display_.monthWeeks = weeks;
    WriteInt("View", "MonthWeeks", weeks);
    // The selected date stays inside the new grid: the month is chosen again.
    SyncGridOptions();
    Refill();
    update();
    SelectionMoved();
    Host().UpdateAllViews(this, kHintRefill);
}

void CAlmxView::ChangeFont(int id) {
    FontSpec* stored = nullptr;
    const char* section = nullptr;
    switch (id) {
        case kCaptionFont:
            stored = &captionSpec_;
            section = "YFont";
            break;
        case kWeekdayFont:
            stored = &weekdaySpec_;
            section = "TFont";
            break;
        case kDayFont:
            stored = &display_.dateFont;
            section = "DFont";
            break;
        default:
            stored = &display_.scheduleFont;
            section = "Font";
            break;
    }
    const auto chosen = ChooseFont(*stored);
    if (!chosen) return;
    *stored = *chosen;
    stored->Store(settings_, section);
    LoadFonts();
    LayOut();
    UpdateStatus();
    update();
}

void CAlmxView::WeekdayNamesChanged() {
    if (display_.youbi == 1) {
        weekdaySpec_.charSet = 128;
    } else if (weekdaySpec_.charSet == 128) {
        weekdaySpec_.charSet = 0;
    }
    settings_.SetInt("TFont", "CharSet", weekdaySpec_.charSet);
    LoadFonts();
    LayOut();
    update();
}

// ---- today's schedules

void CAlmxView::ShowTodaySchedulesAtStart() {
    if (!showTodayAtStart_ || !startupPopupAllowed_) return;
    if (window() && window()->isMinimized()) return;
    DayCellSet today(1);
    const DayCellSource source = Document().FillSource();
    const bool filled =
        today.Fill(Today(), 1, source, CellSettings(), clock_, &Document().FillNotices());
    Host().ShowFillNoticesLater();
    if (!filled) return;
    const TodaySchedules texts = TodaySchedulesOf(today[0], display_.todayLimit);
    if (!texts.Empty()) ShowTodayDialog(texts);
}

// ---- events

void CAlmxView::resizeEvent(QResizeEvent* event) {
    ViewBase::resizeEvent(event);
    LayOut();
    if (!TypingDate()) UpdateStatus();
}

void CAlmxView::showEvent(QShowEvent* event) {
    ViewBase::showEvent(event);
    if (firstShown_) return;
    firstShown_ = true;
    QTimer::singleShot(0, this, [this] { ShowTodaySchedulesAtStart(); });
}

int CAlmxView::OwnCommand(int key, Qt::KeyboardModifiers modifiers) {
    int command = 0;
    if (modifiers == Qt::NoModifier) {
        switch (key) {
            case Qt::Key_Return:
            case Qt::Key_Enter:
                command = kEdit;
                break;
            case Qt::Key_Left:
                command = kPrevDay;
                break;
            case Qt::Key_Right:
                command = kNextDay;
                break;
            case Qt::Key_Up:
                command = kPrevWeek;
                break;
            case Qt::Key_Down:
                command = kNextWeek;
                break;
            case Qt::Key_PageUp:
                command = kPrevMonth;
                break;
            case Qt::Key_PageDown:
                command = kNextMonth;
                break;
            default:
                break;
        }
    } else if (modifiers == Qt::ShiftModifier) {
        if (key == Qt::Key_PageUp) command = kPrevYear;
        if (key == Qt::Key_PageDown) command = kNextYear;
    }
    return command;
}

bool CAlmxView::OwnsKey(const QKeyEvent& event) const {
    const Qt::KeyboardModifiers modifiers = event.modifiers() & ~Qt::KeypadModifier;
    const int key = event.key();
    if (key >= Qt::Key_0 && key <= Qt::Key_9 && modifiers == Qt::NoModifier) return true;
    return OwnCommand(key, modifiers) != 0;
}

void CAlmxView::keyPressEvent(QKeyEvent* event) {
    const Qt::KeyboardModifiers modifiers = event->modifiers() & ~Qt::KeypadModifier;
    const int key = event->key();
    if (TakeDigitKey(key, modifiers)) return;
    // Any other key ends a date entry in progress.
    CancelDigits();
    const int command = OwnCommand(key, modifiers);
    if (command == 0) {
        ViewBase::keyPressEvent(event);  // the key customisation table's turn
        return;
    }
    OnCommand(command);
}

void CAlmxView::mousePressEvent(QMouseEvent* event) {
    CancelDigits();
    if (event->button() != Qt::LeftButton) {
        ViewBase::mousePressEvent(event);
        return;
    }
    setFocus(Qt::MouseFocusReason);
    const QPoint at = event->position().toPoint();
    const int index = HitTest(rects_, at.x(), at.y());
    if (index >= 0 && index != nav_.Index()) Apply(nav_.SelectCell(index), kHintRepaint);
}

void CAlmxView::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return;
    const QPoint at = event->position().toPoint();
    const int index = HitTest(rects_, at.x(), at.y());
    if (index < 0) return;
    if (index != nav_.Index()) Apply(nav_.SelectCell(index), kHintRepaint);
    OnCommand(kEdit);
}

void CAlmxView::wheelEvent(QWheelEvent* event) {
    StepByWheel(event, kNextWeek, kPrevWeek);
}

void CAlmxView::contextMenuEvent(QContextMenuEvent* event) {
    auto menu = CreateContextMenu();
    RunContextMenu(*menu, event->globalPos());
}

std::unique_ptr<QMenu> CAlmxView::CreateContextMenu() {
    auto menu = std::make_unique<QMenu>(QStringLiteral("MONTH"), this);
    AddMenuItems(*menu, kContextMenu);
    menu->addSeparator();
    AddCommandItem(*menu, kDaysFromToday,
                   QString::fromStdString(DaysFromTodayLabel(nav_.Selected(), Today())));
    return menu;
}

// ---- dialogs

std::optional<int> CAlmxView::AskWeeks(int current) {
    CMotnthWeeksDlg dialog(current, this);
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    return dialog.Weeks();
}

bool CAlmxView::RunRangeDialog(bool remove, const DayRangeFields& preset) {
    DayPropertyMap& properties = Document().Array().dayProperties;
    if (remove) {
        CDayColorSpanDelDlg dialog(properties, preset, prompter_, this);
        return dialog.exec() == QDialog::Accepted;
    }
    CDayColorSpanDlg dialog(properties, preset, prompter_, this);
    return dialog.exec() == QDialog::Accepted;
}

void CAlmxView::ShowTodayDialog(const TodaySchedules& texts) {
    const FontSpec font =
        FontSpec::Load(settings_, "TDFont", {"ＭＳ ゴシック", -13, 400, 0, 0, 128});
    CTodayDlg dialog(texts, font, this);
    dialog.exec();
}

}  // namespace almx
