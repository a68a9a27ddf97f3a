#pragma once
// What the to-do list and the schedule list share: a title band over the grid control, the
// table's fonts and colours from the settings, the sort keys, the rows filled from the
// document's records, the editing keys and menu of a record table, and one seam per dialog.

#include <QWidget>
#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <vector>

#include "core/display_settings.h"
#include "core/multi_sort.h"
#include "views/view_base.h"

class QMenu;

namespace almx {

class Prompter;
class SettingsStore;

namespace grid {
class GridControl;
}

// The band above a list's table: its colour and the title ("TODO LIST", "検索リスト") in the
// title font.
class TodoTitleBand : public QWidget {
    Q_OBJECT
  public:
    explicit TodoTitleBand(QWidget* parent = nullptr);

    void SetLook(const QColor& back, const QColor& text, const QFont& font);
    void SetTitle(const QString& title) { title_ = title; }

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    QColor back_;
    QColor text_;
    QFont font_;
    QString title_ = QStringLiteral("TODO LIST");
};

class RecordTableView : public ViewBase {
    Q_OBJECT
  public:
    // The commands the table's keys and menu run.
    struct EditCommands {
        int add;
        int edit;
        int remove;
        int cut;
        int copy;
        int paste;
    };
    // Where the list keeps its settings.
    struct Sections {
        const char* widths;  // "Width00"... of the columns
        const char* sort;    // the sort keys
    };

    grid::GridControl& Grid() { return *grid_; }
    TodoTitleBand& Band() { return *band_; }
    SortKeyList& Keys() { return keys_; }
    // The records shown, in the rows' order.
    const std::vector<const CAlmxData*>& Rows() const { return rows_; }

    // Fills the grid and selects the row (-1: the current one).
    virtual void Refill(int row) = 0;

  protected:
    RecordTableView(DocumentHost& host, SettingsStore& settings, Prompter& prompter,
                    const EditCommands& commands, const Sections& sections, SortListKind sortKind,
                    QWidget* parent);
    // Writes the sort keys.
    ~RecordTableView() override;

    // Headings and widths (the stored ones, else the defaults); a resized column is stored.
    void SetUpColumns(std::span<const char* const> headings, std::span<const int> defaultWidths);

    // Whether the records changed since the rows were filled; a stale row may point at a
    // record the document moved or freed.
    bool Stale();
    // Takes the rows of a fill, for the current state of the records.
    void TakeRows(std::vector<const CAlmxData*> rows);
    // The record of a row, or nullptr when the row is out of range or the rows are stale.
    const CAlmxData* RecordAt(int row);
    int RowOf(const CAlmxData* record) const;

    // The table's fonts (plain, bold, struck out, both) and row height from a font setting.
    void LoadTableFonts(const char* section, const FontSpec& defaults);
    // The band's colours from the section's "TitleBackColor" and "TitleTextColor" and its font
    // from the font setting; returns that font.
    QFont LoadBandLook(const char* bandSection, const char* fontSection,
                       const FontSpec& fontDefaults);
    // The look from the settings, again after a font or colour changed.
    virtual void LoadLook() = 0;
    void ChangeFont(const char* section, const FontSpec& defaults);
    void ChangeColour(const char* section, const char* key, std::uint32_t fallback);

    // Copy, cut, paste, Ctrl+A and Delete.
    bool HandleKey(QKeyEvent* event);
    // Add, edit, delete, cut, copy and paste, each enabled as the view says.
    std::unique_ptr<QMenu> CreateEditMenu();

    void showEvent(QShowEvent* event) override;

    // The dialogs, one seam each (tests answer them).
    virtual std::optional<std::uint32_t> ChooseColour(std::uint32_t initial);
    virtual std::optional<FontSpec> ChooseFont(const FontSpec& current);
    virtual void RunSortDialog();
    virtual void RunContextMenu(QMenu& menu, const QPoint& globalPos);

    SettingsStore& settings_;
    Prompter& prompter_;
    TodoTitleBand* band_;
    grid::GridControl* grid_;
    SortKeyList keys_;
    std::uint32_t tableBack_ = 16777215;
    std::array<QFont, 4> tableFonts_;
    std::array<int, 4> fontIndex_{-1, -1, -1, -1};

  private:
    EditCommands commands_;
    Sections sections_;
    SortListKind sortKind_;
    std::vector<const CAlmxData*> rows_;
    std::uint64_t filledGeneration_ = 0;  // of the records the rows were filled from
    bool firstShown_ = false;
};

}  // namespace almx
