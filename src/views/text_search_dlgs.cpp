#include "views/text_search_dlgs.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QMouseEvent>
#include <QPushButton>
#include <QScreen>
#include <QTextCharFormat>
#include <QTextCursor>
#include <QTextEdit>
#include <QVBoxLayout>
#include <algorithm>

#include "base/prompter.h"
#include "base/settings_store.h"
#include "core/search_history.h"

namespace almx {

// --- CFind1Dlg ---

CFind1Dlg::CFind1Dlg(SettingsStore& settings, QWidget* parent)
    : QDialog(parent),
      settings_(settings),
      word_(new QComboBox(this)),
      case_(new QCheckBox(QStringLiteral("大文字と小文字を区別する"), this)),
      width_(new QCheckBox(QStringLiteral("全角と半角を区別する"), this)),
      mode_(new QComboBox(this)) {
    setWindowTitle(QStringLiteral("検索"));
    word_->setEditable(true);
    word_->setInsertPolicy(QComboBox::NoInsert);
    mode_->addItems({QStringLiteral("単独語と見なす"),
                     QStringLiteral("空白で区切った語のどちらかを含む"),
                     QStringLiteral("空白で区切った語の全てを含む")});
    mode_->setCurrentIndex(text::kWordAny);
    auto* wordLabel = new QLabel(QStringLiteral("検索語(&W):"), this);
    wordLabel->setBuddy(word_);
    auto* modeLabel = new QLabel(QStringLiteral("複数語(&M):"), this);
    modeLabel->setBuddy(mode_);
    auto* form = new QFormLayout;
    form->addRow(wordLabel, word_);
    form->addRow(QString(), case_);
    form->addRow(QString(), width_);
    form->addRow(modeLabel, mode_);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("キャンセル"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);

    const SearchHistory history = SearchHistory::Load(settings_);
    for (const std::string& item : history.BoxItems()) {
        word_->addItem(QString::fromStdString(item));
    }
    word_->setEditText(QString::fromStdString(history.BoxText()));
}

WordQuery CFind1Dlg::Query() const {
    WordQuery query;
    query.word = word_->currentText().toStdString();
    query.options.caseSensitive = case_->isChecked();
    query.options.widthSensitive = width_->isChecked();
    query.options.mode = mode_->currentIndex();
    return query;
}

void CFind1Dlg::Confirm() {
    SearchHistory history = SearchHistory::Load(settings_);
    history.Add(Query().word);
    history.Save(settings_);
}

std::optional<WordQuery> CFind1Dlg::Run() {
    if (exec() != QDialog::Accepted) return std::nullopt;
    Confirm();
    return Query();
}

// --- CFindListDlg ---

CFindListDlg::CFindListDlg(std::vector<CFindListItem> items, WordQuery query,
                           SettingsStore& settings, Prompter& prompter, QWidget* parent)
    : QDialog(parent),
      items_(std::move(items)),
      query_(std::move(query)),
      settings_(settings),
      prompter_(prompter),
      list_(new QListWidget(this)),
      text_(new QTextEdit(this)) {
    setWindowTitle(QStringLiteral("検索一覧"));
    text_->setReadOnly(true);
    text_->setAccessibleName(QStringLiteral("テキスト"));
    text_->setContextMenuPolicy(Qt::NoContextMenu);
    text_->viewport()->installEventFilter(this);
    auto* listLabel = new QLabel(QStringLiteral("メモ(&T)"), this);
    listLabel->setBuddy(list_);
    auto* next = new QPushButton(QStringLiteral("▼"), this);
    auto* open = new QPushButton(QStringLiteral("開く"), this);
    auto* close = new QPushButton(QStringLiteral("閉じる"), this);
    open->setDefault(true);
    connect(next, &QPushButton::clicked, this, &CFindListDlg::FindNextInItem);
    connect(open, &QPushButton::clicked, this, &QDialog::accept);
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
    connect(list_, &QListWidget::currentRowChanged, this, &CFindListDlg::ShowRow);
    connect(list_, &QListWidget::itemDoubleClicked, this, &QDialog::accept);

    auto* left = new QVBoxLayout;
    left->addWidget(listLabel);
    left->addWidget(list_, 1);
    auto* panes = new QHBoxLayout;
    panes->addLayout(left, 1);
    panes->addWidget(text_, 2);
    // The buttons stay at the bottom right as the dialog is resized.
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    for (QPushButton* button : {next, open, close}) buttons->addWidget(button);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(10, 10, 10, 10);
    layout->addLayout(panes, 1);
    layout->addLayout(buttons);

    // The stored size, never larger than the screen.
    QSize size(640, 420);
    size.setWidth(settings_.GetInt("System", "FindListDlgWidth", size.width()));
    size.setHeight(settings_.GetInt("System", "FindListDlgBottom", size.height()));
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QSize available = screen->availableGeometry().size();
        size = size.boundedTo(available);
    }
    resize(size.expandedTo(QSize(200, 150)));

    for (const CFindListItem& item : items_) list_->addItem(QString::fromStdString(item.name));
    if (!items_.empty()) {
        list_->setCurrentRow(0);
        list_->scrollToItem(list_->item(0));
    }
}

CFindListDlg::~CFindListDlg() {
    if (isMaximized()) return;
    settings_.SetInt("System", "FindListDlgWidth", width());
    settings_.SetInt("System", "FindListDlgBottom", height());
}

std::optional<int> CFindListDlg::Chosen() const {
    const int row = list_->currentRow();
    if (row < 0 || row >= static_cast<int>(items_.size())) return std::nullopt;
    return items_[static_cast<std::size_t>(row)].index;
}

std::optional<int> CFindListDlg::Run() {
    if (exec() != QDialog::Accepted) return std::nullopt;
    return Chosen();
}

void CFindListDlg::ShowRow(int row) {
    highlights_.clear();
    text_->clear();
    if (row < 0 || row >= static_cast<int>(items_.size())) return;
    const std::string& body = items_[static_cast<std::size_t>(row)].text;
    text_->setPlainText(QString::fromStdString(body));
    if (query_.word.empty()) return;
    const text::MatchText match(body);
    QTextCharFormat blue;
    blue.setForeground(QColor(0, 0, 255));
    for (const text::Match& hit : text::AllOccurrences(match, query_.word, query_.options)) {
        const auto start = static_cast<int>(text::Utf16Position(body, hit.offset));
        const auto end = static_cast<int>(text::Utf16Position(body, hit.offset + hit.length));
        highlights_.emplace_back(start, end - start);
        QTextCursor cursor(text_->document());
        cursor.setPosition(start);
        cursor.setPosition(end, QTextCursor::KeepAnchor);
        cursor.mergeCharFormat(blue);
    }
    if (!highlights_.empty()) {
        QTextCursor cursor(text_->document());
        cursor.setPosition(highlights_.front().first);
        cursor.setPosition(highlights_.front().first + highlights_.front().second,
                           QTextCursor::KeepAnchor);
        text_->setTextCursor(cursor);
    }
}

void CFindListDlg::FindNextInItem() {
    const int row = list_->currentRow();
    if (row < 0 || row >= static_cast<int>(items_.size())) return;
    const std::string& body = items_[static_cast<std::size_t>(row)].text;
    const auto from = static_cast<std::size_t>(text_->textCursor().selectionEnd());
    WordQuery any = query_;
    if (any.options.mode == text::kWordAll) any.options.mode = text::kWordAny;
    const std::optional<text::Match> hit =
        query_.word.empty() ? std::nullopt
                            : text::FindWords(text::MatchText(body), any.word, any.options,
                                              text::Utf8Offset(body, from));
    if (!hit) {
        prompter_.ShowMessage(kNotInItemMessage);
        return;
    }
    QTextCursor cursor(text_->document());
    cursor.setPosition(static_cast<int>(text::Utf16Position(body, hit->offset)));
    cursor.setPosition(static_cast<int>(text::Utf16Position(body, hit->offset + hit->length)),
                       QTextCursor::KeepAnchor);
    text_->setTextCursor(cursor);
}

std::unique_ptr<QMenu> CFindListDlg::CreateTextMenu() {
    auto menu = std::make_unique<QMenu>(this);
    QAction* copy = menu->addAction(QStringLiteral("コピー"));
    copy->setEnabled(text_->textCursor().hasSelection());
    connect(copy, &QAction::triggered, text_, &QTextEdit::copy);
    QAction* all = menu->addAction(QStringLiteral("すべての範囲を選択"));
    connect(all, &QAction::triggered, text_, &QTextEdit::selectAll);
    return menu;
}

bool CFindListDlg::eventFilter(QObject* watched, QEvent* event) {
    if (watched == text_->viewport() && event->type() == QEvent::MouseButtonRelease &&
        static_cast<QMouseEvent*>(event)->button() == Qt::RightButton) {
        std::unique_ptr<QMenu> menu = CreateTextMenu();
        RunTextMenu(*menu, static_cast<QMouseEvent*>(event)->globalPosition().toPoint());
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void CFindListDlg::RunTextMenu(QMenu& menu, const QPoint& globalPos) {
    menu.exec(globalPos);
}

}  // namespace almx
