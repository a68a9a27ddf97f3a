#pragma once
// The child frames of the main window: CAlmxFrame holds one view of a document; CMonthFrame
// splits into the month view and the day list. Each restores and saves its placement under
// its view's key in "Settings" and shares the show state "Settings"/"ShowCmd".

#include <QMdiSubWindow>
#include <QPointer>
#include <vector>

#include "app/view_kind.h"
#include "ui/command_target.h"

class QSplitter;

namespace almx {

struct AppContext;
class CAlmxFrame;
class OpenDocument;
class ViewBase;

// What a frame asks of the main window.
class FrameHost {
  public:
    virtual ~FrameHost() = default;
    // The frame is about to close: false keeps it (the last frame of a document that the
    // user did not let go).
    virtual bool MayCloseFrame(CAlmxFrame& frame) = 0;
    virtual void FrameDestroyed(CAlmxFrame& frame) = 0;
};

// "Settings"/"ShowCmd" of the plain and month frames: 1 normal, 3 maximised.
struct SharedShowState {
    int initial = 1;
    int value = 1;
};

class CAlmxFrame : public QMdiSubWindow, public CommandTarget {
    Q_OBJECT
  public:
    CAlmxFrame(ViewKind kind, OpenDocument& document, AppContext& context, FrameHost& host,
               SharedShowState& show, QWidget* parent = nullptr);
    ~CAlmxFrame() override;

    ViewKind Kind() const { return kind_; }
    OpenDocument& Document() const { return document_; }

    // The view with the focus, else the main one.
    virtual ViewBase* ActiveView() const;
    virtual std::vector<ViewBase*> Views() const;

    // "MonthPos", "WeekPos", "TodoPos", "SchPos"; nullptr for a frame not restored.
    const char* PlacementKey() const;
    // "Settings", or "DiaryView" for the diary frame.
    const char* PlacementSection() const;
    // Takes the stored placement's rectangle; the show state is the shared one unless the
    // caller maximises.
    void RestorePlacement();
    void SavePlacement() const;
    // Shows the frame in the shared show state, or maximised.
    void ShowInitially(bool maximise);

    // Sends a command to every view of the frame.
    void SendToViews(int id);
    void UpdateTitle();

    bool OnCommand(int id) override;
    std::optional<CommandState> CommandStatus(int id) const override;

  protected:
    void closeEvent(QCloseEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void SetMainView(ViewBase* view) { view_ = view; }

    AppContext& context_;

  private:
    void OnStateChanged(Qt::WindowStates oldState, Qt::WindowStates newState);

    ViewKind kind_;
    OpenDocument& document_;
    FrameHost& host_;
    SharedShowState& show_;
    ViewBase* view_ = nullptr;
    // The last rectangle in the normal state: what a maximised frame restores to.
    QRect normalRect_;
};

// The diary frame: its view saves the day's text before the frame closes.
class CDiaryFrame : public CAlmxFrame {
    Q_OBJECT
  public:
    CDiaryFrame(OpenDocument& document, AppContext& context, FrameHost& host, SharedShowState& show,
                QWidget* parent = nullptr);

  protected:
    void closeEvent(QCloseEvent* event) override;
};

class CMonthFrame : public CAlmxFrame {
    Q_OBJECT
  public:
    CMonthFrame(OpenDocument& document, AppContext& context, FrameHost& host, SharedShowState& show,
                QWidget* parent = nullptr);
    ~CMonthFrame() override;

    ViewBase* ActiveView() const override;
    std::vector<ViewBase*> Views() const override;
    ViewBase* MonthView() const { return month_; }
    ViewBase* DayList() const { return dayList_; }
    QSplitter* Splitter() const { return splitter_; }

    // 1: the list below the month (rows), 2: at the right (columns).
    int Split() const { return split_; }
    bool ListShown() const { return listShown_; }

    // The month frame that was last the active child saves its pane size when destroyed.
    static void SetLastActive(CMonthFrame* frame);

    bool OnCommand(int id) override;
    std::optional<CommandState> CommandStatus(int id) const override;

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    void ApplySplit(int split);
    void ShowList(bool shown);
    void StorePaneSize() const;

    QSplitter* splitter_;
    ViewBase* month_;
    ViewBase* dayList_;
    int split_ = 1;
    bool listShown_ = true;
    bool sized_ = false;
    static QPointer<CMonthFrame> lastActive_;
};

}  // namespace almx
