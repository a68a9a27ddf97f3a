#include "views/memo_view.h"

#include <QContextMenuEvent>
#include <QFontDialog>
#include <QHash>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QStackedWidget>
#include <QTabBar>
#include <QTextCursor>
#include <QTextDocument>
#include <QVBoxLayout>
#include <algorithm>

#include "base/prompter.h"
#include "base/settings_store.h"
#include "text/encoding.h"
#include "text/word_search.h"
#include "ui/font_colour.h"
#include "views/memo_dlgs.h"

namespace almx {

namespace {

constexpr const char* kFontSection = "MemoFont";

// A tab shows "&" as itself, not as a mnemonic.
QString TabText(const std::string& title) {
    return QString::fromStdString(title).replace(QLatin1Char('&'), QStringLiteral("&&"));
}

// An editor's text in UTF-8 as toPlainText().toStdString() gives it, converted once from the
// document's raw UTF-16 (toPlainText copies it to replace the separators, toStdString converts
// into a QByteArray and copies that again) and checked for the schedule file on the way.
MemoBook::CheckedBody EditorText(const QPlainTextEdit& editor) {
    const QString raw = editor.document()->toRawText();
    MemoBook::CheckedBody body;
    const std::u16string_view units(reinterpret_cast<const char16_t*>(raw.utf16()),
                                    static_cast<std::size_t>(raw.size()));
    if (!text::AppendUtf16AsUtf8(units, body.text, &body.unrepresentable,
                                 text::Utf16Breaks::Plain)) {
        // A lone surrogate: Qt's conversion decides what stands for it.
        body.text = editor.toPlainText().toStdString();
        body.unrepresentable = text::FirstUnrepresentable(body.text);
    }
    return body;
}

int Utf16(const std::string& text, std::size_t offset) {
    return static_cast<int>(text::Utf16Position(text, offset));
}

// A row of up to thousands of tabs. The style's size of a tab builds a full style option (font,
// palette, icon and button metrics) and is asked for every tab on every layout, twice with the
// minimum; the tabs here differ only in their text, so one measured tab gives the padding and
// height of all and each text is measured once. The row scrolls, so no tab is squeezed.
class MemoTabBar : public QTabBar {
  public:
    explicit MemoTabBar(QWidget* parent) : QTabBar(parent) {
        setUsesScrollButtons(true);
        setElideMode(Qt::ElideNone);
        setExpanding(false);
    }

  protected:
    QSize tabSizeHint(int index) const override {
        const QString text = tabText(index);
        if (!sample_.isValid()) {
            sample_ = QTabBar::tabSizeHint(index);
            padding_ = std::max(0, sample_.width() - TextWidth(text));
        }
        auto it = widths_.constFind(text);
        if (it == widths_.cend()) it = widths_.insert(text, TextWidth(text));
        return {*it + padding_, sample_.height()};
    }
    QSize minimumTabSizeHint(int index) const override { return tabSizeHint(index); }
    void changeEvent(QEvent* event) override {
        if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange) {
            sample_ = QSize();
            widths_.clear();
        }
        QTabBar::changeEvent(event);
    }

  private:
    int TextWidth(const QString& text) const {
        return fontMetrics().size(Qt::TextShowMnemonic, text).width();
    }

    mutable QSize sample_;
    mutable int padding_ = 0;
    mutable QHash<QString, int> widths_;
};

}  // namespace

FontSpec DefaultMemoFont() {
    return FontSpec{"ＭＳ ゴシック", -17, 400, 0, 0, 128};
}

CMemoView::CMemoView(DocumentHost& host, SettingsStore& settings, Prompter& prompter,
                     QWidget* parent)
    : ViewBase(host, parent),
      settings_(settings),
      prompter_(prompter),
      document_(host.Document()),
      book_(host.Document(), prompter),
      tabs_(new MemoTabBar(this)),
      stack_(new QStackedWidget(this)) {
    fontSpec_ = FontSpec::Load(settings_, kFontSection, DefaultMemoFont());
    font_ = FontFromSpec(fontSpec_);
    tabs_->setContextMenuPolicy(Qt::CustomContextMenu);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(tabs_);
    layout->addWidget(stack_, 1);

    book_.SetCheckedBodyReader([this](std::size_t page) {
        if (page < editors_.size() && editors_[page]) return EditorText(*editors_[page]);
        const std::string& stored = book_.StoredBody(page);
        return MemoBook::CheckedBody{stored, text::FirstUnrepresentable(stored)};
    });
    connect(tabs_, &QTabBar::currentChanged, this, [this](int index) {
        if (building_ || index < 0) return;
        book_.SetCurrent(static_cast<std::size_t>(index));
        stack_->setCurrentWidget(Editor(static_cast<std::size_t>(index)));
        emit CommandStatesChanged();
    });
    connect(tabs_, &QWidget::customContextMenuRequested, this, [this](const QPoint& pos) {
        const int index = tabs_->tabAt(pos);
        if (index < 0) return;
        ShowPage(static_cast<std::size_t>(index));
        std::unique_ptr<QMenu> menu = CreateContextMenu();
        RunContextMenu(*menu, tabs_->mapToGlobal(pos));
    });
    Document().commitMemos = [this] { return Synchronise(); };
    Rebuild();
}

CMemoView::~CMemoView() {
    Document().commitMemos = nullptr;
    if (findDialog_) delete findDialog_.data();
}

QPlainTextEdit* CMemoView::Editor(std::size_t page) {
    if (page >= editors_.size()) return nullptr;
    if (QPlainTextEdit* editor = editors_[page]) return editor;
    auto* editor = new QPlainTextEdit(stack_);
    editor->setFont(font_);
    editor->setReadOnly(Document().IsReadOnly());
    {
        const QSignalBlocker block(editor);
        editor->setPlainText(QString::fromStdString(book_.StoredBody(page)));
    }
    editor->moveCursor(QTextCursor::Start);
    editor->installEventFilter(this);
    connect(editor, &QPlainTextEdit::textChanged, this, [this, editor] {
        auto it = std::find(editors_.begin(), editors_.end(), editor);
        if (it != editors_.end()) book_.MarkEdited(static_cast<std::size_t>(it - editors_.begin()));
    });
    stack_->addWidget(editor);
    editors_[page] = editor;
    return editor;
}

QPlainTextEdit* CMemoView::CurrentEditor() {
    return Editor(book_.Current());
}

bool CMemoView::HasEditor(std::size_t page) const {
    return page < editors_.size() && editors_[page];
}

void CMemoView::AddTab(std::size_t page) {
    tabs_->addTab(TabText(book_.Title(page)));
    editors_.push_back(nullptr);
}

void CMemoView::ShowPage(std::size_t page) {
    if (page >= book_.PageCount()) return;
    book_.SetCurrent(page);
    if (tabs_->currentIndex() != static_cast<int>(page)) {
        tabs_->setCurrentIndex(static_cast<int>(page));
    }
    QPlainTextEdit* editor = Editor(page);
    stack_->setCurrentWidget(editor);
    // Focus on the view goes to the page's text.
    setFocusProxy(editor);
}

void CMemoView::Rebuild() {
    book_.Build();
    RebuildWidgets();
}

void CMemoView::RebuildWidgets() {
    building_ = true;
    // A tab bar that is not shown lays out its tabs once, not once per tab.
    const bool hidden = tabs_->isHidden();
    tabs_->hide();
    setFocusProxy(nullptr);
    for (QPlainTextEdit* editor : editors_) delete editor;
    editors_.clear();
    while (tabs_->count() > 0) tabs_->removeTab(tabs_->count() - 1);
    editors_.reserve(book_.PageCount());
    for (std::size_t page = 0; page < book_.PageCount(); ++page) AddTab(page);
    building_ = false;
    tabs_->setCurrentIndex(static_cast<int>(book_.Current()));
    tabs_->setHidden(hidden);
    ShowPage(book_.Current());
    emit CommandStatesChanged();
}

bool CMemoView::Synchronise() {
    if (book_.Synchronise()) return true;
    if (std::optional<std::size_t> page = book_.RefusedPage()) ShowPage(*page);
    return false;
}

bool CMemoView::QueryClose() {
    return Synchronise();
}

void CMemoView::OnUpdate(QObject*, int, const CAlmxData*) {
    // An import or a reload changed the memo list behind the pages.
    if (book_.ListChangedOutside()) Rebuild();
}

bool CMemoView::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress && qobject_cast<QPlainTextEdit*>(watched)) {
        auto* key = static_cast<QKeyEvent*>(event);
        const auto mods =
            key->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier);
        if (key->key() == Qt::Key_F3 && (mods & ~Qt::ShiftModifier) == 0) {
            OnCommand(mods ? memo_cmd::kFindPrevious : memo_cmd::kFindNext);
            return true;
        }
        if (mods == Qt::ControlModifier && key->key() == Qt::Key_F) {
            OnCommand(memo_cmd::kFind);
            return true;
        }
        if (mods == Qt::ControlModifier && key->key() == Qt::Key_H) {
            OnCommand(memo_cmd::kReplace);
            return true;
        }
    }
    return ViewBase::eventFilter(watched, event);
}

bool CMemoView::OnCommand(int id) {
    QPlainTextEdit* editor = CurrentEditor();
    switch (id) {
        case memo_cmd::kUndo:
            if (editor) editor->undo();
            return true;
        case memo_cmd::kCut:
            if (editor) editor->cut();
            return true;
        case memo_cmd::kCopy:
            if (editor) editor->copy();
            return true;
        case memo_cmd::kPaste:
            if (editor) editor->paste();
            return true;
        case memo_cmd::kSelectAll:
            if (editor) editor->selectAll();
            return true;
        case memo_cmd::kFind:
            OpenFindDialog(false);
            return true;
        case memo_cmd::kReplace:
            OpenFindDialog(true);
            return true;
        case memo_cmd::kFindNext:
        case memo_cmd::kFindPrevious:
            if (book_.findState.what.empty()) {
                OpenFindDialog(false);
            } else {
                FindNext(id == memo_cmd::kFindNext);
            }
            return true;
        case memo_cmd::kAdd:
            if (book_.AddCommand()) {
                // The default page stays the first tab; the new memo is the last.
                while (tabs_->count() < static_cast<int>(book_.PageCount())) {
                    AddTab(static_cast<std::size_t>(tabs_->count()));
                }
                ShowPage(book_.Current());
            } else if (std::optional<std::size_t> page = book_.RefusedPage()) {
                ShowPage(*page);
            }
            return true;
        case memo_cmd::kRename:
            if (book_.RenameCommand()) {
                tabs_->setTabText(static_cast<int>(book_.Current()),
                                  TabText(book_.Title(book_.Current())));
            }
            return true;
        case memo_cmd::kDelete: {
            const std::size_t page = book_.Current();
            if (book_.DeleteCommand()) {
                QPlainTextEdit* gone = editors_[page];
                setFocusProxy(nullptr);
                editors_.erase(editors_.begin() + static_cast<std::ptrdiff_t>(page));
                delete gone;
                building_ = true;
                tabs_->removeTab(static_cast<int>(page));
                building_ = false;
                ShowPage(book_.Current());
            }
            return true;
        }
        case memo_cmd::kFont:
            ChangeFont();
            return true;
        case memo_cmd::kSort:
            SortMemos();
            return true;
        case memo_cmd::kSearch:
            SearchAllMemos();
            return true;
        default:
            return false;
    }
}

std::optional<CommandState> CMemoView::CommandStatus(int id) const {
    switch (id) {
        case memo_cmd::kUndo:
        case memo_cmd::kCut:
        case memo_cmd::kCopy:
        case memo_cmd::kPaste:
        case memo_cmd::kSelectAll:
        case memo_cmd::kFind:
        case memo_cmd::kReplace:
        case memo_cmd::kFindNext:
        case memo_cmd::kFindPrevious:
        case memo_cmd::kFont:
        case memo_cmd::kSearch:
            return CommandState{};
        case memo_cmd::kAdd:
        case memo_cmd::kRename:
        case memo_cmd::kDelete:
        case memo_cmd::kSort:
            return CommandState{!document_.IsReadOnly()};
        default:
            return std::nullopt;
    }
}

std::unique_ptr<QMenu> CMemoView::CreateContextMenu() {
    auto menu = std::make_unique<QMenu>(this);
    const std::pair<int, const char*> items[] = {
        {memo_cmd::kAdd, "メモの追加(&A)..."},
        {memo_cmd::kRename, "メモのタイトルの変更(&R)..."},
        {memo_cmd::kDelete, "メモの削除(&D)"},
        {0, nullptr},
        {memo_cmd::kFont, "メモのフォント(&F)..."},
        {memo_cmd::kSort, "メモの並び替え(&S)..."},
        {memo_cmd::kSearch, "メモの検索(&K)..."},
    };
    for (const auto& [id, label] : items) {
        if (!label) {
            menu->addSeparator();
            continue;
        }
        QAction* action = menu->addAction(QString::fromUtf8(label));
        const std::optional<CommandState> state = CommandStatus(id);
        action->setEnabled(!state || state->enabled);
        const int command = id;
        connect(action, &QAction::triggered, this, [this, command] { OnCommand(command); });
    }
    return menu;
}

void CMemoView::RunContextMenu(QMenu& menu, const QPoint& globalPos) {
    menu.exec(globalPos);
}

// --- find and replace in the current page

TextRange CMemoView::SelectionOf(QPlainTextEdit& editor, const std::string& text) const {
    const QTextCursor cursor = editor.textCursor();
    return {text::Utf8Offset(text, static_cast<std::size_t>(cursor.selectionStart())),
            text::Utf8Offset(text, static_cast<std::size_t>(cursor.selectionEnd()))};
}

void CMemoView::SelectRange(QPlainTextEdit& editor, const std::string& text,
                            const TextRange& range) {
    QTextCursor cursor = editor.textCursor();
    cursor.setPosition(Utf16(text, range.start));
    cursor.setPosition(Utf16(text, range.end), QTextCursor::KeepAnchor);
    editor.setTextCursor(cursor);
    editor.ensureCursorVisible();
}

void CMemoView::TakeDialogState() {
    if (findDialog_) book_.findState = findDialog_->State();
}

void CMemoView::OpenFindDialog(bool replace) {
    if (!findDialog_) {
        findDialog_ = new CMemoFindDlg(book_.findState, replace, this);
        findDialog_->setWindowFlag(Qt::Dialog);
        findDialog_->setAttribute(Qt::WA_DeleteOnClose);
        connect(findDialog_, &CMemoFindDlg::FindNextRequested, this, [this] {
            TakeDialogState();
            FindNext(book_.findState.down);
        });
        connect(findDialog_, &CMemoFindDlg::ReplaceRequested, this, [this] {
            TakeDialogState();
            ReplaceOnce();
        });
        connect(findDialog_, &CMemoFindDlg::ReplaceAllRequested, this, [this] {
            TakeDialogState();
            ReplaceAll();
        });
    } else {
        findDialog_->SetReplaceMode(replace);
    }
    findDialog_->show();
    findDialog_->raise();
    findDialog_->activateWindow();
    findDialog_->WhatEdit()->setFocus();
}

void CMemoView::FindNext(bool down) {
    QPlainTextEdit* editor = CurrentEditor();
    if (!editor) return;
    const std::string text = editor->toPlainText().toStdString();
    if (std::optional<TextRange> hit = book_.Find(text, SelectionOf(*editor, text), down)) {
        SelectRange(*editor, text, *hit);
    }
}

void CMemoView::ReplaceOnce() {
    QPlainTextEdit* editor = CurrentEditor();
    if (!editor) return;
    const std::string text = editor->toPlainText().toStdString();
    MemoBook::ReplaceResult result = book_.Replace(text, SelectionOf(*editor, text));
    if (result.refused) return;
    if (result.replaced) {
        QTextCursor cursor = editor->textCursor();
        cursor.setPosition(Utf16(text, result.replaced->start));
        cursor.setPosition(Utf16(text, result.replaced->end), QTextCursor::KeepAnchor);
        cursor.insertText(QString::fromStdString(book_.findState.replacement));
        editor->setTextCursor(cursor);
    }
    if (result.next) SelectRange(*editor, result.newText, *result.next);
}

void CMemoView::ReplaceAll() {
    QPlainTextEdit* editor = CurrentEditor();
    if (!editor) return;
    const std::string text = editor->toPlainText().toStdString();
    const std::vector<TextRange> ranges = book_.ReplaceAll(text, SelectionOf(*editor, text));
    if (ranges.empty()) return;
    const QString replacement = QString::fromStdString(book_.findState.replacement);
    QTextCursor cursor = editor->textCursor();
    // From the end, so the positions before each replacement stay as they were.
    cursor.beginEditBlock();
    int shift = 0;
    for (auto it = ranges.rbegin(); it != ranges.rend(); ++it) {
        const int start = Utf16(text, it->start);
        const int end = Utf16(text, it->end);
        cursor.setPosition(start);
        cursor.setPosition(end, QTextCursor::KeepAnchor);
        cursor.insertText(replacement);
        shift += replacement.size() - (end - start);
    }
    cursor.endEditBlock();
    // The caret after the last replacement in the search's direction: downwards every change
    // lies before it, upwards none does.
    cursor.setPosition(book_.findState.down ? Utf16(text, ranges.back().end) + shift
                                            : Utf16(text, ranges.front().start));
    editor->setTextCursor(cursor);
}

// --- the memo commands with dialogs

std::optional<WordQuery> CMemoView::AskWord() {
    CFind1Dlg dialog(settings_, this);
    return dialog.Run();
}

std::optional<int> CMemoView::ChooseHit(std::vector<CFindListItem> items, const WordQuery& query) {
    CFindListDlg dialog(std::move(items), query, settings_, prompter_, this);
    return dialog.Run();
}

bool CMemoView::RunSortDialog(MemoSortForm& form) {
    CMemoSortDlg dialog(form, this);
    return dialog.exec() == QDialog::Accepted;
}

std::optional<QFont> CMemoView::ChooseFont(const QFont& current) {
    bool ok = false;
    const QFont font = QFontDialog::getFont(&ok, current, this);
    if (!ok) return std::nullopt;
    return font;
}

void CMemoView::SearchAllMemos() {
    std::optional<WordQuery> query = AskWord();
    if (!query) return;
    std::optional<std::vector<MemoHit>> hits = book_.SearchAll(query->word, query->options);
    if (!hits) {
        if (std::optional<std::size_t> page = book_.RefusedPage()) ShowPage(*page);
        return;
    }
    if (hits->empty()) return;
    std::vector<CFindListItem> items;
    items.reserve(hits->size());
    for (MemoHit& hit : *hits) items.push_back({hit.title, hit.index, std::move(hit.text)});
    if (std::optional<int> chosen = ChooseHit(std::move(items), *query); chosen && *chosen >= 0) {
        ShowPage(static_cast<std::size_t>(*chosen));
    }
}

void CMemoView::ChangeFont() {
    std::optional<QFont> chosen = ChooseFont(font_);
    if (!chosen) return;
    fontSpec_ = FromQFont(*chosen, fontSpec_);
    fontSpec_.Store(settings_, kFontSection);
    font_ = FontFromSpec(fontSpec_);
    for (QPlainTextEdit* editor : editors_) {
        if (editor) editor->setFont(font_);
    }
}

void CMemoView::SortMemos() {
    std::optional<MemoSortForm> form = book_.BeginSort();
    if (!form) {
        if (std::optional<std::size_t> page = book_.RefusedPage()) ShowPage(*page);
        return;
    }
    if (!RunSortDialog(*form)) return;
    book_.ApplySort(*form);
    RebuildWidgets();
}

}  // namespace almx
