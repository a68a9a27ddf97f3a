#pragma once
// The Qt side of one open document: owns the CAlmxDoc and tells its views about changes
// (update hints), as every view reads the document when it paints and edits through it.

#include <QObject>
#include <memory>

#include "base/date_time.h"
#include "document/document.h"
#include "reminders/diary_store.h"

namespace almx {

class DocumentHost : public QObject {
    Q_OBJECT
  public:
    explicit DocumentHost(std::unique_ptr<CAlmxDoc> document, QObject* parent = nullptr);
    ~DocumentHost() override;

    CAlmxDoc& Document() { return *document_; }
    const CAlmxDoc& Document() const { return *document_; }

    // Tells every view but the sender; record is the record a hint is about (hint 16).
    void UpdateAllViews(QObject* sender, int hint, const CAlmxData* record = nullptr);
    // Marks the document modified and tells every view to refill.
    void Changed(QObject* sender = nullptr);
    // Shows the messages the views' fills kept, once the event loop is back: never inside a
    // fill, and only after every view has taken the change that caused them.
    void ShowFillNoticesLater();

    // The date the views of this document share when dates are synchronised.
    const DateTime& SharedDate() const { return sharedDate_; }
    void SetSharedDate(const DateTime& date) { sharedDate_ = date; }

    // The document's diary; nullptr until the program attaches it (tests without a diary).
    DiaryStore* Diary() { return diary_.get(); }
    // Makes the diary of the document and scans its folder; every view repaints when the
    // index changes (the month view's marks).
    void AttachDiary(Prompter& prompter, FileTrash* trash, FileLauncher* launcher,
                     std::string defaultFolder);
    // The document's folder or path changed (opened, saved elsewhere, the folder dialog).
    void RescanDiary();

    // The diary views save a modified day (the automatic save, the document's save).
    void CommitDiaryText() { emit CommitEditors(); }

  signals:
    void CommitEditors();
    void Updated(QObject* sender, int hint, const almx::CAlmxData* record);

  private:
    std::unique_ptr<CAlmxDoc> document_;
    std::unique_ptr<DiaryStore> diary_;
    DateTime sharedDate_;
    bool noticesScheduled_ = false;
};

}  // namespace almx
