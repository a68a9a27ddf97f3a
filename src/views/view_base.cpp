#include "views/view_base.h"

#include <QAction>
#include <QMenu>

namespace almx {

ViewBase::ViewBase(DocumentHost& host, QWidget* parent) : QWidget(parent), host_(host) {
    connect(&host_, &DocumentHost::Updated, this,
            [this](QObject* sender, int hint, const CAlmxData* record) {
                if (sender != this) OnUpdate(sender, hint, record);
            });
}

void ViewBase::AddCommandItem(QMenu& menu, int id, const QString& label) {
    QAction* action = menu.addAction(label);
    action->setData(id);
    const std::optional<CommandState> state = CommandStatus(id);
    action->setEnabled(state && state->enabled);
    connect(action, &QAction::triggered, this, [this, id] { OnCommand(id); });
}

}  // namespace almx
