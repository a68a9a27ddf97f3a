#pragma once
// The entry dialogs as the list views call them. Each returns true when the document changed
// (it has then been marked modified and every view told); an empty function leaves its
// command disabled.

#include <functional>

#include "base/date_time.h"

namespace almx {

class CAlmxData;

struct EntryActions {
    std::function<bool(const CAlmxData* record)> edit;
    std::function<bool(const DateTime& day)> addSchedule;
    std::function<bool()> addTodo;
    std::function<bool(const CAlmxData* record)> repeatedCopy;
    std::function<bool(const CAlmxData* record)> openLink;
};

}  // namespace almx
