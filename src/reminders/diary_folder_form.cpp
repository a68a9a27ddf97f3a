#include "reminders/diary_folder_form.h"

#include "core/record_array.h"
#include "core/text_entry_check.h"

namespace almx {

DiaryFolderForm::DiaryFolderForm(const CAlmxArray& document) : folder(document.diaryFolder) {}

bool DiaryFolderForm::Ok(Prompter& prompter) const {
    return CheckRepresentable(prompter, {{entry_label::kDiaryFolder, folder}});
}

bool DiaryFolderForm::WriteTo(CAlmxArray& document) const {
    if (document.diaryFolder == folder) return false;
    document.diaryFolder = folder;
    return true;
}

}  // namespace almx
