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

void DocumentHost::AttachDiary(Prompter& prompter, FileTrash* trash, FileLauncher* launcher,
                               std::string defaultFolder) {
    diary_ = std::make_unique<DiaryStore>(prompter, trash, launcher);
    diary_->SetDefaultFolder(std::move(defaultFolder));
    diary_->SetIndexListener([this] { UpdateAllViews(nullptr, kHintRepaint); });
    RescanDiary();
}

void DocumentHost::RescanDiary() {
    if (!diary_) return;
    diary_->SetDocumentPath(document_->Path());
    diary_->SetFolder(document_->Array().diaryFolder);
}

void DocumentHost::Changed(QObject* sender) {
    document_->SetModified(true);
    UpdateAllViews(sender, kHintRefill);
}

}  // namespace almx
