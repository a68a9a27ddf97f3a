#include "document/schedule_find.h"

#include "base/prompter.h"
#include "core/record_display.h"
#include "core/search_condition.h"
#include "document/document.h"

namespace almx {

void ConfirmFindCondition(SearchCondition& condition, SettingsStore& settings) {
    if ((condition.targets & kTargetAll) == 0) condition.targets = kTargetTitle;
    condition.Store(settings);
}

DateTime SearchHitDay(const CAlmxData& record, int todayLimit) {
    return DisplayStart(record, todayLimit).Date();
}

const CAlmxData* RunScheduleFind(CAlmxDoc& document, int command, SettingsStore& settings,
                                 Prompter& prompter, const AskFindCondition& ask) {
    const CAlmxData* hit = nullptr;
    switch (command) {
        case kFindCommand: {
            SearchCondition edited = document.FindCondition();
            if (!ask || !ask(edited)) return nullptr;
            ConfirmFindCondition(edited, settings);
            document.FindCondition() = edited;
            hit = document.Find();
            break;
        }
        case kFindNextCommand:
            hit = document.FindNext();
            break;
        case kFindPreviousCommand:
            hit = document.FindPrevious();
            break;
        default:
            return nullptr;
    }
    if (hit == nullptr) prompter.ShowMessage(kNotFoundMessage);
    return hit;
}

}  // namespace almx
