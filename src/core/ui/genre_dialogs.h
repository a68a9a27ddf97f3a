#pragma once
// The genre dialogs: ジャンル設定 (CFieldMainDlg) with its edit dialog, the genre-file dialog
// (CFieldFileDlg), 複数データにジャンルを設定 (CFieldMultiDlg) and its confirmation
// (CFMultiCheck). Their logic is in core/genre_list_form.h and core/genre_multi_form.h; these
// only bind controls to it.

#include <QDialog>
#include <filesystem>
#include <functional>
#include <optional>
#include <span>
#include <string>

#include "base/prompter.h"
#include "core/genre.h"
#include "core/genre_list_form.h"
#include "core/genre_multi_form.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace almx {

class CAlmxData;
class RecordList;
class ColourButton;
class SettingsStore;

// ジャンルの設定: name, shown and colour of one genre.
class CFieldEditDlg : public QDialog {
    Q_OBJECT
  public:
    CFieldEditDlg(const CAlmxField& genre, Prompter& prompter, QWidget* parent = nullptr);
    CAlmxField Result() const { return result_; }

    void accept() override;

  private:
    CAlmxField result_;
    Prompter& prompter_;
    QLineEdit* name_;
    QCheckBox* shown_;
    ColourButton* colour_;
};

// ファイル設定: the path of the legacy genre file.
class CFieldFileDlg : public QDialog {
    Q_OBJECT
  public:
    CFieldFileDlg(const std::string& path, QWidget* parent = nullptr);
    std::string Path() const;

  private:
    QLineEdit* path_;
};

// What the genre-file button needs: the store, the program's folder and the application's
// default list it reloads.
struct GenreFileContext {
    SettingsStore* settings = nullptr;
    std::filesystem::path programFolder;
    CAlmxFieldArray* defaultList = nullptr;
};

class CFieldMainDlg : public QDialog {
    Q_OBJECT
  public:
    CFieldMainDlg(CAlmxFieldArray& genres, RecordList& records, Prompter& prompter,
                  GenreFileContext fileContext, QWidget* parent = nullptr);

    // The edit and file dialogs; tests answer them without opening windows.
    std::function<std::optional<CAlmxField>(const CAlmxField&)> editGenre;
    std::function<std::optional<std::string>(const std::string&)> chooseGenreFile;

    QListWidget* List() const { return list_; }
    int Current() const;

    void Add();
    void Modify();
    void Delete();
    void MoveUp();
    void MoveDown();
    void ToggleShown();
    void UnifyColours();
    void GenreFile();

  private:
    void Refill(int select);
    void UpdateButtons();

    CAlmxFieldArray& genres_;
    Prompter& prompter_;
    GenreListForm form_;
    GenreFileContext fileContext_;
    QListWidget* list_;
    QPushButton* hide_;
    QPushButton* remove_;
    QPushButton* up_;
    QPushButton* down_;
};

// 複数データにジャンルを設定: the search condition and the target genre.
class CFieldMultiDlg : public QDialog {
    Q_OBJECT
  public:
    CFieldMultiDlg(const CAlmxFieldArray& genres, QWidget* parent = nullptr);

    GenreSearchCondition Condition() const;
    int TargetGenre() const;

    QLineEdit* Text() const { return text_; }
    QComboBox* Genre() const { return genre_; }

  private:
    QLineEdit* text_;
    QComboBox* mode_;
    QCheckBox* caseSensitive_;
    QCheckBox* widthSensitive_;
    QCheckBox* title_;
    QCheckBox* place_;
    QCheckBox* memo_;
    QComboBox* genre_;
};

// ジャンル変更の確認: one record with はい, いいえ, 全て変更 and 中止; the result is the
// button's index (GenreChangeButton), 中止 when the window is closed.
class CFMultiCheck : public QDialog {
    Q_OBJECT
  public:
    CFMultiCheck(const std::string& question, QWidget* parent = nullptr);
    int Answer() const { return answer_; }

  private:
    int answer_ = StopChanging;
};

// Passes every question on, but shows CFMultiCheck for the genre change confirmation.
class GenreChangePrompter : public Prompter {
  public:
    GenreChangePrompter(Prompter& inner, QWidget* parent) : inner_(inner), parent_(parent) {}

    void ShowMessage(std::string_view text, MessageKind kind) override {
        inner_.ShowMessage(text, kind);
    }
    Answer AskYesNo(std::string_view text) override { return inner_.AskYesNo(text); }
    Answer AskYesNoCancel(std::string_view text) override { return inner_.AskYesNoCancel(text); }
    Answer AskOkCancel(std::string_view text) override { return inner_.AskOkCancel(text); }
    int AskButtons(std::string_view caption, std::string_view text,
                   const std::vector<std::string>& buttons) override;
    std::optional<std::string> AskText(std::string_view prompt, std::string_view initial) override {
        return inner_.AskText(prompt, initial);
    }
    std::optional<std::string> AskPassword(std::string_view prompt) override {
        return inner_.AskPassword(prompt);
    }
    std::optional<std::string> ChooseFile(std::string_view caption, std::string_view filter,
                                          bool forSaving) override {
        return inner_.ChooseFile(caption, filter, forSaving);
    }

  private:
    Prompter& inner_;
    QWidget* parent_;
};

}  // namespace almx
