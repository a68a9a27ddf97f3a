#pragma once
// The memo pages as the memo view shows them: one page per memo of the document, or the one
// default page "メモ" while the document has none. Once a page's editor has changed its text,
// the text lives in the editor; Synchronise copies it back into the document's memo list.
// The current page is stored as the document's memo index (the seventh cell of the
// document-values row), so a document whose memo pages were never shown keeps it as read.

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/memo_page.h"
#include "text/word_search.h"

namespace almx {

class CAlmxDoc;
class Prompter;

namespace memo_msg {
inline constexpr const char* kDefaultTitle = "メモ";
inline constexpr const char* kTitlePrompt = "メモのタイトルを入力してください";
inline constexpr const char* kOnlyOne = "１つしかメモがない場合には削除できません。";
inline constexpr const char* kDeleteSuffix = "を削除しますか？";
inline constexpr const char* kNothingFound = "見つかりませんでした";
inline constexpr const char* kNoMatch = "該当文字列が見つかりません";
}  // namespace memo_msg

// A range of a page's text in UTF-8 bytes, start <= end.
struct TextRange {
    std::size_t start = 0;
    std::size_t end = 0;
    bool operator==(const TextRange&) const = default;
};

// What the find/replace dialog remembers between uses.
struct MemoFindState {
    std::string what;
    std::string replacement;
    bool down = true;
    bool matchCase = true;
};

// Search within one text. Downwards: the first hit after the selection's end; upwards: the
// hit that ends nearest before the selection's start.
std::optional<TextRange> FindInText(std::string_view text, TextRange selection,
                                    std::string_view what, bool down, bool matchCase);
// Whether the selection is exactly one hit of the search text.
bool SelectionIsHit(std::string_view text, TextRange selection, std::string_view what,
                    bool matchCase);

// One hit of the search over all memos.
struct MemoHit {
    std::string title;
    int index = 0;
    std::string text;
};

// The reorder dialog's work: a copy of the memo list, changed by Up and Down; the document
// takes it only on OK.
class MemoSortForm {
  public:
    explicit MemoSortForm(std::vector<CMemoData> memos);

    const std::vector<CMemoData>& Memos() const { return memos_; }
    int Selected() const { return selected_; }
    void Select(int row);
    // Swap the selected memo with its neighbour; the selection follows it. Nothing at the ends.
    void Up();
    void Down();

  private:
    std::vector<CMemoData> memos_;
    int selected_ = -1;
};

class MemoBook {
  public:
    // Reads the text of an edited page from its editor.
    using BodyReader = std::function<std::string(std::size_t page)>;
    // The same with the first character the schedule file cannot store, found while the text
    // was converted, so the synchronisation does not scan it again.
    struct CheckedBody {
        std::string text;
        std::optional<std::string> unrepresentable;
    };
    using CheckedBodyReader = std::function<CheckedBody(std::size_t page)>;

    MemoBook(CAlmxDoc& document, Prompter& prompter);

    void SetBodyReader(BodyReader reader);
    void SetCheckedBodyReader(CheckedBodyReader reader) { readBody_ = std::move(reader); }

    // Pages from the memo list (the default page when it is empty); the current page is the
    // stored memo index, limited to the pages.
    void Build();

    std::size_t PageCount() const { return pages_.size(); }
    const std::string& Title(std::size_t page) const { return pages_.at(page).title; }
    // The text the page was built with or last synchronised; an edited page's is in its editor.
    const std::string& StoredBody(std::size_t page) const { return pages_.at(page).body; }
    bool IsEdited(std::size_t page) const { return pages_.at(page).edited; }
    std::size_t Current() const { return current_; }
    void SetCurrent(std::size_t page);

    // A page's editor changed its text: the document is modified.
    void MarkEdited(std::size_t page);

    // Pages to the memo list, and the current page to the memo index. False, after the
    // refusal, when a page holds a character the schedule file cannot store; nothing is
    // copied then and RefusedPage names the page.
    bool Synchronise();
    std::optional<std::size_t> RefusedPage() const { return refused_; }

    // The memo list is no longer what the pages were built from or last wrote (an import, a
    // reload): the pages must be built again.
    bool ListChangedOutside() const;

    // The commands. Each is refused on a read-only document and returns whether the pages
    // changed.
    bool AddCommand();
    bool RenameCommand();
    bool DeleteCommand();
    // Synchronises and hands out the copy the reorder dialog works on; nullopt when refused.
    std::optional<MemoSortForm> BeginSort();
    // The reorder dialog's OK: the list takes the new order, the pages are built again and
    // the first one is shown.
    void ApplySort(const MemoSortForm& form);

    // Synchronises, then tests every memo's text. Empty (after "見つかりませんでした") when
    // nothing matched; nullopt when the synchronisation was refused.
    std::optional<std::vector<MemoHit>> SearchAll(std::string_view word,
                                                  const text::WordOptions& options);

    // Find within a page's text with the remembered state; the message when nothing is found.
    std::optional<TextRange> Find(std::string_view text, TextRange selection, bool down);

    // Replace: when the selection is a hit it is replaced (replaced is set; the text after it
    // is newText). Then the next hit is searched from the selection; none gives the message.
    struct ReplaceResult {
        std::optional<TextRange> replaced;  // in the text before
        std::string newText;
        std::optional<TextRange> next;  // in newText
        bool refused = false;
    };
    ReplaceResult Replace(std::string_view text, TextRange selection);
    // Replace all in the remembered direction from the selection (included when it is a hit):
    // the hits to replace, in text order, in the text before. Empty after the message when
    // there is none. One pass, so it ends whatever the replacement holds.
    std::vector<TextRange> ReplaceAll(std::string_view text, TextRange selection);

    MemoFindState findState;

  private:
    struct Page {
        std::string title;
        // The text built with or last synchronised: also what the memo list holds for it.
        std::string body;
        bool edited = false;
        // The title the memo list holds for it (a rename reaches the list at synchronisation).
        std::string listTitle;
    };
    static Page MakePage(std::string title, std::string body);
    std::vector<CMemoData>& List();

    CAlmxDoc& document_;
    Prompter& prompter_;
    CheckedBodyReader readBody_;
    std::vector<Page> pages_;
    // How many memos the list held when the pages last saw it; the first knownCount_ pages
    // hold their texts and titles (body, listTitle), so no second copy of the list is kept.
    std::size_t knownCount_ = 0;
    std::size_t current_ = 0;
    std::optional<std::size_t> refused_;
    // Each memo's Shift_JIS form for the search over all memos, made again only when the
    // memo's text is no longer the one it was made from.
    struct SearchForm {
        std::string text;
        std::string sjis;
    };
    std::vector<SearchForm> searchForms_;
};

}  // namespace almx
