#include "app/child_frames.h"

#include <QApplication>
#include <QCloseEvent>
#include <QSplitter>

#include "app/app_context.h"
#include "app/command_table.h"
#include "app/open_document.h"
#include "app/view_factory.h"
#include "app/window_placement.h"
#include "base/settings_store.h"
#include "views/calendar_actions.h"
#include "views/diary_view.h"
#include "views/view_base.h"

namespace almx {

namespace {

QString KindName(ViewKind kind) {
    switch (kind) {
        case ViewKind::Month:
            return QStringLiteral("月間予定表");
        case ViewKind::Week:
            return QStringLiteral("週間予定表");
        case ViewKind::Todo:
            return QStringLiteral("ToDoリスト");
        case ViewKind::Diary:
            return QStringLiteral("日記");
        case ViewKind::Memo:
            return QStringLiteral("メモビュー");
        case ViewKind::SearchList:
            return QStringLiteral("検索リスト");
    }
    return QString();
}

}  // namespace

CAlmxFrame::CAlmxFrame(ViewKind kind, OpenDocument& document, AppContext& context, FrameHost& host,
                       SharedShowState& show, QWidget* parent)
    : QMdiSubWindow(parent),
      context_(context),
      kind_(kind),
      document_(document),
      host_(host),
      show_(show) {
    setAttribute(Qt::WA_DeleteOnClose);
    if (kind != ViewKind::Month) {
        view_ = CreateView(kind, document.Host(), context, this);
        setWidget(view_);
    }
    connect(this, &QMdiSubWindow::windowStateChanged, this, &CAlmxFrame::OnStateChanged);
    UpdateTitle();
}

CAlmxFrame::~CAlmxFrame() {
    // The base class reports its last state change while it is destroyed.
    disconnect(this, &QMdiSubWindow::windowStateChanged, this, &CAlmxFrame::OnStateChanged);
    host_.FrameDestroyed(*this);
}

ViewBase* CAlmxFrame::ActiveView() const {
    return view_;
}

std::vector<ViewBase*> CAlmxFrame::Views() const {
    if (!view_) return {};
    return {view_};
}

void CAlmxFrame::UpdateTitle() {
    setWindowTitle(document_.Title() + QStringLiteral(" - ") + KindName(kind_));
}

const char* CAlmxFrame::PlacementKey() const {
    switch (kind_) {
        case ViewKind::Month:
            return "MonthPos";
        case ViewKind::Week:
            return "WeekPos";
        case ViewKind::Todo:
            return "TodoPos";
        case ViewKind::SearchList:
            return "SchPos";
        case ViewKind::Diary:
            return "DiaryPos";
        default:
            return nullptr;
    }
}

const char* CAlmxFrame::PlacementSection() const {
    return kind_ == ViewKind::Diary ? "DiaryView" : "Settings";
}

void CAlmxFrame::RestorePlacement() {
    const char* key = PlacementKey();
    if (!key) return;
    std::optional<WindowPlacement> placement =
        WindowPlacement::Parse(context_.settings->GetString(PlacementSection(), key, ""));
    if (!placement || !placement->HasUsableRect()) return;
    setGeometry(placement->left, placement->top, placement->Width(), placement->Height());
}

void CAlmxFrame::SavePlacement() const {
    const char* key = PlacementKey();
    if (!key) return;
    QRect rect = normalRect_.isValid() ? normalRect_ : geometry();
    WindowPlacement placement =
        PlacementToStore(rect.left(), rect.top(), rect.left() + rect.width(),
                         rect.top() + rect.height(), isMaximized());
    context_.settings->SetString(PlacementSection(), key, placement.Format());
}

void CAlmxFrame::ShowInitially(bool maximise) {
    if (maximise || show_.value == kShowMaximised) {
        showMaximized();
    } else {
        show();
    }
}

void CAlmxFrame::SendToViews(int id) {
    for (ViewBase* view : Views()) {
        if (view && view->CommandStatus(id)) view->OnCommand(id);
    }
}

void CAlmxFrame::OnStateChanged(Qt::WindowStates, Qt::WindowStates newState) {
    if (!isVisible()) return;
    if (newState & Qt::WindowMaximized) {
        show_.value = kShowMaximised;
    } else if (!(newState & Qt::WindowMinimized)) {
        show_.value = kShowNormal;
    }
}

bool CAlmxFrame::OnCommand(int id) {
    switch (id) {
        case cmd::kSavePosition:
            SavePlacement();
            return true;
        case cmd::kTakeDocumentDate:
        case cmd::kRefreshColours:
        case cmd::kWeekdayNamesChanged:
            SendToViews(id);
            return true;
        default:
            return false;
    }
}

std::optional<CommandState> CAlmxFrame::CommandStatus(int id) const {
    switch (id) {
        case cmd::kSavePosition:
        case cmd::kTakeDocumentDate:
        case cmd::kRefreshColours:
        case cmd::kWeekdayNamesChanged:
            return CommandState{};
        default:
            return std::nullopt;
    }
}

void CAlmxFrame::moveEvent(QMoveEvent* event) {
    QMdiSubWindow::moveEvent(event);
    if (!(windowState() & (Qt::WindowMaximized | Qt::WindowMinimized))) normalRect_ = geometry();
}

void CAlmxFrame::resizeEvent(QResizeEvent* event) {
    QMdiSubWindow::resizeEvent(event);
    if (!(windowState() & (Qt::WindowMaximized | Qt::WindowMinimized))) normalRect_ = geometry();
}

void CAlmxFrame::closeEvent(QCloseEvent* event) {
    if (!document_.Closing()) {
        for (ViewBase* view : Views()) {
            if (!view->QueryClose()) {
                event->ignore();
                return;
            }
        }
    }
    if (!host_.MayCloseFrame(*this)) {
        event->ignore();
        return;
    }
    QMdiSubWindow::closeEvent(event);
}

CDiaryFrame::CDiaryFrame(OpenDocument& document, AppContext& context, FrameHost& host,
                         SharedShowState& show, QWidget* parent)
    : CAlmxFrame(ViewKind::Diary, document, context, host, show, parent) {}

void CDiaryFrame::closeEvent(QCloseEvent* event) {
    auto* diary = qobject_cast<CDiaryView*>(ActiveView());
    if (diary && !diary->MayClose()) {
        event->ignore();
        return;
    }
    CAlmxFrame::closeEvent(event);
}

QPointer<CMonthFrame> CMonthFrame::lastActive_;

CMonthFrame::CMonthFrame(OpenDocument& document, AppContext& context, FrameHost& host,
                         SharedShowState& show, QWidget* parent)
    : CAlmxFrame(ViewKind::Month, document, context, host, show, parent) {
    splitter_ = new QSplitter(this);
    splitter_->setChildrenCollapsible(false);
    month_ = CreateMonthView(document.Host(), context, splitter_);
    dayList_ = CreateDayListView(document.Host(), context, splitter_);
    LinkDayList(month_, dayList_);
    splitter_->addWidget(month_);
    splitter_->addWidget(dayList_);
    setWidget(splitter_);
    SetMainView(month_);

    int split = context.settings->GetInt("View", "SchList", 1);
    bool shown = context.settings->GetInt("View", "SchListView", 1) != 0;
    if (split == 0) {
        split = 1;
        shown = false;
    }
    if (split != 1 && split != 2) split = 1;
    split_ = split;
    splitter_->setOrientation(split_ == 1 ? Qt::Vertical : Qt::Horizontal);
    listShown_ = shown;
    dayList_->setVisible(listShown_);
}

CMonthFrame::~CMonthFrame() {
    if (lastActive_ == this) {
        SavePlacement();
        StorePaneSize();
    }
}

void CMonthFrame::SetLastActive(CMonthFrame* frame) {
    lastActive_ = frame;
}

ViewBase* CMonthFrame::ActiveView() const {
    if (listShown_ && dayList_->isAncestorOf(QApplication::focusWidget())) return dayList_;
    if (listShown_ && QApplication::focusWidget() == dayList_) return dayList_;
    return month_;
}

std::vector<ViewBase*> CMonthFrame::Views() const {
    return {month_, dayList_};
}

void CMonthFrame::showEvent(QShowEvent* event) {
    CAlmxFrame::showEvent(event);
    if (sized_) return;
    sized_ = true;
    ApplySplit(split_);
}

void CMonthFrame::ApplySplit(int split) {
    split_ = split;
    splitter_->setOrientation(split_ == 1 ? Qt::Vertical : Qt::Horizontal);
    const QSize client = splitter_->size();
    const int whole = split_ == 1 ? client.height() : client.width();
    const int stored =
        context_.settings->GetInt("View", split_ == 1 ? "Row" : "Col", whole * 4 / 5);
    const int first = stored > 0 && stored < whole ? stored : whole * 4 / 5;
    splitter_->setSizes({first, 100});
}

void CMonthFrame::ShowList(bool shown) {
    listShown_ = shown;
    dayList_->setVisible(shown);
    context_.settings->SetInt("View", "SchListView", shown ? 1 : 0);
}

void CMonthFrame::StorePaneSize() const {
    if (!listShown_ || !sized_) return;
    if (split_ == 1) {
        context_.settings->SetInt("View", "Row", month_->height());
    } else {
        context_.settings->SetInt("View", "Col", month_->width());
    }
}

namespace {

// The day list's entry commands, which the month grid's menus offer too.
bool IsDayListEntryCommand(int id) {
    return id == calendar_cmd::kVCalendarEntry || id == calendar_cmd::kVCalendarMail ||
           id == calendar_cmd::kICalendarEntry;
}

}  // namespace

bool CMonthFrame::OnCommand(int id) {
    if (IsDayListEntryCommand(id)) return listShown_ && dayList_->OnCommand(id);
    switch (id) {
        case cmd::kDayListHide:
            ShowList(!listShown_);
            return true;
        case cmd::kDayListBelow:
        case cmd::kDayListRight: {
            const int split = id == cmd::kDayListBelow ? 1 : 2;
            if (split != split_) {
                StorePaneSize();
                ApplySplit(split);
                context_.settings->SetInt("View", "SchList", split);
            }
            if (!listShown_) ShowList(true);
            return true;
        }
        default:
            return CAlmxFrame::OnCommand(id);
    }
}

std::optional<CommandState> CMonthFrame::CommandStatus(int id) const {
    if (IsDayListEntryCommand(id)) {
        if (!listShown_) return CommandState{false};
        return dayList_->CommandStatus(id);
    }
    switch (id) {
        case cmd::kDayListHide:
            return CommandState{true, true, !listShown_};
        case cmd::kDayListBelow:
            return CommandState{true, true, split_ == 1};
        case cmd::kDayListRight:
            return CommandState{true, true, split_ == 2};
        default:
            return CAlmxFrame::CommandStatus(id);
    }
}

}  // namespace almx
