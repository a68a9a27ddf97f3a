#pragma once
// What every view of a document has in common: its document, the update hints it receives,
// and its place at the head of the command route.

#include <QKeyEvent>
#include <QWidget>

class QMenu;

#include "ui/command_target.h"
#include "ui/document_host.h"

namespace almx {

class ViewBase : public QWidget, public CommandTarget {
    Q_OBJECT
  public:
    ViewBase(DocumentHost& host, QWidget* parent = nullptr);

    DocumentHost& Host() { return host_; }
    CAlmxDoc& Document() { return host_.Document(); }

    bool OnCommand(int) override { return false; }
    std::optional<CommandState> CommandStatus(int) const override { return std::nullopt; }

    // The selected date, which the document's other views take when dates are synchronised;
    // nullopt for a view without one.
    virtual std::optional<DateTime> SelectedDate() const { return std::nullopt; }

    // Whether the view handles the key itself, before the key assignments are looked up.
    virtual bool OwnsKey(const QKeyEvent&) const { return false; }

    // Whether the view lets its frame close while its document stays open (it may commit
    // edits, or refuse and say why).
    virtual bool QueryClose() { return true; }

  signals:
    // The selection or the rows changed: what the view's commands can do may have changed.
    void CommandStatesChanged();

  protected:
    // A context-menu item running the view's command id, enabled as the command is now.
    void AddCommandItem(QMenu& menu, int id, const QString& label);

    // A change another view (or the document) announced; hint bits of calendar/day_cells.h.
    virtual void OnUpdate(QObject* sender, int hint, const CAlmxData* record) = 0;

  private:
    DocumentHost& host_;
};

}  // namespace almx
