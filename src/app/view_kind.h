#pragma once
// The kinds of view a document can be shown in. The numbers of the first five are the
// "ViewKind" of the command line and of "System"/"ViewChangeMes".

namespace almx {

enum class ViewKind : int {
    Month = 0,
    Week = 1,
    Todo = 2,
    Diary = 3,
    Memo = 4,
    SearchList = 5,
};

// The view kind a command-line or hand-over number names; nullopt-like -1 for anything else.
inline int ValidRequestedView(int value) {
    return value >= 0 && value <= 4 ? value : -1;
}

}  // namespace almx
