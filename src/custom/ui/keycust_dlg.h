#pragma once
// キーカスタマイズ (CKeycustDlg): binds the key list, the three modifier boxes and the command
// list to KeycustForm. Edits take effect at once; there is no Cancel, so Escape and the close
// button act as OK.

#include <QDialog>
#include <functional>
#include <optional>

#include "custom/keycust_form.h"

class QCheckBox;
class QListWidget;
class QPushButton;

namespace almx {

class CKeycustDlg : public QDialog {
    Q_OBJECT
  public:
    using MenuTextSink = std::function<void(const MenuTextChange&)>;

    CKeycustDlg(KeycustForm& form, MenuTextSink menuTexts, QWidget* parent = nullptr);

    QListWidget* Keys() const { return keys_; }
    QListWidget* Commands() const { return commands_; }
    QCheckBox* Ctrl() const { return ctrl_; }
    QCheckBox* Shift() const { return shift_; }
    QCheckBox* Alt() const { return alt_; }
    QPushButton* SaveAsButton() const { return saveAs_; }
    QPushButton* LoadButton() const { return load_; }
    QPushButton* OkButton() const { return ok_; }

    // The Qt file dialog's filters for the written ones: ".key" and names without a dot match
    // as well.
    static QString FileFilters();

    void accept() override;
    void reject() override;

  protected:
    // The file dialogs, one seam each; nullopt when cancelled.
    virtual std::optional<QString> ChooseSavePath();
    virtual std::optional<QString> ChooseLoadPath();

  private:
    void RefreshKeys();
    void SelectBoundCommand();
    void ChooseCommand(int row);
    void SaveAs();
    void Load();

    KeycustForm& form_;
    MenuTextSink menuTexts_;
    QListWidget* keys_;
    QListWidget* commands_;
    QCheckBox* ctrl_;
    QCheckBox* shift_;
    QCheckBox* alt_;
    QPushButton* saveAs_;
    QPushButton* load_;
    QPushButton* ok_;
    bool updating_ = false;
    bool finished_ = false;
};

}  // namespace almx
