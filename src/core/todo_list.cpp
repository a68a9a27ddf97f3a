#include "core/todo_list.h"

#include <cstdio>
#include <utility>

#include "base/csv_card.h"
#include "core/record.h"
#include "core/record_array.h"
#include "core/record_line.h"
#include "core/text_entry_check.h"

namespace almx {

namespace {
constexpr const char* kImportanceNames[] = {"緊急", "A", "B", "C", "D", "E"};
}  // namespace

std::string ImportanceName(int importance) {
    if (importance >= 0 && importance < 6) return kImportanceNames[importance];
    return std::to_string(importance);
}

std::string DaysLeftText(const DateTime& deadline, const DateTime& today) {
    const double x = DaySpan(today.Date(), deadline);
    if (x < 0) return "期限over";
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "あと%2d日", static_cast<int>(x));
    return buffer;
}

TodoRowTexts TodoRow(const CAlmxData& todo, int deadlineMode, const DateTime& today) {
    TodoRowTexts row;
    const bool done = todo.Has(TodoDone);
    row.done = done ? "*" : "";
    row.importance = "[" + ImportanceName(todo.todoImportance) + "]";
    if (todo.Has(TodoNoDeadline)) {
        row.deadline.clear();
    } else if (done || deadlineMode == TodoShowDeadline) {
        row.deadline = FormatDate(todo.start);
    } else {
        row.deadline = DaysLeftText(todo.start, today);
    }
    row.completion = done ? FormatDate(todo.end) : "未完了";
    row.title = todo.title;
    return row;
}

std::vector<const CAlmxData*> TodoRows(const RecordList& records, const SortKeyList& keys) {
    std::vector<const CAlmxData*> todos;
    for (const CAlmxData& record : records) {
        if (record.Has(IsTodo)) todos.push_back(&record);
    }
    return SortForList(SortListKind::Todo, todos, keys);
}

const CAlmxData* ExchangeRecords(CAlmxArray& array, const CAlmxData* a, const CAlmxData* b) {
    if (!array.Contains(a) || !array.Contains(b)) return nullptr;
    const std::size_t i = array.IndexOf(a);
    const std::size_t j = array.IndexOf(b);
    array.records.Swap(i, j);
    return &array.records[j];
}

bool SetTodoDone(CAlmxArray& array, const CAlmxData* todo, bool done, const DateTime& today) {
    if (!array.Contains(todo)) return false;
    CAlmxData& record = array.records[array.IndexOf(todo)];
    if (!record.Has(IsTodo) || record.Has(TodoDone) == done) return false;
    record.Set(TodoDone, done);
    if (done) record.end = today.Date();
    return true;
}

std::optional<CAlmxData> RecordFromClipboard(std::string_view text,
                                             const RecordDefaults& defaults) {
    if (text.find(',') == std::string_view::npos) return std::nullopt;
    std::string line(text);
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.pop_back();
    line += '\n';
    TCard cells;
    cells.Parse(line);
    if (cells.Count() != kRecordCells) return std::nullopt;
    CAlmxData record(defaults);
    if (!ParseRecordLine(cells, record)) return std::nullopt;
    return record;
}

std::optional<CAlmxData> RecordToPaste(std::string_view text, const RecordDefaults& defaults,
                                       Prompter& prompter) {
    std::optional<CAlmxData> record = RecordFromClipboard(text, defaults);
    if (record && !CheckRecordRepresentable(prompter, *record)) return std::nullopt;
    return record;
}

}  // namespace almx
