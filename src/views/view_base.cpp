#include "views/view_base.h"

namespace almx {

ViewBase::ViewBase(DocumentHost& host, QWidget* parent) : QWidget(parent), host_(host) {
    connect(&host_, &DocumentHost::Updated, this,
            [this](QObject* sender, int hint, const CAlmxData* record) {
                if (sender != this) OnUpdate(sender, hint, record);
            });
}

}  // namespace almx
