#include "reminders/memo_book.h"

#include <algorithm>
#include <utility>

#include "base/prompter.h"
#include "core/text_entry_check.h"
#include "document/document.h"
#include "text/encoding.h"
#include "text/sjis_word_test.h"
#include "text/utf8_matcher.h"

namespace almx {

namespace {

unsigned Flags(bool matchCase) {
    return matchCase ? text::kFoldExact : text::kFoldCase;
}

// Every hit that lies wholly inside [0, limit), overlapping ones included, in order.
std::vector<TextRange> HitsBefore(std::string_view text, std::size_t limit, std::string_view what,
                                  unsigned flags) {
    std::vector<TextRange> hits;
    const std::string_view prefix = text.substr(0, std::min(limit, text.size()));
    if (prefix.empty() || what.empty()) return hits;
    const text::MatchText matched(prefix);
    std::size_t from = 0;
    while (from < prefix.size()) {
        std::optional<text::Match> hit = matched.Find(what, flags, from);
        if (!hit) break;
        hits.push_back({hit->offset, hit->offset + hit->length});
        from = hit->offset + std::max<std::size_t>(1, text::Utf8CharLength(prefix, hit->offset));
    }
    return hits;
}

std::optional<TextRange> FindDown(std::string_view text, std::size_t from, std::string_view what,
                                  unsigned flags) {
    if (what.empty() || from >= text.size()) return std::nullopt;
    std::optional<text::Match> hit = text::FindUtf8(text, what, flags, from);
    if (!hit) return std::nullopt;
    return TextRange{hit->offset, hit->offset + hit->length};
}

}  // namespace

std::optional<TextRange> FindInText(std::string_view text, TextRange selection,
                                    std::string_view what, bool down, bool matchCase) {
    const unsigned flags = Flags(matchCase);
    if (down) return FindDown(text, selection.end, what, flags);
    std::vector<TextRange> hits = HitsBefore(text, selection.start, what, flags);
    if (hits.empty()) return std::nullopt;
    // The hit ending nearest the selection; of two ending there, the longer.
    return *std::max_element(hits.begin(), hits.end(), [](const TextRange& a, const TextRange& b) {
        return a.end != b.end ? a.end < b.end : a.start > b.start;
    });
}

bool SelectionIsHit(std::string_view text, TextRange selection, std::string_view what,
                    bool matchCase) {
    if (selection.end <= selection.start || selection.end > text.size() || what.empty()) {
        return false;
    }
    const std::string_view selected = text.substr(selection.start, selection.end - selection.start);
    std::optional<text::Match> hit = text::FindUtf8(selected, what, Flags(matchCase), 0);
    return hit && hit->offset == 0 && hit->length == selected.size();
}

MemoSortForm::MemoSortForm(std::vector<CMemoData> memos) : memos_(std::move(memos)) {
    if (!memos_.empty()) selected_ = 0;
}

void MemoSortForm::Select(int row) {
    if (row >= 0 && row < static_cast<int>(memos_.size())) selected_ = row;
}

void MemoSortForm::Up() {
    if (selected_ <= 0) return;
    std::swap(memos_[selected_], memos_[selected_ - 1]);
    --selected_;
}

void MemoSortForm::Down() {
    if (selected_ < 0 || selected_ + 1 >= static_cast<int>(memos_.size())) return;
    std::swap(memos_[selected_], memos_[selected_ + 1]);
    ++selected_;
}

MemoBook::MemoBook(CAlmxDoc& document, Prompter& prompter)
    : document_(document), prompter_(prompter) {}

std::vector<CMemoData>& MemoBook::List() {
    return document_.Array().memoPages;
}

MemoBook::Page MemoBook::MakePage(std::string title, std::string body) {
    Page page;
    page.listTitle = title;
    page.title = std::move(title);
    page.body = std::move(body);
    return page;
}

void MemoBook::Build() {
    const std::vector<CMemoData>& list = List();
    pages_.clear();
    pages_.reserve(std::max<std::size_t>(list.size(), 1));
    if (list.empty()) {
        pages_.push_back(MakePage(memo_msg::kDefaultTitle, {}));
    } else {
        for (const CMemoData& memo : list) pages_.push_back(MakePage(memo.title, memo.text));
    }
    knownCount_ = list.size();
    refused_.reset();
    const int stored = document_.Array().extraNumber;
    current_ =
        std::min<std::size_t>(static_cast<std::size_t>(std::max(stored, 0)), pages_.size() - 1);
}

void MemoBook::SetCurrent(std::size_t page) {
    if (page < pages_.size()) current_ = page;
}

void MemoBook::MarkEdited(std::size_t page) {
    if (page >= pages_.size()) return;
    pages_[page].edited = true;
    document_.SetModified();
}

void MemoBook::SetBodyReader(BodyReader reader) {
    if (!reader) {
        readBody_ = nullptr;
        return;
    }
    readBody_ = [reader = std::move(reader)](std::size_t page) {
        CheckedBody body{reader(page), std::nullopt};
        body.unrepresentable = text::FirstUnrepresentable(body.text);
        return body;
    };
}

bool MemoBook::Synchronise() {
    refused_.reset();
    // Read and check every edited text first: a refusal copies nothing.
    std::vector<std::optional<std::string>> edited(pages_.size());
    for (std::size_t i = 0; i < pages_.size(); ++i) {
        // A text not edited since it was read or checked is known to be storable.
        std::optional<std::string> bad;
        if (pages_[i].edited && readBody_) {
            CheckedBody body = readBody_(i);
            edited[i] = std::move(body.text);
            bad = std::move(body.unrepresentable);
        }
        // The title's message first, as the entry check gives it.
        const bool titleFits =
            CheckRepresentable(prompter_, {{entry_label::kMemoTitle, pages_[i].title}});
        if (titleFits && bad) {
            prompter_.ShowMessage(UnrepresentableMessage(entry_label::kMemoText, *bad),
                                  MessageKind::Warning);
        }
        if (!titleFits || bad) {
            refused_ = i;
            return false;
        }
    }
    std::vector<CMemoData>& list = List();
    if (list.empty() && !pages_.empty()) {
        const std::string& body = edited[0] ? *edited[0] : pages_[0].body;
        // An untouched default page is no memo yet; a renamed one is kept.
        if (body.empty() && pages_[0].title == memo_msg::kDefaultTitle) return true;
        list.emplace_back();
        document_.SetModified();
    }
    for (std::size_t i = 0; i < pages_.size(); ++i) {
        if (i >= list.size()) list.emplace_back();
        Page& page = pages_[i];
        list[i].title = page.title;
        page.listTitle = page.title;
        if (edited[i]) {
            page.body = std::move(*edited[i]);
            page.edited = false;
            list[i].text = page.body;
        }
    }
    knownCount_ = std::max(knownCount_, pages_.size());
    document_.Array().extraNumber = static_cast<int>(current_);
    return true;
}

bool MemoBook::ListChangedOutside() const {
    const std::vector<CMemoData>& list = document_.Array().memoPages;
    if (list.size() != knownCount_ || knownCount_ > pages_.size()) return true;
    for (std::size_t i = 0; i < knownCount_; ++i) {
        const Page& page = pages_[i];
        if (list[i].title != page.listTitle || list[i].text != page.body) return true;
    }
    return false;
}

bool MemoBook::AddCommand() {
    if (!document_.CanChange()) return false;
    std::optional<std::string> title = prompter_.AskText(memo_msg::kTitlePrompt, "");
    if (!title) return false;
    if (!CheckRepresentable(prompter_, {{entry_label::kMemoTitle, *title}})) return false;
    if (!Synchronise()) return false;
    std::vector<CMemoData>& list = List();
    if (list.empty()) {
        // The empty default page becomes a memo of its own.
        list.push_back({pages_[0].title, {}});
        pages_[0].listTitle = pages_[0].title;
    }
    pages_.push_back(MakePage(*title, {}));
    list.push_back({*title, {}});
    knownCount_ = list.size();
    current_ = pages_.size() - 1;
    document_.SetModified();
    return true;
}

bool MemoBook::RenameCommand() {
    if (!document_.CanChange()) return false;
    std::optional<std::string> title =
        prompter_.AskText(memo_msg::kTitlePrompt, pages_[current_].title);
    if (!title) return false;
    if (!CheckRepresentable(prompter_, {{entry_label::kMemoTitle, *title}})) return false;
    pages_[current_].title = *title;
    document_.SetModified();
    return true;
}

bool MemoBook::DeleteCommand() {
    if (!document_.CanChange()) return false;
    if (pages_.size() <= 1) {
        prompter_.ShowMessage(memo_msg::kOnlyOne, MessageKind::Warning);
        return false;
    }
    const std::size_t page = current_;
    if (prompter_.AskYesNo(pages_[page].title + memo_msg::kDeleteSuffix) != Answer::Yes) {
        return false;
    }
    pages_.erase(pages_.begin() + static_cast<std::ptrdiff_t>(page));
    std::vector<CMemoData>& list = List();
    if (page < list.size()) list.erase(list.begin() + static_cast<std::ptrdiff_t>(page));
    if (page < knownCount_) --knownCount_;
    current_ = std::min(page, pages_.size() - 1);
    document_.SetModified();
    return true;
}

std::optional<MemoSortForm> MemoBook::BeginSort() {
    if (!document_.CanChange()) return std::nullopt;
    if (!Synchronise()) return std::nullopt;
    return MemoSortForm(List());
}

void MemoBook::ApplySort(const MemoSortForm& form) {
    if (!document_.CanChange()) return;
    List() = form.Memos();
    document_.Array().extraNumber = 0;
    Build();
    document_.SetModified();
}

std::optional<std::vector<MemoHit>> MemoBook::SearchAll(std::string_view word,
                                                        const text::WordOptions& options) {
    if (!Synchronise()) return std::nullopt;
    std::vector<MemoHit> hits;
    const std::vector<CMemoData>& list = List();
    const text::SjisWordTest test(word, options);
    searchForms_.resize(list.size());
    for (std::size_t i = 0; i < list.size(); ++i) {
        SearchForm& form = searchForms_[i];
        if (form.text != list[i].text) {
            form.text = list[i].text;
            form.sjis = text::Utf8ToShiftJis(form.text).bytes;
        }
        if (test.Matches(form.sjis)) {
            hits.push_back({list[i].title, static_cast<int>(i), list[i].text});
        }
    }
    if (hits.empty()) prompter_.ShowMessage(memo_msg::kNothingFound, MessageKind::Information);
    return hits;
}

std::optional<TextRange> MemoBook::Find(std::string_view text, TextRange selection, bool down) {
    std::optional<TextRange> hit =
        FindInText(text, selection, findState.what, down, findState.matchCase);
    if (!hit) prompter_.ShowMessage(memo_msg::kNoMatch, MessageKind::Information);
    return hit;
}

MemoBook::ReplaceResult MemoBook::Replace(std::string_view text, TextRange selection) {
    ReplaceResult result;
    if (SelectionIsHit(text, selection, findState.what, findState.matchCase)) {
        if (!document_.CanChange()) {
            result.refused = true;
            return result;
        }
        result.replaced = selection;
        result.newText.reserve(text.size() + findState.replacement.size());
        result.newText.append(text.substr(0, selection.start));
        result.newText += findState.replacement;
        result.newText.append(text.substr(selection.end));
        selection = {selection.start, selection.start + findState.replacement.size()};
    } else {
        result.newText = std::string(text);
    }
    result.next = Find(result.newText, selection, findState.down);
    return result;
}

std::vector<TextRange> MemoBook::ReplaceAll(std::string_view text, TextRange selection) {
    std::vector<TextRange> ranges;
    if (!document_.CanChange()) return ranges;
    const std::string& what = findState.what;
    const unsigned flags = Flags(findState.matchCase);
    const bool fromSelection = SelectionIsHit(text, selection, what, findState.matchCase);
    if (findState.down) {
        std::size_t from = fromSelection ? selection.start : selection.end;
        while (std::optional<TextRange> hit = FindDown(text, from, what, flags)) {
            ranges.push_back(*hit);
            // An empty hit cannot happen (the pattern is not empty); step on regardless.
            from = std::max(hit->end, hit->start + 1);
        }
    } else {
        const std::size_t limit = fromSelection ? selection.end : selection.start;
        std::vector<TextRange> hits = HitsBefore(text, limit, what, flags);
        // From the selection upwards: each next hit must end before the previous one starts.
        std::size_t bound = limit;
        for (auto it = hits.rbegin(); it != hits.rend(); ++it) {
            if (it->end <= bound) {
                ranges.push_back(*it);
                bound = it->start;
            }
        }
        std::reverse(ranges.begin(), ranges.end());
    }
    if (ranges.empty()) prompter_.ShowMessage(memo_msg::kNoMatch, MessageKind::Information);
    return ranges;
}

}  // namespace almx
