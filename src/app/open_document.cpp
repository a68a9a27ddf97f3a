#include "app/open_document.h"

#include <QFileInfo>
#include <QWidget>

#include "app/app_context.h"
#include "app/calendar_commands.h"
#include "app/command_table.h"
#include "app/exchange_commands.h"
#include "app/mail_commands.h"
#include "base/prompter.h"
#include "calendar/day_cells.h"
#include "core/genre_multi_form.h"
#include "core/ui/date_dialog.h"
#include "core/ui/genre_dialogs.h"
#include "document/document_messages.h"
#include "reminders/ui/diary_dialogs.h"

namespace almx {

namespace msg = app_messages;

OpenDocument::OpenDocument(std::unique_ptr<CAlmxDoc> document, AppContext& context,
                           DocumentOwner& owner, int untitledNumber)
    : host_(std::make_unique<DocumentHost>(std::move(document))),
      context_(context),
      owner_(owner),
      untitledNumber_(untitledNumber) {
    if (context.settings && context.clock) {
        alarms_ =
            std::make_unique<AlarmCheck>(Doc().SnoozeList(), *context.settings, *context.clock);
    }
}

OpenDocument::~OpenDocument() = default;

QString OpenDocument::Title() const {
    const std::string& path = Doc().Path();
    if (path.empty()) return QString::fromUtf8(msg::kNewTitle) + QString::number(untitledNumber_);
    return QFileInfo(QString::fromStdString(path)).fileName();
}

bool OpenDocument::SaveModified() {
    if (!Doc().IsModified()) return true;
    const QString question = QString::fromUtf8(msg::kAskSave).arg(Title());
    switch (context_.prompter->AskYesNoCancel(question.toStdString())) {
        case Answer::Yes:
            return Save();
        case Answer::No:
            return true;
        default:
            return false;
    }
}

bool OpenDocument::Save() {
    host_->CommitDiaryText();
    const bool named = !Doc().Path().empty();
    if (!Doc().Save()) return false;
    if (!named) owner_.AddRecentFile(Doc().Path());
    host_->UpdateAllViews(nullptr, kHintRepaint);
    return true;
}

bool OpenDocument::SaveAs() {
    std::optional<std::string> path =
        context_.prompter->ChooseFile(msg::kSaveAsCaption, msg::kSaveAsFilter, true);
    if (!path || path->empty()) return false;
    std::string target = *path;
    if (QFileInfo(QString::fromStdString(target)).suffix().isEmpty()) target += ".alx";
    if (!Doc().SaveTo(target)) return false;
    host_->RescanDiary();  // a relative diary folder follows the file
    owner_.AddRecentFile(Doc().Path());
    host_->UpdateAllViews(nullptr, kHintRepaint);
    return true;
}

void OpenDocument::DeleteOldSchedules() {
    if (!Doc().CanChange()) return;
    std::optional<DateTime> day =
        AskDate(owner_.DialogParent(), QStringLiteral("この日以前に終わるスケジュールを削除します"),
                Doc().OldSchedulesPreset());
    if (!day) return;
    Doc().DeleteOldSchedules(*day);
}

void OpenDocument::EditGenres() {
    if (!Doc().CanChange()) return;
    GenreFileContext fileContext{context_.settings, context_.programFolder, &context_.genres};
    CFieldMainDlg dialog(Doc().Array().genres, Doc().Records(), *context_.prompter, fileContext,
                         owner_.DialogParent());
    dialog.exec();
    // The dialog renumbers the records' genres in place.
    Doc().RecordsEdited();
    Doc().SetModified(true);
    owner_.UpdateEveryView(kHintRefill);
}

void OpenDocument::SetGenreOnMany() {
    if (!Doc().CanChange()) return;
    CFieldMultiDlg dialog(Doc().Array().genres, owner_.DialogParent());
    if (dialog.exec() != QDialog::Accepted) return;
    GenreChangePrompter prompter(*context_.prompter, owner_.DialogParent());
    const int changed = SetGenreOnRecords(Doc().Records(), Doc().Array().genres, dialog.Condition(),
                                          dialog.TargetGenre(), prompter);
    if (changed > 0) {
        Doc().RecordsEdited();
        Doc().SetModified(true);
        owner_.UpdateEveryView(kHintRefill);
    }
}

bool OpenDocument::OnCommand(int id) {
    if (IsExchangeCommand(id)) {
        RunExchangeCommand(id, Doc(), context_, owner_.DialogParent(),
                           [this] { owner_.UpdateEveryView(kHintRefill); });
        return true;
    }
    if (IsCalendarImport(id)) {
        RunCalendarImport(id, Doc(), context_, owner_.DialogParent(),
                          [this] { owner_.UpdateEveryView(kHintRefill); });
        return true;
    }
    switch (id) {
        case cmd::kScheduleMail:
            RunScheduleMail(Doc(), context_, owner_.DialogParent());
            return true;
        case cmd::kFileClose:
            owner_.CloseDocument(*this);
            return true;
        case cmd::kFileSave:
            Save();
            return true;
        case cmd::kFileSaveAs:
            SaveAs();
            return true;
        case cmd::kImport:
            Doc().ImportCommand();
            return true;
        case cmd::kPassword:
            Doc().SetPasswordCommand();
            return true;
        case cmd::kDeleteOld:
            DeleteOldSchedules();
            return true;
        case cmd::kGenres:
            EditGenres();
            return true;
        case cmd::kGenreMulti:
            SetGenreOnMany();
            return true;
        case cmd::kDiaryFolder:
            EditDiaryFolder(owner_.DialogParent(), *host_, *context_.prompter);
            return true;
        case cmd::kDiaryList:
            if (DiaryStore* diary = host_->Diary()) {
                CDiaryListDlg dialog(*diary, context_.launcher, owner_.DialogParent());
                dialog.exec();
            }
            return true;
        default:
            return false;
    }
}

std::optional<CommandState> OpenDocument::CommandStatus(int id) const {
    if (IsExchangeCommand(id)) return CommandState{};
    if (IsCalendarImport(id)) return CommandState{};
    switch (id) {
        case cmd::kScheduleMail:
        case cmd::kFileClose:
        case cmd::kFileSave:
        case cmd::kFileSaveAs:
        case cmd::kImport:
        case cmd::kPassword:
        case cmd::kDeleteOld:
        case cmd::kGenres:
        case cmd::kGenreMulti:
        case cmd::kDiaryFolder:
            return CommandState{};
        case cmd::kDiaryList:
            return CommandState{host_->Diary() != nullptr};
        default:
            return std::nullopt;
    }
}

}  // namespace almx
