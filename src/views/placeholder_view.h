#pragma once
// The pane of a view kind that is not built yet: it shows what it stands for, keeps the
// selected date for date synchronisation and handles no user command.

#include <QString>

#include "views/view_base.h"

namespace almx {

class PlaceholderView : public ViewBase {
    Q_OBJECT
  public:
    PlaceholderView(DocumentHost& host, QString caption, QWidget* parent = nullptr);

    bool OnCommand(int id) override;
    std::optional<CommandState> CommandStatus(int id) const override;
    std::optional<DateTime> SelectedDate() const override { return date_; }

  protected:
    void OnUpdate(QObject* sender, int hint, const CAlmxData* record) override;
    void paintEvent(QPaintEvent* event) override;

  private:
    QString caption_;
    DateTime date_;
};

}  // namespace almx
