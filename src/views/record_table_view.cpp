#include "views/record_table_view.h"

#include <QKeyEvent>
#include <QMenu>
#include <QPainter>
#include <QVBoxLayout>
#include <algorithm>
#include <cstdio>
#include <string>

#include "base/settings_store.h"
#include "document/document.h"
#include "grid/grid_control.h"
#include "views/list_support.h"
#include "views/multi_sort_dlg.h"

namespace almx {

namespace {

std::string WidthKey(int column) {
    char key[16];
    std::snprintf(key, sizeof key, "Width%02d", column);
    return key;
}

}  // namespace

// --- TodoTitleBand ---

TodoTitleBand::TodoTitleBand(QWidget* parent) : QWidget(parent) {}

void TodoTitleBand::SetLook(const QColor& back, const QColor& text, const QFont& font) {
    back_ = back;
    text_ = text;
    font_ = font;
    update();
}

void TodoTitleBand::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), back_);
    painter.setFont(font_);
    painter.setPen(text_);
    painter.drawText(rect(), Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, title_);
}

// --- RecordTableView ---

RecordTableView::RecordTableView(DocumentHost& host, SettingsStore& settings, Prompter& prompter,
                                 const EditCommands& commands, const Sections& sections,
                                 SortListKind sortKind, QWidget* parent)
    : ViewBase(host, parent),
      settings_(settings),
      prompter_(prompter),
      band_(new TodoTitleBand(this)),
      grid_(new grid::GridControl(this)),
      commands_(commands),
      sections_(sections),
      sortKind_(sortKind) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(band_);
    layout->addWidget(grid_, 1);
    setFocusProxy(grid_);
    keys_ = SortKeyList::Load(settings_, sections_.sort);
    grid_->onKey = [this](QKeyEvent* event) { return HandleKey(event); };
}

RecordTableView::~RecordTableView() {
    keys_.Store(settings_, sections_.sort);
}

void RecordTableView::SetUpColumns(std::span<const char* const> headings,
                                   std::span<const int> defaultWidths) {
    const int columns = static_cast<int>(headings.size());
    grid_->SetColumnCount(columns);
    for (int c = 0; c < columns; ++c) {
        const auto at = static_cast<std::size_t>(c);
        grid_->SetHeading(c, QString::fromUtf8(headings[at]));
        const int stored = settings_.GetInt(sections_.widths, WidthKey(c), 0);
        grid_->SetColumnWidth(c, stored > 0 ? stored : defaultWidths[at]);
    }
    grid_->onColumnResized = [this](int column, int width) {
        settings_.SetInt(sections_.widths, WidthKey(column), width);
    };
}

bool RecordTableView::Stale() {
    return Document().Records().Generation() != filledGeneration_;
}

void RecordTableView::TakeRows(std::vector<const CAlmxData*> rows) {
    rows_ = std::move(rows);
    filledGeneration_ = Document().Records().Generation();
}

const CAlmxData* RecordTableView::RecordAt(int row) {
    if (row < 0 || row >= static_cast<int>(rows_.size()) || Stale()) return nullptr;
    const CAlmxData* record = rows_[static_cast<std::size_t>(row)];
    return Document().Records().Contains(record) ? record : nullptr;
}

int RecordTableView::RowOf(const CAlmxData* record) const {
    const auto at = std::find(rows_.begin(), rows_.end(), record);
    return at == rows_.end() ? -1 : static_cast<int>(at - rows_.begin());
}

void RecordTableView::LoadTableFonts(const char* section, const FontSpec& defaults) {
    tableFonts_ = FontVariants(FontSpec::Load(settings_, section, defaults));
    grid_->Model().ClearFonts();
    for (std::size_t i = 0; i < tableFonts_.size(); ++i) {
        fontIndex_[i] = grid_->Model().AddFont(tableFonts_[i]);
    }
    grid_->SetTableFont(tableFonts_[0]);
    grid_->SetRowHeight(QFontMetrics(tableFonts_[0]).height() + 2);
}

QFont RecordTableView::LoadBandLook(const char* bandSection, const char* fontSection,
                                    const FontSpec& fontDefaults) {
    const QFont titleFont = ListFont(FontSpec::Load(settings_, fontSection, fontDefaults));
    band_->SetLook(ListColour(LoadListColour(settings_, bandSection, "TitleBackColor", 12632256)),
                   ListColour(LoadListColour(settings_, bandSection, "TitleTextColor", 0)),
                   titleFont);
    return titleFont;
}

void RecordTableView::ChangeFont(const char* section, const FontSpec& defaults) {
    std::optional<FontSpec> chosen = ChooseFont(FontSpec::Load(settings_, section, defaults));
    if (!chosen) return;
    chosen->Store(settings_, section);
    LoadLook();
    Refill(-1);
}

void RecordTableView::ChangeColour(const char* section, const char* key, std::uint32_t fallback) {
    std::optional<std::uint32_t> chosen =
        ChooseColour(LoadListColour(settings_, section, key, fallback));
    if (!chosen) return;
    StoreListColour(settings_, section, key, *chosen);
    LoadLook();
    Refill(-1);
}

bool RecordTableView::HandleKey(QKeyEvent* event) {
    if (event->matches(QKeySequence::Copy)) return OnCommand(commands_.copy);
    if (event->matches(QKeySequence::Cut)) return OnCommand(commands_.cut);
    if (event->matches(QKeySequence::Paste)) return OnCommand(commands_.paste);
    if (event->key() == Qt::Key_A && event->modifiers() == Qt::ControlModifier) {
        return OnCommand(commands_.add);
    }
    const bool plain = (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
    if (plain && event->key() == Qt::Key_Delete) return OnCommand(commands_.remove);
    return false;
}

std::unique_ptr<QMenu> RecordTableView::CreateEditMenu() {
    auto menu = std::make_unique<QMenu>(this);
    AddCommandItem(*menu, commands_.add, QStringLiteral("追加(&A)...\tCtrl+A"));
    AddCommandItem(*menu, commands_.edit, QStringLiteral("修正(&I)...\tEnter"));
    AddCommandItem(*menu, commands_.remove, QStringLiteral("削除(&D)...\tDelete"));
    menu->addSeparator();
    AddCommandItem(*menu, commands_.cut, QStringLiteral("切り取り(&T)\tCtrl+X"));
    AddCommandItem(*menu, commands_.copy, QStringLiteral("コピー(&C)\tCtrl+C"));
    AddCommandItem(*menu, commands_.paste, QStringLiteral("貼り付け(&V)\tCtrl+V"));
    return menu;
}

void RecordTableView::showEvent(QShowEvent* event) {
    ViewBase::showEvent(event);
    if (firstShown_) return;
    firstShown_ = true;
    Refill(0);
    grid_->setFocus(Qt::OtherFocusReason);
}

std::optional<std::uint32_t> RecordTableView::ChooseColour(std::uint32_t initial) {
    return AskColour(this, initial);
}

std::optional<FontSpec> RecordTableView::ChooseFont(const FontSpec& current) {
    return AskFont(this, current);
}

void RecordTableView::RunSortDialog() {
    CMultiSortDlg dialog(sortKind_, keys_, this);
    dialog.exec();
}

void RecordTableView::RunContextMenu(QMenu& menu, const QPoint& globalPos) {
    menu.exec(globalPos);
}

}  // namespace almx
