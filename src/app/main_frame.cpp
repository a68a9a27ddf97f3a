#include "app/main_frame.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QCloseEvent>
#include <QDesktopServices>
#include <QDragEnterEvent>
#include <QFileInfo>
#include <QLabel>
#include <QMdiArea>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QRegularExpression>
#include <QScreen>
#include <QStatusBar>
#include <QToolBar>
#include <QToolButton>
#include <QUrl>
#include <algorithm>
#include <array>

#include "app/alarm_presenter.h"
#include "app/almx_app.h"
#include "app/app_context.h"
#include "app/app_log.h"
#include "app/command_icons.h"
#include "app/command_router.h"
#include "app/command_table.h"
#include "app/key_input.h"
#include "app/mail_commands.h"
#include "app/open_document.h"
#include "app/option_dialogs.h"
#include "app/option_forms.h"
#include "app/window_placement.h"
#include "base/clock.h"
#include "base/data_folders.h"
#include "base/prompter.h"
#include "base/settings_store.h"
#include "calendar/day_cells.h"
#include "custom/keycust_array.h"
#include "custom/keycust_form.h"
#include "custom/ui/keycust_dlg.h"
#include "document/document_messages.h"
#include "document/schedule_find.h"
#include "links/ui/link_dialogs.h"
#include "reminders/ui/diary_dialogs.h"
#include "ui/colour_button.h"
#include "views/diary_view.h"
#include "views/find_dlg.h"
#include "views/view_base.h"
#include "views/week_view.h"

namespace almx {

namespace {

QString Q(const std::string& text) {
    return QString::fromStdString(text);
}

// A menu text as a tool tip: without its mnemonic, "開く(&O)..." reads "開く...".
QString WithoutMnemonic(QString text) {
    static const QRegularExpression mnemonic(QStringLiteral("\\(&.\\)"));
    return text.remove(mnemonic).remove(QLatin1Char('&'));
}

MenuSet MenusFor(ViewKind kind) {
    switch (kind) {
        case ViewKind::Month:
            return MenuSet::Month;
        case ViewKind::Week:
            return MenuSet::Week;
        case ViewKind::Todo:
            return MenuSet::Todo;
        case ViewKind::Diary:
            return MenuSet::Diary;
        case ViewKind::Memo:
            return MenuSet::Memo;
        case ViewKind::SearchList:
            return MenuSet::SearchList;
    }
    return MenuSet::Month;
}

std::optional<ViewKind> KindOfShowCommand(int id) {
    switch (id) {
        case cmd::kShowMonth:
            return ViewKind::Month;
        case cmd::kShowWeek:
            return ViewKind::Week;
        case cmd::kShowTodo:
            return ViewKind::Todo;
        case cmd::kShowDiary:
            return ViewKind::Diary;
        case cmd::kShowMemo:
            return ViewKind::Memo;
        case cmd::kShowSearchList:
            return ViewKind::SearchList;
        default:
            return std::nullopt;
    }
}

// Addresses of the web pages of the help menu.
const char* WebAddress(int id) {
    switch (id) {
        case cmd::kWebHome:
            return "https://almanix.example.org/";
        case cmd::kWebForum:
            return "https://almanix.example.org/forum/";
        case cmd::kWebMaker:
            return "https://velta.example.org/";
        case cmd::kWebSoftware:
            return "https://velta.example.org/software/";
        default:
            return nullptr;
    }
}

// Options kept in the store but without an effect here: the input method cannot be switched
// by a program on Linux, and the diary view is still to come. Shown disabled, never a dead
// click.
// The font commands of the views: each writes its section, which every view of that kind in
// every frame reads again on 32948.
bool IsFontCommand(int id) {
    switch (id) {
        case 32778:  // date font
        case 32779:  // entry font
        case 32785:  // weekday header font, the to-do list's title font
        case 32827:  // day list font
        case 32857:  // caption font
        case 32870:  // to-do table font
        case 32871:  // to-do title band colour
        case 32872:  // to-do title text colour
        case 32841:  // colours copied to the day list
            return true;
        default:
            return false;
    }
}

bool Unavailable(int id) {
    return id == cmd::kIme;
}

}  // namespace

CMainFrame::CMainFrame(CAlmxApp& app, AppContext& context)
    : app_(app),
      context_(context),
      options_(context.display, *context.settings, *context.prompter),
      shownToday_(Today(*context.clock, context.display.todayLimit)) {
    setObjectName(QStringLiteral("Almanix"));
    setWindowTitle(QStringLiteral("Almanix"));
    setWindowIcon(ApplicationIcon());  // the about box and the child frames take it too
    setAcceptDrops(true);
    options_.mailSetup = [this] { return CurrentMailSetup(context_); };
    mdi_ = new QMdiArea(this);
    mdi_->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    mdi_->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setCentralWidget(mdi_);
    connect(mdi_, &QMdiArea::subWindowActivated, this, &CMainFrame::OnSubWindowActivated);

    const int stored = context_.settings->GetInt("Settings", "ShowCmd", kShowNormal);
    show_.initial = stored == kShowMaximised ? kShowMaximised : kShowNormal;
    show_.value = show_.initial;
    const int diaryStored = context_.settings->GetInt("DiaryView", "ShowCmd", show_.initial);
    diaryShow_.initial = diaryStored == kShowMaximised ? kShowMaximised : kShowNormal;
    diaryShow_.value = diaryShow_.initial;

    CreateActions();
    CreateToolBar();
    CreateStatusBar();
    UseMenus(MenuSet::NoDocument);

    const std::string toolBarState = context_.settings->GetString("General", "ToolBarState", "");
    if (!toolBarState.empty())
        restoreState(QByteArray::fromBase64(QByteArray::fromStdString(toolBarState)));
    toolBar_->setVisible(context_.settings->GetInt("View", "StandardBar", 1) != 0);

    connect(&clock_, &QTimer::timeout, this, &CMainFrame::Tick);
    clock_.start(kTickMilliseconds);
    connect(qApp, &QApplication::focusChanged, this, [this] { UpdateCommandStates(); });
}

CMainFrame::~CMainFrame() {
    closing_ = true;
    clock_.stop();
    // The frames go while this window is whole: they report to it as they are destroyed. A
    // closed frame waiting for its deferred deletion is no longer in the area's list, so take
    // every one below the area.
    for (QMdiSubWindow* window : mdi_->findChildren<QMdiSubWindow*>()) delete window;
}

void CMainFrame::CreateActions() {
    for (const CommandSpec& command : CommandTable()) {
        auto* action = new QAction(Q(MenuText(command)), this);
        action->setData(command.id);
        action->setStatusTip(Q(KeyListLabel(command)));
        if (*command.keys) action->setShortcut(QKeySequence(QString::fromUtf8(command.keys)));
        QIcon icon = CommandIcon(command.id, style());
        if (!icon.isNull()) action->setIcon(icon);
        action->setEnabled(false);
        if (command.id == cmd::kIme) {
            action->setToolTip(QString::fromUtf8(option_messages::kImeUnavailable));
            action->setStatusTip(action->toolTip());
        }
        const int id = command.id;
        connect(action, &QAction::triggered, this, [this, id] { Dispatch(id); });
        actions_[id] = action;
        addAction(action);
    }
    for (int i = 0; i < cmd::kRecentCount; ++i) {
        auto* action = new QAction(this);
        action->setVisible(false);
        connect(action, &QAction::triggered, this, [this, i] { app_.OpenRecent(i); });
        recentActions_.push_back(action);
    }
}

void CMainFrame::CreateToolBar() {
    toolBar_ = new QToolBar(QString::fromUtf8(frame_messages::kToolBarTitle), this);
    toolBar_->setObjectName(QStringLiteral("StandardBar"));
    toolBar_->setIconSize(QSize(24, 24));
    for (int id : ToolBarLayout()) {
        if (id == 0) {
            toolBar_->addSeparator();
        } else if (QAction* action = Action(id)) {
            toolBar_->addAction(action);
        }
    }
    addToolBar(Qt::TopToolBarArea, toolBar_);
    // The flat look is read once: a change shows at the next start.
    if (context_.settings->GetInt("View", "ToolBarFlat", 1) == 0) {
        for (QToolButton* button : toolBar_->findChildren<QToolButton*>())
            button->setAutoRaise(false);
    }
}

void CMainFrame::CreateStatusBar() {
    message_ = new QLabel;
    message_->setObjectName(QStringLiteral("message"));
    statusBar()->addWidget(message_, 1);
    // Lock indicators: the platform does not report the lock keys to the program, so they
    // stay blank as when the locks are off.
    for (const char* name : {"KANA", "CAP", "NUM", "SCRL"}) {
        auto* pane = new QLabel;
        pane->setObjectName(QString::fromLatin1(name));
        pane->setMinimumWidth(fontMetrics().horizontalAdvance(QString::fromLatin1(name)) + 12);
        pane->setAlignment(Qt::AlignCenter);
        statusBar()->addPermanentWidget(pane);
    }
}

QAction* CMainFrame::Action(int id) const {
    auto it = actions_.find(id);
    return it == actions_.end() ? nullptr : it->second;
}

void CMainFrame::FillMenu(QMenu* menu, const std::vector<MenuItem>& items) {
    for (const MenuItem& item : items) {
        if (item.submenu) {
            QMenu* sub = menu->addMenu(QString::fromUtf8(item.submenu));
            FillMenu(sub, item.items);
        } else if (item.id == 0) {
            menu->addSeparator();
        } else if (item.id == kRecentFiles) {
            for (QAction* action : recentActions_) menu->addAction(action);
        } else if (item.id == kWindowList) {
            QAction* marker = menu->addSeparator();
            marker->setObjectName(QStringLiteral("windowList"));
            marker->setVisible(false);
            connect(menu, &QMenu::aboutToShow, this, [this, menu] { FillWindowList(menu); });
        } else if (QAction* action = Action(item.id); action && item.text) {
            // Its own text, the shared action's state.
            QAction* named = menu->addAction(QString::fromUtf8(item.text));
            named->setEnabled(action->isEnabled());
            named->setCheckable(action->isCheckable());
            named->setChecked(action->isChecked());
            connect(action, &QAction::changed, named, [named, action] {
                named->setEnabled(action->isEnabled());
                named->setCheckable(action->isCheckable());
                named->setChecked(action->isChecked());
            });
            connect(named, &QAction::triggered, action, &QAction::trigger);
        } else if (action) {
            menu->addAction(action);
        }
    }
}

void CMainFrame::FillWindowList(QMenu* menu) {
    bool afterMarker = false;
    for (QAction* action : menu->actions()) {
        if (afterMarker) {
            menu->removeAction(action);
            action->deleteLater();
        } else if (action->objectName() == QLatin1String("windowList")) {
            afterMarker = true;
        }
    }
    int number = 1;
    const QList<QMdiSubWindow*> windows = mdi_->subWindowList(QMdiArea::CreationOrder);
    for (QMdiSubWindow* window : windows) {
        QAction* action =
            menu->addAction(QStringLiteral("&%1 %2").arg(number++).arg(window->windowTitle()));
        action->setCheckable(true);
        action->setChecked(window == mdi_->activeSubWindow());
        connect(action, &QAction::triggered, this,
                [this, window] { mdi_->setActiveSubWindow(window); });
    }
}

void CMainFrame::UseMenus(MenuSet set) {
    if (menusSet_ && set == currentMenus_) return;
    menusSet_ = true;
    currentMenus_ = set;
    std::vector<QMenu*>& menus = menus_[set];
    if (menus.empty()) {
        for (const MenuSpec& menuSpec : MenuLayout(set)) {
            auto* menu = new QMenu(QString::fromUtf8(menuSpec.title), this);
            menu->setToolTipsVisible(true);  // a disabled item says why
            FillMenu(menu, menuSpec.items);
            connect(menu, &QMenu::aboutToShow, this, [this] { UpdateCommandStates(); });
            menus.push_back(menu);
        }
    }
    menuBar()->clear();
    for (QMenu* menu : menus) menuBar()->addMenu(menu);
}

void CMainFrame::RebuildRecentFiles() {
    const std::vector<std::string>& files = app_.RecentFiles();
    for (std::size_t i = 0; i < recentActions_.size(); ++i) {
        QAction* action = recentActions_[i];
        if (i < files.size()) {
            action->setText(QStringLiteral("&%1 %2").arg(i + 1).arg(Q(files[i])));
            action->setVisible(true);
        } else {
            action->setVisible(false);
        }
    }
}

CAlmxFrame* CMainFrame::ActiveFrame() const {
    // The current one, not the active one: QMdiArea has no active window while the program
    // is in the background, and the clock's auto-save must still find the frame.
    return qobject_cast<CAlmxFrame*>(mdi_->currentSubWindow());
}

std::vector<CAlmxFrame*> CMainFrame::Frames() const {
    std::vector<CAlmxFrame*> frames;
    const QList<QMdiSubWindow*> windows = mdi_->subWindowList(QMdiArea::ActivationHistoryOrder);
    for (auto it = windows.rbegin(); it != windows.rend(); ++it) {
        if (auto* frame = qobject_cast<CAlmxFrame*>(*it)) frames.push_back(frame);
    }
    return frames;
}

std::vector<CAlmxFrame*> CMainFrame::FramesOf(const OpenDocument& document) const {
    std::vector<CAlmxFrame*> frames;
    for (CAlmxFrame* frame : Frames()) {
        if (&frame->Document() == &document) frames.push_back(frame);
    }
    return frames;
}

OpenDocument* CMainFrame::ActiveDocument() const {
    const std::vector<CAlmxFrame*> frames = Frames();
    if (frames.empty()) return nullptr;
    if (CAlmxFrame* active = ActiveFrame()) return &active->Document();
    return &frames.front()->Document();
}

CAlmxFrame* CMainFrame::CreateFrame(ViewKind kind, OpenDocument& document, bool maximise) {
    CAlmxFrame* frame = kind == ViewKind::Month ? new CMonthFrame(document, context_, *this, show_)
                        : kind == ViewKind::Diary
                            ? new CDiaryFrame(document, context_, *this, diaryShow_)
                            : new CAlmxFrame(kind, document, context_, *this, show_);
    // Without a stored placement frames cascade from the top left.
    const int step = 24 * static_cast<int>(mdi_->subWindowList().size() % 8);
    mdi_->addSubWindow(frame);
    frame->setWindowIcon(windowIcon());
    const QSize area = mdi_->viewport()->size();
    frame->setGeometry(step, step, std::max(area.width() * 3 / 4, 320),
                       std::max(area.height() * 3 / 4, 240));
    frame->RestorePlacement();
    frame->ShowInitially(maximise);
    ActivateFrame(frame);
    connect(&document.Host(), &DocumentHost::Updated, frame, [this] { UpdateCommandStates(); });
    // A selection that moves changes what edit, delete and one up can do.
    for (ViewBase* view : frame->Views()) {
        connect(view, &ViewBase::CommandStatesChanged, this, [this] { UpdateCommandStates(); });
    }
    return frame;
}

void CMainFrame::ActivateFrame(CAlmxFrame* frame) {
    if (!frame) return;
    if (frame->isMinimized()) frame->showNormal();
    mdi_->setActiveSubWindow(frame);
    if (ViewBase* view = frame->ActiveView()) view->setFocus();
}

void CMainFrame::MakeSearchList() {
    OpenDocument* document = ActiveDocument();
    if (document == nullptr) return;
    CAlmxDoc& doc = document->Doc();
    SearchCondition condition = doc.FindCondition();
    const bool confirmed =
        askFindCondition ? askFindCondition(condition) : AskFindConditionDialog(this, condition);
    if (!confirmed) return;
    ConfirmFindCondition(condition, *context_.settings);
    doc.FindCondition() = condition;
    doc.SetFindHandOver(true);
    for (CAlmxFrame* frame : FramesOf(*document)) {
        if (frame->Kind() != ViewKind::SearchList) continue;
        for (ViewBase* view : frame->Views()) view->OnCommand(cmd::kTakeSearchCondition);
    }
    // A new list takes the condition when it is made.
    ShowView(ViewKind::SearchList);
}

void CMainFrame::ShowView(ViewKind kind) {
    qCInfo(lcAlmx) << "show view" << static_cast<int>(kind);
    OpenDocument* document = ActiveDocument();
    if (!document) {
        const std::string defaultFile = context_.settings->GetString("System", "DefaultFile", "");
        if (!defaultFile.empty()) app_.OpenDocumentFile(defaultFile);
        document = ActiveDocument();
        if (!document) return;
    }
    for (CAlmxFrame* frame : FramesOf(*document)) {
        if (frame->Kind() == kind) {
            ActivateFrame(frame);
            return;
        }
    }
    CAlmxFrame* previous = ActiveFrame();
    CreateFrame(kind, *document, previous && previous->isMaximized());
}

void CMainFrame::OnSubWindowActivated(QMdiSubWindow* window) {
    auto* frame = qobject_cast<CAlmxFrame*>(window);
    if (closing_) return;
    // Dates follow the frame being activated: the one left gives its date to the document.
    if (frame != lastActive_ && context_.display.viewDateSync) {
        if (lastActive_) {
            if (ViewBase* view = lastActive_->ActiveView()) {
                if (std::optional<DateTime> date = view->SelectedDate()) {
                    lastActive_->Document().Host().SetSharedDate(*date);
                }
            }
        }
        if (frame) frame->OnCommand(cmd::kTakeDocumentDate);
    }
    if (frame) {
        lastActive_ = frame;
        if (auto* month = qobject_cast<CMonthFrame*>(frame)) CMonthFrame::SetLastActive(month);
        if (frame->Kind() == ViewKind::Diary)
            context_.settings->SetString("System", "OpenFile", frame->Document().Doc().Path());
        UseMenus(MenusFor(frame->Kind()));
    } else if (mdi_->subWindowList().isEmpty()) {
        lastActive_ = nullptr;
        message_->clear();
        UseMenus(MenuSet::NoDocument);
    }
    UpdateTitles();
    UpdateCommandStates();
}

void CMainFrame::UpdateTitles() {
    for (CAlmxFrame* frame : Frames()) frame->UpdateTitle();
    OpenDocument* document = ActiveDocument();
    setWindowTitle(document ? QStringLiteral("Almanix - ") + document->Title()
                            : QStringLiteral("Almanix"));
}

bool CMainFrame::Dispatch(int id) {
    CAlmxFrame* frame = ActiveFrame();
    ViewBase* view = frame ? frame->ActiveView() : nullptr;
    OpenDocument* document = frame ? &frame->Document() : nullptr;
    const std::array<CommandTarget*, 5> chain{view, frame, document, this, &app_};
    // A key can still reach a command the menus show disabled: the document refuses it.
    if (document && ChangesDocument(id) && !document->Doc().CanChange()) return false;
    const bool handled = RouteCommand(chain, id);
    if (handled && IsFontCommand(id)) RedrawViews(Redraw::Colours);
    UpdateTitles();
    UpdateCommandStates();
    return handled;
}

void CMainFrame::UpdateCommandStates() {
    if (closing_) return;
    CAlmxFrame* frame = ActiveFrame();
    ViewBase* view = frame ? frame->ActiveView() : nullptr;
    OpenDocument* document = frame ? &frame->Document() : nullptr;
    const std::array<CommandTarget*, 5> chain{view, frame, document, this, &app_};
    const bool readOnly = document && document->Doc().IsReadOnly();
    for (auto& [id, action] : actions_) {
        std::optional<CommandState> state = RouteStatus(chain, id);
        action->setEnabled(state && state->enabled && !(readOnly && ChangesDocument(id)));
        action->setCheckable(state && state->checkable);
        if (state && state->checkable) action->setChecked(state->checked);
    }
}

QString CMainFrame::StatusDateText() const {
    // The logical today: before the day-change hour it is still yesterday.
    const DateTime now = Today(*context_.clock, context_.display.todayLimit);
    return QString::asprintf("%04d/%02d/%02d  (", now.Year(), now.Month(), now.Day()) +
           QString::fromUtf8(context_.display.WeekdayName(now.DayOfWeek())) + QLatin1Char(')');
}

QString CMainFrame::StatusText() const {
    return message_->text();
}

void CMainFrame::Tick() {
    // The logical date moves at midnight, or at the day-change hour: today's frame, to-dos on
    // today and the days left belong to every open view, active or not.
    const DateTime today = Today(*context_.clock, context_.display.todayLimit);
    if (shownToday_.IsValid() && !(today == shownToday_)) {
        if (!mdi_->subWindowList().isEmpty()) message_->setText(StatusDateText());
        app_.UpdateEveryView(kHintRefill);
    }
    shownToday_ = today;
    CAlmxFrame* frame = ActiveFrame();
    if (!frame) return;
    if (auto* week = qobject_cast<CWeekView*>(frame->ActiveView())) week->ClockTick();
    OpenDocument& document = frame->Document();
    const DateTime now = context_.clock->Now();
    const DateTime previousTick = lastTick_;
    lastTick_ = now;
    std::optional<MinuteCheck::Alarms> alarms;
    if (document.Alarms()) {
        if (!alarms_) {
            alarms_ = std::make_unique<AlarmPresenter>(this, context_);
            alarms_->mailReady = [this] {
                return options_.mailSetup && options_.mailSetup() == MailSetup::Ready;
            };
        }
        alarms_->SetDocument(&document.Host());
        alarms.emplace(MinuteCheck::Alarms{*document.Alarms(), *alarms_, previousTick});
    }
    MinuteCheck::Result result = document.Minutes().Run(
        document.Doc(), now, context_.display.saveSpanMinute, alarms ? &*alarms : nullptr);
    if (result.saved) UpdateTitles();
    // The automatic save also writes a diary day being typed.
    if (const int span = context_.display.saveSpanMinute; span > 0 && result.newMinute) {
        const DateTime now = context_.clock->Now();
        if ((now.Hour() * 60 + now.Minute()) % span == 0) document.Host().CommitDiaryText();
    }
    if (result.dayChanged || result.alarms.dateChanged) {
        for (CAlmxFrame* each : FramesOf(document)) {
            if (each->Kind() == ViewKind::Month) {
                message_->setText(StatusDateText());
                break;
            }
        }
    }
}

void CMainFrame::RedrawViews(almx::Redraw scope) {
    switch (scope) {
        case Redraw::None:
            return;
        case Redraw::ActiveDocument:
            if (OpenDocument* document = ActiveDocument()) {
                document->Host().UpdateAllViews(nullptr, kHintRepaint);
            }
            return;
        case Redraw::AllViews:
            app_.UpdateEveryView(kHintRepaint);
            return;
        case Redraw::AllCells:
            app_.UpdateEveryView(kHintRefill);
            return;
        case Redraw::AllLayouts:
            app_.UpdateEveryView(kHintRecomputeMonth);
            for (CAlmxFrame* frame : Frames()) frame->OnCommand(cmd::kRefreshColours);
            return;
        case Redraw::Colours:
            for (CAlmxFrame* frame : Frames()) frame->OnCommand(cmd::kRefreshColours);
            return;
        case Redraw::WeekdayNames:
            for (CAlmxFrame* frame : Frames()) frame->OnCommand(cmd::kWeekdayNamesChanged);
            return;
    }
}

void CMainFrame::ShowWithPlacement() {
    std::optional<WindowPlacement> placement =
        WindowPlacement::Parse(context_.settings->GetString("Settings", "WindowPos", ""));
    bool maximise = false;
    if (placement && placement->HasUsableRect()) {
        const QRect rect(placement->left, placement->top, placement->Width(), placement->Height());
        // A rectangle on no screen (a display since removed) is left to the default.
        bool onScreen = false;
        for (QScreen* screen : QGuiApplication::screens()) {
            if (screen->availableGeometry().intersects(rect)) onScreen = true;
        }
        if (onScreen) setGeometry(rect);
        maximise = placement->Maximised();
    } else {
        resize(1000, 720);
    }
    if (maximise) {
        showMaximized();
    } else {
        show();
    }
}

void CMainFrame::StorePlacement() {
    const QRect rect = isMaximized() || isMinimized() ? normalGeometry() : geometry();
    WindowPlacement placement =
        PlacementToStore(rect.left(), rect.top(), rect.left() + rect.width(),
                         rect.top() + rect.height(), isMaximized());
    context_.settings->SetString("Settings", "WindowPos", placement.Format());
}

bool CMainFrame::RunCloseSequence() {
    context_.settings->SetString("General", "ToolBarState", saveState().toBase64().toStdString());
    if (CAlmxFrame* frame = ActiveFrame()) frame->OnCommand(cmd::kSavePosition);

    // Postponed reminders are given up only once closing is certain.
    std::vector<OpenDocument*> documents = app_.Documents();
    for (OpenDocument* document : documents) {
        if (document->Doc().SnoozeList().empty()) continue;
        if (context_.prompter->AskYesNo(doc_messages::kCloseWithSnooze) != Answer::Yes) {
            return false;
        }
    }
    // The diary views write the day being typed; one that cannot asks before it is lost.
    for (CAlmxFrame* frame : Frames()) {
        if (auto* diary = qobject_cast<CDiaryView*>(frame->ActiveView());
            diary && !diary->MayClose())
            return false;
    }
    StorePlacement();
    context_.settings->SetInt("View", "StandardBar", toolBar_->isVisible() ? 1 : 0);
    for (OpenDocument* document : documents) {
        if (!document->SaveModified()) return false;
    }
    for (OpenDocument* document : documents) document->Doc().SnoozeList().clear();
    app_.ReleaseAllDocuments();
    app_.WriteAtExit();
    return true;
}

void CMainFrame::closeEvent(QCloseEvent* event) {
    if (!RunCloseSequence()) {
        event->ignore();
        return;
    }
    closing_ = true;
    clock_.stop();
    event->accept();
}

bool CMainFrame::MayCloseFrame(CAlmxFrame& frame) {
    OpenDocument& document = frame.Document();
    if (document.Closing() || closing_) return true;
    if (FramesOf(document).size() > 1) {
        frame.SavePlacement();
        return true;
    }
    if (!app_.CloseDocument(document)) return false;
    frame.SavePlacement();
    return true;
}

void CMainFrame::FrameDestroyed(CAlmxFrame& frame) {
    if (lastActive_ == &frame) lastActive_ = nullptr;
    if (closing_) return;
    OpenDocument* document = &frame.Document();
    // Later, when the frame and its views are gone.
    QTimer::singleShot(0, &app_, [this, document] {
        app_.DocumentLostFrames(document);
        if (mdi_->subWindowList().isEmpty()) OnSubWindowActivated(nullptr);
    });
}

void CMainFrame::dragEnterEvent(QDragEnterEvent* event) {
    if (event->mimeData()->hasUrls()) event->acceptProposedAction();
}

void CMainFrame::dropEvent(QDropEvent* event) {
    std::vector<std::string> paths;
    for (const QUrl& url : event->mimeData()->urls()) {
        if (url.isLocalFile()) paths.push_back(url.toLocalFile().toStdString());
    }
    event->acceptProposedAction();
    // Opened once the drop has returned: a password or holiday question inside it would hold
    // the program the file came from.
    QTimer::singleShot(0, &app_, [this, paths] {
        for (const std::string& path : paths) app_.OpenDocumentFile(path);
    });
}

void CMainFrame::ChooseViewColour(int id) {
    std::optional<std::uint32_t> colour = options_.Colour(id);
    if (!colour) return;
    std::uint32_t chosen = *colour;
    if (!ChooseColour(this, QStringLiteral("色の設定"), chosen)) return;
    RedrawViews(options_.SetColour(id, chosen));
}

void CMainFrame::WeekColours() {
    CWeekCol dialog(WeekColourForm::From(context_.display), this);
    if (dialog.exec() != QDialog::Accepted) return;
    dialog.Form().Apply(context_.display, *context_.settings);
    RedrawViews(Redraw::Colours);
}

void CMainFrame::DayDraw() {
    CDayDrawDlg dialog(DayDrawForm::From(context_.display), this);
    if (dialog.exec() != QDialog::Accepted) return;
    dialog.Form().Apply(context_.display, *context_.settings);
    RedrawViews(Redraw::ActiveDocument);
}

void CMainFrame::AlarmSettings() {
    CAlermSetDlg dialog(AlarmSettingsForm::From(context_.display), this);
    if (dialog.exec() != QDialog::Accepted) return;
    dialog.Form().Apply(context_.display, *context_.settings);
}

OtherSettingsForm CMainFrame::CurrentOtherSettings() const {
    OpenDocument* document = ActiveDocument();
    const CAlmxArray* array = document ? &document->Doc().Array() : nullptr;
    OtherSettingsForm form = OtherSettingsForm::From(context_.display, *context_.settings, array);
    // The frame owns the start-up layout until it writes it: the menu may have changed it.
    form.startLayout = std::clamp(options_.StartLayout(), 0, 4);
    form.initTodo = options_.InitTodo();
    return form;
}

void CMainFrame::ApplyOtherSettings(const OtherSettingsForm& form) {
    OpenDocument* document = ActiveDocument();
    CAlmxArray* array = document ? &document->Doc().Array() : nullptr;
    if (form.Apply(context_.display, *context_.settings, array)) document->Doc().SetModified(true);
    options_.SetStartLayout(std::clamp(form.startLayout, 0, 4), form.initTodo);
    app_.UpdateEveryView(kHintRefill);
}

void CMainFrame::CustomiseKeys() {
    if (!context_.keys) return;
    std::vector<KeycustCommandRow> rows;
    for (const CommandSpec& command : CommandTable()) {
        if (command.keyList) rows.push_back({command.id, KeyListLabel(command)});
    }
    KeycustForm form(*context_.keys, std::move(rows), *context_.prompter);
    CKeycustDlg dialog(
        form,
        [this](const MenuTextChange& change) {
            SetShortcutText(change.command, change.text);
            UpdateBuiltInKeys();
        },
        this);
    dialog.exec();
}

void CMainFrame::HolidaySettings() {
    CHolidayDlg dialog(HolidayForm::From(context_.display), this);
    if (dialog.exec() != QDialog::Accepted) return;
    dialog.Form().Apply(context_.display, *context_.settings);
    app_.UpdateEveryView(kHintRefill);
}

void CMainFrame::SetShortcutText(int id, const std::optional<std::string>& text) {
    QAction* action = Action(id);
    if (!action) return;
    QString label = action->text();
    const qsizetype tab = label.lastIndexOf(QLatin1Char('\t'));
    if (tab >= 0) label.truncate(tab);
    // A command the platform cannot honour keeps the tool tip that says why.
    if (!Unavailable(id)) {
        // The tool bar shows the tool tip: the item text without the key.
        action->setToolTip(text ? WithoutMnemonic(label) : QString());
    }
    if (text) label += QLatin1Char('\t') + QString::fromStdString(*text);
    action->setText(label);
}

void CMainFrame::UpdateBuiltInKeys() {
    for (auto& [id, action] : actions_) {
        const CommandSpec* command = FindCommand(id);
        if (!command || !*command->keys) continue;
        const QKeySequence builtIn(QString::fromUtf8(command->keys));
        bool taken = false;
        if (context_.keys && !builtIn.isEmpty()) {
            const QKeyCombination combination = builtIn[0];
            if (std::optional<KeyStroke> stroke =
                    WindowsKeyOf(combination.key(), combination.keyboardModifiers())) {
                const std::optional<int> bound =
                    context_.keys->Lookup(stroke->code, stroke->alt, stroke->shift, stroke->ctrl);
                taken = bound && *bound != id;
            }
        }
        // A key another command's binding takes is neither shown nor fired for this one.
        action->setShortcut(taken ? QKeySequence() : builtIn);
    }
}

void CMainFrame::ApplyKeyTexts() {
    for (auto& [id, action] : actions_) {
        SetShortcutText(id, context_.keys ? context_.keys->ShortcutFor(id) : std::nullopt);
    }
    UpdateBuiltInKeys();
}

void CMainFrame::OtherSettings() {
    COptionSheet sheet(CurrentOtherSettings(), this);
    if (sheet.exec() != QDialog::Accepted) return;
    ApplyOtherSettings(sheet.Form());
}

void CMainFrame::OpenHelpPage(const char* page) {
    const QString path =
        QString::fromStdString((DataFile(context_.programFolder, "help") / page).string());
    if (!QFileInfo::exists(path)) {
        context_.prompter->ShowMessage(
            QString::fromUtf8(frame_messages::kHelpMissing).arg(path).toStdString(),
            MessageKind::Error);
        return;
    }
    QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

void CMainFrame::Tile(bool sideBySide) {
    std::vector<QMdiSubWindow*> windows;
    for (QMdiSubWindow* window : mdi_->subWindowList(QMdiArea::CreationOrder)) {
        if (window->isVisible() && !window->isMinimized()) windows.push_back(window);
    }
    if (windows.empty()) return;
    const QSize area = mdi_->viewport()->size();
    const int count = static_cast<int>(windows.size());
    for (int i = 0; i < count; ++i) {
        QMdiSubWindow* window = windows[static_cast<std::size_t>(i)];
        if (window->isMaximized()) window->showNormal();
        if (sideBySide) {
            const int width = area.width() / count;
            window->setGeometry(i * width, 0, width, area.height());
        } else {
            const int height = area.height() / count;
            window->setGeometry(0, i * height, area.width(), height);
        }
    }
}

void CMainFrame::ArrangeIcons() {
    int x = 0;
    const int bottom = mdi_->viewport()->height();
    for (QMdiSubWindow* window : mdi_->subWindowList(QMdiArea::CreationOrder)) {
        if (!window->isMinimized()) continue;
        window->move(x, bottom - window->height());
        x += window->width();
    }
}

bool CMainFrame::OnCommand(int id) {
    if (Unavailable(id)) return false;
    if (options_.Status(id)) {
        RedrawViews(options_.Apply(id));
        return true;
    }
    if (std::optional<ViewKind> kind = KindOfShowCommand(id)) {
        ShowView(*kind);
        return true;
    }
    if (const char* address = WebAddress(id)) {
        QDesktopServices::openUrl(QUrl(QString::fromUtf8(address)));
        return true;
    }
    switch (id) {
        case cmd::kMakeSearchList:
            MakeSearchList();
            return true;
        case cmd::kToolBar:
            toolBar_->setVisible(!toolBar_->isVisible());
            return true;
        case cmd::kStatusBar:
            statusBar()->setVisible(!statusBar()->isVisible());
            return true;
        case cmd::kBackColor:
        case cmd::kOtherColor:
        case cmd::kHolidayColor:
        case cmd::kTodayColor:
        case cmd::kContinueColor:
            ChooseViewColour(id);
            return true;
        case cmd::kWeekColors:
            WeekColours();
            return true;
        case cmd::kDayDraw:
            DayDraw();
            return true;
        case cmd::kAlarmSettings:
            AlarmSettings();
            return true;
        case cmd::kMailSettings:
            RunMailSettings(context_, this);
            return true;
        case cmd::kTestMail:
            RunTestMail(context_);
            return true;
        case cmd::kLinkFileOptions:
            EditLinkFileOptions(this, *context_.settings);
            return true;
        case cmd::kDiaryIcon: {
            CDiaryIconDlg dialog(context_.display, *context_.settings, this);
            if (dialog.exec() == QDialog::Accepted) app_.UpdateEveryView(kHintRepaint);
            return true;
        }
        case cmd::kOtherSettings:
            OtherSettings();
            return true;
        case cmd::kKeyCustomise:
            CustomiseKeys();
            return true;
        case cmd::kHolidaySettings:
            HolidaySettings();
            return true;
        case cmd::kViewChangeMes: {
            if (context_.reloadSettings) context_.reloadSettings();
            const int view = context_.settings->GetInt("System", "ViewChangeMes", -1);
            if (view >= 0 && view <= 4) ShowView(static_cast<ViewKind>(view));
            return true;
        }
        case cmd::kWindowNew:
            if (CAlmxFrame* frame = ActiveFrame()) {
                // One memo or diary view per document: a second memo view would edit the same
                // pages apart, a second diary view would save over the first one's day.
                if (frame->Kind() == ViewKind::Memo || frame->Kind() == ViewKind::Diary) {
                    ActivateFrame(frame);
                    return true;
                }
                CreateFrame(frame->Kind(), frame->Document(), frame->isMaximized());
            }
            return true;
        case cmd::kWindowCascade:
            mdi_->cascadeSubWindows();
            return true;
        case cmd::kWindowTileHorz:
            Tile(false);
            return true;
        case cmd::kWindowTileVert:
            Tile(true);
            return true;
        case cmd::kWindowArrange:
            ArrangeIcons();
            return true;
        case cmd::kHelpContents:
            OpenHelpPage("index.html");
            return true;
        case cmd::kHelpKeyword:
            OpenHelpPage("keywords.html");
            return true;
        case cmd::kHelpUsing:
            OpenHelpPage("using-help.html");
            return true;
        default:
            return false;
    }
}

std::optional<CommandState> CMainFrame::CommandStatus(int id) const {
    if (std::optional<CommandState> state = options_.Status(id)) {
        if (Unavailable(id)) state->enabled = false;
        return state;
    }
    if (KindOfShowCommand(id) || WebAddress(id)) return CommandState{};
    switch (id) {
        case cmd::kMakeSearchList:
            return CommandState{ActiveDocument() != nullptr};
        case cmd::kToolBar:
            return CommandState{true, true, toolBar_->isVisible()};
        case cmd::kStatusBar:
            return CommandState{true, true, statusBar()->isVisible()};
        case cmd::kBackColor:
        case cmd::kOtherColor:
        case cmd::kHolidayColor:
        case cmd::kTodayColor:
        case cmd::kContinueColor:
        case cmd::kWeekColors:
        case cmd::kDayDraw:
        case cmd::kAlarmSettings:
        case cmd::kMailSettings:
        case cmd::kTestMail:
        case cmd::kLinkFileOptions:
        case cmd::kDiaryIcon:
        case cmd::kOtherSettings:
        case cmd::kHolidaySettings:
        case cmd::kViewChangeMes:
        case cmd::kHelpContents:
        case cmd::kHelpKeyword:
        case cmd::kHelpUsing:
            return CommandState{};
        case cmd::kKeyCustomise:
            return CommandState{context_.keys != nullptr};
        case cmd::kWindowNew:
            return CommandState{ActiveFrame() != nullptr};
        case cmd::kWindowCascade:
        case cmd::kWindowTileHorz:
        case cmd::kWindowTileVert:
        case cmd::kWindowArrange:
            return CommandState{!mdi_->subWindowList().isEmpty()};
        default:
            return std::nullopt;
    }
}

}  // namespace almx
