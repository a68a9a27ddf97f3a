#include "core/text_entry_check.h"

#include "base/prompter.h"
#include "core/record.h"
#include "text/encoding.h"

namespace almx {

std::string UnrepresentableMessage(std::string_view label, std::string_view character) {
    std::string message = "「";
    message += label;
    message += "」の文字「";
    message += character;
    message += "」はファイルに保存できません。別の文字に置き換えてください";
    return message;
}

bool CheckRepresentable(Prompter& prompter, std::initializer_list<LabelledText> fields) {
    for (const LabelledText& field : fields) {
        if (auto bad = text::FirstUnrepresentable(field.text)) {
            prompter.ShowMessage(UnrepresentableMessage(field.label, *bad), MessageKind::Warning);
            return false;
        }
    }
    return true;
}

std::string SavedAsQuestionMarksMessage(std::size_t count) {
    return "Shift_JISで保存できない文字が " + std::to_string(count) +
           " 文字あったため、「?」に置き換えて保存しました";
}

bool CheckRecordRepresentable(Prompter& prompter, const CAlmxData& record) {
    if (record.Has(IsTodo)) {
        return CheckRepresentable(prompter, {{"内容", record.title},
                                             {"場所", record.place},
                                             {"詳細", record.memo},
                                             {entry_label::kLinkFile, record.linkFile}});
    }
    return CheckRepresentable(prompter, {{"スケジュール内容", record.title},
                                         {"場所", record.place},
                                         {"詳細", record.memo},
                                         {"リンク", record.linkFile}});
}

bool CheckMemoPageRepresentable(Prompter& prompter, std::string_view title, std::string_view text) {
    return CheckRepresentable(prompter,
                              {{entry_label::kMemoTitle, title}, {entry_label::kMemoText, text}});
}

}  // namespace almx
