#include "ui/document_host.h"

#include <QTimer>

#include "calendar/day_cells.h"

namespace almx {

DocumentHost::DocumentHost(std::unique_ptr<CAlmxDoc> document, QObject* parent)
    : QObject(parent), document_(std::move(document)) {
    // Every change of the container reaches every view before anything else runs.
    document_->SetRecordsListener([this](const CAlmxData* removed) {
        UpdateAllViews(nullptr, removed ? kHintRemoveRecord | kHintRefill : kHintRefill, removed);
    });
}

DocumentHost::~DocumentHost() {
    document_->SetRecordsListener(nullptr);
}

void DocumentHost::UpdateAllViews(QObject* sender, int hint, const CAlmxData* record) {
    emit Updated(sender, hint, record);
    ShowFillNoticesLater();
}

void DocumentHost::ShowFillNoticesLater() {
    if (noticesScheduled_ || !document_->FillNotices().HasPending()) return;
    noticesScheduled_ = true;
    QTimer::singleShot(0, this, [this] {
        noticesScheduled_ = false;
        document_->ShowFillNotices();
    });
}

void DocumentHost::Changed(QObject* sender) {
    document_->SetModified(true);
    UpdateAllViews(sender, kHintRefill);
}

}  // namespace almx
