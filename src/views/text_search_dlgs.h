#pragma once
// The text search of the diary and memo views: CFind1Dlg asks for a word with its options and
// keeps the word history; CFindListDlg lists the hits with every occurrence highlighted.

#include <QDialog>
#include <optional>
#include <string>
#include <vector>

#include "text/word_search.h"

class QCheckBox;
class QComboBox;
class QListWidget;
class QMenu;
class QPushButton;
class QTextEdit;

namespace almx {

class Prompter;
class SettingsStore;

struct WordQuery {
    std::string word;
    text::WordOptions options;
};

class CFind1Dlg : public QDialog {
    Q_OBJECT
  public:
    CFind1Dlg(SettingsStore& settings, QWidget* parent = nullptr);

    // Loads the history into the box; on OK adds the word to it and saves it.
    std::optional<WordQuery> Run();
    // The answer the controls hold, and the history written as Run does on OK.
    WordQuery Query() const;
    void Confirm();

    QComboBox* WordBox() const { return word_; }
    QCheckBox* CaseBox() const { return case_; }
    QCheckBox* WidthBox() const { return width_; }
    QComboBox* ModeBox() const { return mode_; }

  private:
    SettingsStore& settings_;
    QComboBox* word_;
    QCheckBox* case_;
    QCheckBox* width_;
    QComboBox* mode_;
};

// One hit of the text search: shown by its name; index of the caller's day or page.
struct CFindListItem {
    std::string name;
    int index = 0;
    std::string text;
};

inline constexpr const char* kNotInItemMessage = "現在選択中のアイテム内にはありません";

class CFindListDlg : public QDialog {
    Q_OBJECT
  public:
    CFindListDlg(std::vector<CFindListItem> items, WordQuery query, SettingsStore& settings,
                 Prompter& prompter, QWidget* parent = nullptr);
    // Writes the size unless maximised.
    ~CFindListDlg() override;

    // The chosen item's index, or nothing when closed.
    std::optional<int> Run();
    std::optional<int> Chosen() const;

    // Shows a row's text with its occurrences highlighted and the first one selected.
    void ShowRow(int row);
    // "▼": the next occurrence after the selection, or the message.
    void FindNextInItem();
    // The occurrences of the shown text, in positions of the text box.
    const std::vector<std::pair<int, int>>& Highlights() const { return highlights_; }

    QListWidget* List() const { return list_; }
    QTextEdit* TextBox() const { return text_; }
    std::unique_ptr<QMenu> CreateTextMenu();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    virtual void RunTextMenu(QMenu& menu, const QPoint& globalPos);

  private:
    std::vector<CFindListItem> items_;
    WordQuery query_;
    SettingsStore& settings_;
    Prompter& prompter_;
    QListWidget* list_;
    QTextEdit* text_;
    std::vector<std::pair<int, int>> highlights_;  // start and length
};

}  // namespace almx
