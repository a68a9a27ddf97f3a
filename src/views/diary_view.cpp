#include "views/diary_view.h"

#include <QApplication>
#include <QFocusEvent>
#include <QFontDialog>
#include <QKeyEvent>
#include <QScrollBar>
#include <QTextBlock>
#include <algorithm>

#include "base/clock.h"
#include "base/prompter.h"
#include "base/settings_store.h"
#include "calendar/day_cells.h"
#include "calendar/month_grid.h"
#include "reminders/diary_search.h"
#include "ui/calendar_ctrl.h"
#include "ui/font_colour.h"
#include "ui/font_faces.h"
#include "views/day_view.h"
#include "views/list_support.h"
#include "views/month_dialogs.h"
#include "views/month_view_commands.h"
#include "views/text_search_dlgs.h"
#include "views/view_dialogs.h"

namespace almx {

namespace {

using namespace month_cmd;

constexpr int kCalendarId = 1000;
constexpr int kCalendarWidth = 224;
constexpr int kCalendarHeight = 200;

// The caret on the empty line after a new day's date line: one "\n" before the end.
void PutCaretBeforeEnd(QPlainTextEdit& editor) {
    QTextCursor cursor = editor.textCursor();
    cursor.movePosition(QTextCursor::End);
    cursor.movePosition(QTextCursor::PreviousCharacter, QTextCursor::MoveAnchor,
                        editor.document()->characterCount() > 1 ? 1 : 0);
    editor.setTextCursor(cursor);
    editor.ensureCursorVisible();
}

}  // namespace

FontSpec DiaryFontSpec(const SettingsStore& settings) {
    return FontSpec::Load(settings, "DiaryFont", {"ＭＳ Ｐゴシック", -17, 400, 0, 0, 128});
}

CDiaryView::CDiaryView(DocumentHost& host, DisplaySettings& display, SettingsStore& settings,
                       Prompter& prompter, const Clock& clock, QWidget* parent)
    : CalendarViewBase(host, display, settings, prompter, clock, parent),
      calendar_(
          new CVeltaCalenderCtrl(this, QRect(0, 0, kCalendarWidth, kCalendarHeight), kCalendarId)),
      dayList_(new CDayView(host, settings, prompter, clock, this, CDayListBox::DiaryViewList)),
      editor_(new QPlainTextEdit(this)) {
    calendar_->setObjectName(QStringLiteral("diaryCalendar"));
    editor_->setObjectName(QStringLiteral("diaryEditor"));
    calendar_->SetRows(6);  // every day of every month can be clicked
    calendar_->SetFirstWeekday(display_.startMonday ? 0 : 6);
    calendar_->SetWeekdayColours(display_.weekColors);
    calendar_->SetBackColour(display_.backColor);
    calendar_->SetHolidayColour(display_.holidayColor);
    calendar_->SetClock(&clock_, display_.todayLimit);
    calendar_->installEventFilter(this);
    editor_->installEventFilter(this);
    editor_->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    setFocusProxy(editor_);

    connect(calendar_, &CVeltaCalenderCtrl::DateChanged, this, [this](int, const DateTime& date) {
        if (syncing_ || date.Date() == date_) return;
        if (!GoTo(date.Date())) {
            syncing_ = true;
            calendar_->SetDate(date_);
            syncing_ = false;
        }
    });
    connect(calendar_, &CVeltaCalenderCtrl::DoubleClicked, this,
            [this](int, const DateTime&) { OnCommand(kEdit); });
    connect(editor_->document(), &QTextDocument::modificationChanged, this,
            &ViewBase::CommandStatesChanged);
    connect(&host, &DocumentHost::CommitEditors, this, [this] { Commit(); });

    font_ = DiaryFontSpec(settings_);
    ApplyFont();

    // The date the document holds for its views, once; else today.
    date_ = TakeSharedDate().Date();
    syncing_ = true;
    calendar_->SetDate(date_);
    syncing_ = false;
    LoadDay();
    PutCaretBeforeEnd(*editor_);
    LayOut();
}

CDiaryView::~CDiaryView() = default;

void CDiaryView::SetEntryActions(EntryActions actions) {
    dayList_->SetEntryActions(std::move(actions));
}

void CDiaryView::ApplyFont() {
    editor_->setFont(FontFromSpec(font_));
}

void CDiaryView::LoadDay() {
    if (DiaryStore* store = Store()) {
        day_ = store->Load(date_);
    } else {
        day_ = DiaryDay{};
        day_.text = DiaryStore::DefaultText(date_);
    }
    editor_->setPlainText(QString::fromStdString(day_.text));
    editor_->setReadOnly(day_.readOnly);
    editor_->document()->setModified(false);
    dayList_->ShowDate(date_);
    emit CommandStatesChanged();
}

bool CDiaryView::Commit() {
    if (!editor_->document()->isModified()) return true;
    DiaryStore* store = Store();
    if (!store) return false;
    const std::string text = editor_->toPlainText().toStdString();
    switch (store->Save(date_, text, day_)) {
        case DiarySave::Saved:
        case DiarySave::Removed:
            editor_->document()->setModified(false);
            return true;
        case DiarySave::Refused:
        case DiarySave::Failed:
            break;
    }
    return false;
}

bool CDiaryView::GoTo(const DateTime& date) {
    const DateTime day = date.Date();
    if (!day.IsValid() || !InCalendarRange(day)) return false;
    if (!Commit()) return false;
    date_ = day;
    if (calendar_->Date() != date_) {
        syncing_ = true;
        calendar_->SetDate(date_);
        syncing_ = false;
    }
    LoadDay();
    if (day_.text.size() < 20) PutCaretBeforeEnd(*editor_);
    return true;
}

bool CDiaryView::MayClose() {
    if (Commit()) return true;
    return prompter_.AskYesNo(diary_view_msg::kAskDiscard) == Answer::Yes;
}

void CDiaryView::CheckDisk() {
    DiaryStore* store = Store();
    if (!store || editor_->document()->isModified() || !store->ChangedOnDisk(day_)) return;
    const int caret = editor_->textCursor().position();
    LoadDay();
    QTextCursor cursor = editor_->textCursor();
    cursor.setPosition(std::min(caret, editor_->document()->characterCount() - 1));
    editor_->setTextCursor(cursor);
}

bool CDiaryView::Move(long days) {
    return GoTo(date_.PlusDays(days));
}

bool CDiaryView::MoveMonths(int months) {
    if (months == 1) return Move(DaysInMonth(date_.Year(), date_.Month()));
    const DateTime previous = AddMonths(date_, -1);
    return Move(-DaysInMonth(previous.Year(), previous.Month()));
}

void CDiaryView::LayOut() {
    const int width = std::min(kCalendarWidth, std::max(0, this->width() / 2));
    calendar_->setGeometry(0, 0, width, kCalendarHeight);
    dayList_->setGeometry(0, kCalendarHeight, width, std::max(0, height() - kCalendarHeight));
    editor_->setGeometry(width, 0, std::max(0, this->width() - width), height());
}

void CDiaryView::resizeEvent(QResizeEvent* event) {
    ViewBase::resizeEvent(event);
    LayOut();
}

bool CDiaryView::eventFilter(QObject* watched, QEvent* event) {
    if (watched == calendar_ && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->modifiers() == Qt::NoModifier) {
            int id = 0;
            switch (key->key()) {
                case Qt::Key_Left:
                    id = kPrevDay;
                    break;
                case Qt::Key_Up:
                    id = kPrevWeek;
                    break;
                case Qt::Key_Right:
                    id = kNextDay;
                    break;
                case Qt::Key_Down:
                    id = kNextWeek;
                    break;
                default:
                    break;
            }
            if (id) {
                OnCommand(id);
                return true;
            }
        }
    }
    if (watched == editor_ && event->type() == QEvent::FocusIn) {
        CheckDisk();
        // Qt can enable the input method but cannot choose its Japanese mode. A day shown
        // read-only takes no input, composed text included.
        if (settings_.GetInt("System", "Ime", 0) == 1 && !editor_->isReadOnly())
            editor_->setAttribute(Qt::WA_InputMethodEnabled, true);
    }
    return ViewBase::eventFilter(watched, event);
}

void CDiaryView::OnUpdate(QObject*, int hint, const CAlmxData*) {
    if (hint & (kHintRefill | kHintRefillColours)) dayList_->ShowDate(date_);
    if (hint & kHintRefillColours) {
        calendar_->SetFirstWeekday(display_.startMonday ? 0 : 6);
        calendar_->SetWeekdayColours(display_.weekColors);
        calendar_->SetBackColour(display_.backColor);
    }
    update();
}

// ---- commands

bool CDiaryView::OnCommand(int id) {
    using namespace diary_cmd;
    const bool inList = dayList_->isAncestorOf(QApplication::focusWidget());
    switch (id) {
        case kNextDay:
            Move(1);
            return true;
        case kPrevDay:
            Move(-1);
            return true;
        case kNextWeek:
            Move(7);
            return true;
        case kPrevWeek:
            Move(-7);
            return true;
        case kNextMonth:
            MoveMonths(1);
            return true;
        case kPrevMonth:
            MoveMonths(-1);
            return true;
        case kNextYear:
            GoTo(AddYears(date_, 1));
            return true;
        case kPrevYear:
            GoTo(AddYears(date_, -1));
            return true;
        case kToday:
            GoTo(Today());
            return true;
        case kForwardDays:
            if (const auto days = AskDaySpan()) Move(*days);
            return true;
        case kGoToDate:
            if (const auto date = AskDate(date_)) GoTo(*date);
            return true;
        case kTakeDocumentDate:
            if (const auto date = TakeHeldDate()) GoTo(*date);
            return true;
        case kBodyFont:
            if (const auto font = ChooseFont(font_)) {
                font_ = *font;
                font_.Store(settings_, "DiaryFont");
                ApplyFont();
            }
            return true;
        case kRemoveDiary:
            if (DiaryStore* store = Store()) {
                // The editor's unsaved text of the day goes with the file.
                if (store->Remove(date_) || !store->HasDiary(date_)) {
                    editor_->document()->setModified(false);
                    LoadDay();
                }
            }
            return true;
        case kHtmlPages:
            if (Commit()) RunHtmlPages();
            return true;
        case kEditDiary:
            if (DiaryStore* store = Store(); store && Commit()) {
                store->OpenInEditor(date_);
                LoadDay();
            }
            return true;
        case kSearchList:
            Search();
            return true;
        case kSave:
            Commit();
            return false;  // the document's save goes on
        case kEdit:
            if (inList) return dayList_->OnCommand(id);
            if (editor_->hasFocus()) {
                editor_->insertPlainText(QStringLiteral("\n"));
            } else if (editDay) {
                editDay(date_);
            }
            return true;
        case kCut:
        case kCopy:
        case kPasteCmd:
            if (inList) return dayList_->OnCommand(id);
            if (id == kCut) editor_->cut();
            if (id == kCopy) editor_->copy();
            if (id == kPasteCmd) editor_->paste();
            return true;
        case kAddSchedule:
        case kAddTodo:
        case kDelete:
        case kOneUp:
        case kOneDown:
        case kOpenLink:
            return dayList_->OnCommand(id);
        default:
            break;
    }
    if (id >= kTimeDisplayFirst && id <= kTimeDisplayLast) {
        display_.diaryViewTime = id - kTimeDisplayFirst;
        settings_.SetInt("View", "DiaryViewTime", display_.diaryViewTime);
        dayList_->ReloadLook();
        dayList_->ShowDate(date_);
        emit CommandStatesChanged();
        return true;
    }
    return false;
}

std::optional<CommandState> CDiaryView::CommandStatus(int id) const {
    using namespace diary_cmd;
    const bool inList = dayList_->isAncestorOf(QApplication::focusWidget());
    switch (id) {
        case kNextDay:
        case kPrevDay:
        case kNextWeek:
        case kPrevWeek:
        case kNextMonth:
        case kPrevMonth:
        case kNextYear:
        case kPrevYear:
        case kToday:
        case kForwardDays:
        case kGoToDate:
        case kTakeDocumentDate:
        case kEditDiary:
        case kBodyFont:
        case kHtmlPages:
        case kSearchList:
        case kEdit:
            return CommandState{};
        case kRemoveDiary:
            return CommandState{!day_.readOnly};
        case kCut:
        case kCopy:
        case kPasteCmd:
            if (inList) return dayList_->CommandStatus(id);
            return CommandState{id == kPasteCmd ? !editor_->isReadOnly()
                                                : editor_->textCursor().hasSelection()};
        case kAddSchedule:
        case kAddTodo:
        case kDelete:
        case kOneUp:
        case kOneDown:
        case kOpenLink:
            return dayList_->CommandStatus(id);
        default:
            break;
    }
    if (id >= kTimeDisplayFirst && id <= kTimeDisplayLast)
        return CommandState{true, true, display_.diaryViewTime == id - kTimeDisplayFirst};
    return std::nullopt;
}

void CDiaryView::Search() {
    DiaryStore* store = Store();
    if (!store) return;
    const auto query = AskSearch();
    if (!query) return;
    if (!Commit()) return;
    store->Rescan();
    const std::vector<DiaryHit> hits = SearchDiary(*store, query->word, query->options);
    if (hits.empty()) {
        prompter_.ShowMessage(diary_msg::kNotFound);
        return;
    }
    const auto chosen = ChooseHit(hits, *query);
    if (!chosen || *chosen < 0 || *chosen >= static_cast<int>(hits.size())) return;
    if (const auto date = DiaryStore::ParseName(hits[*chosen].name)) GoTo(*date);
}

// ---- dialogs

std::optional<WordQuery> CDiaryView::AskSearch() {
    CFind1Dlg dialog(settings_, this);
    return dialog.Run();
}

std::optional<int> CDiaryView::ChooseHit(const std::vector<DiaryHit>& hits,
                                         const WordQuery& query) {
    std::vector<CFindListItem> items;
    for (std::size_t i = 0; i < hits.size(); ++i)
        items.push_back({hits[i].name, static_cast<int>(i), hits[i].text});
    CFindListDlg dialog(std::move(items), query, settings_, prompter_, this);
    return dialog.Run();
}

void CDiaryView::RunHtmlPages() {
    if (htmlPages) htmlPages();
}

}  // namespace almx
