#pragma once
// The diary's dialogs opened from the main frame: the folder (日記ディレクトリ), the list of day
// files (日記リスト) and the look of the month view's diary marks (日記有り表示の設定).

#include <QDialog>

#include "core/display_settings.h"

class QComboBox;
class QLineEdit;
class QListWidget;

namespace almx {

class DiaryStore;
class DocumentHost;
class FileLauncher;
class Prompter;
class SettingsStore;

class CDiaryDirDlg : public QDialog {
    Q_OBJECT
  public:
    CDiaryDirDlg(const std::string& folder, Prompter& prompter, QWidget* parent = nullptr);
    std::string Folder() const;
    void accept() override;

    QLineEdit* folderEdit;

  private:
    Prompter& prompter_;
};

// 32862: the dialog over the document's folder; on OK the folder is stored, the diary rescanned,
// the document marked modified and its views redrawn.
void EditDiaryFolder(QWidget* parent, DocumentHost& host, Prompter& prompter);

class CDiaryListDlg : public QDialog {
    Q_OBJECT
  public:
    CDiaryListDlg(DiaryStore& store, FileLauncher* launcher, QWidget* parent = nullptr);
    // "開く" or a double click: the selected file in its program.
    void OpenSelected();

    QListWidget* list;

  private:
    DiaryStore& store_;
    FileLauncher* launcher_;
};

class CDiaryIconDlg : public QDialog {
    Q_OBJECT
  public:
    CDiaryIconDlg(DisplaySettings& display, SettingsStore& settings, QWidget* parent = nullptr);
    void accept() override;

    QComboBox* iconBox;

  private:
    void ChooseColour();
    void ChooseFont();

    DisplaySettings& display_;
    SettingsStore& settings_;
};

}  // namespace almx
