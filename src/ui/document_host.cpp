#include "ui/document_host.h"

#include "calendar/day_cells.h"

namespace almx {

DocumentHost::DocumentHost(std::unique_ptr<CAlmxDoc> document, QObject* parent)
    : QObject(parent), document_(std::move(document)) {}

DocumentHost::~DocumentHost() = default;

void DocumentHost::UpdateAllViews(QObject* sender, int hint, const CAlmxData* record) {
    emit Updated(sender, hint, record);
}

void DocumentHost::Changed(QObject* sender) {
    document_->SetModified(true);
    UpdateAllViews(sender, kHintRefill);
}

}  // namespace almx
