#pragma once
// One open schedule document as the program holds it: the document and its host, the
// minute check of the clock, and the document's link of the command route (the file
// commands, genres).

#include <QString>
#include <memory>

#include "app/minute_check.h"
#include "ui/command_target.h"
#include "ui/document_host.h"

class QWidget;

namespace almx {

struct AppContext;
class OpenDocument;

// What a document needs of the application.
class DocumentOwner {
  public:
    virtual ~DocumentOwner() = default;
    virtual void AddRecentFile(const std::string& path) = 0;
    // Asks what closing asks, then closes the document's frames. False: it stays open.
    virtual bool CloseDocument(OpenDocument& document) = 0;
    // Every view of every document is told the hint.
    virtual void UpdateEveryView(int hint) = 0;
    virtual QWidget* DialogParent() = 0;
};

namespace app_messages {
inline constexpr const char* kAskSave = "%1 への変更を保存しますか？";
inline constexpr const char* kNewTitle = "ｽｹｼﾞｭｰﾗ";
inline constexpr const char* kOpenCaption = "開く";
inline constexpr const char* kOpenFilter = "ALMX ﾌｧｲﾙ (*.alx)|*.alx|すべてのﾌｧｲﾙ (*.*)|*.*||";
inline constexpr const char* kSaveAsCaption = "名前を付けて保存";
inline constexpr const char* kSaveAsFilter = "ALMX ﾌｧｲﾙ (*.alx)|*.alx||";
}  // namespace app_messages

class OpenDocument : public CommandTarget {
  public:
    OpenDocument(std::unique_ptr<CAlmxDoc> document, AppContext& context, DocumentOwner& owner,
                 int untitledNumber);
    ~OpenDocument() override;

    DocumentHost& Host() { return *host_; }
    CAlmxDoc& Doc() { return host_->Document(); }
    const CAlmxDoc& Doc() const { return host_->Document(); }
    MinuteCheck& Minutes() { return minutes_; }
    // Null without a clock or settings store.
    AlarmCheck* Alarms() { return alarms_.get(); }

    // The file's name, or "ｽｹｼﾞｭｰﾗ" and a number for a new document.
    QString Title() const;

    // The framework's question before a modified document closes: Yes saves (a failed or
    // cancelled save keeps it open), No discards. True when closing may go on.
    bool SaveModified();
    bool SaveAs();

    // Set once closing is certain: its frames then close without asking.
    bool Closing() const { return closing_; }
    void SetClosing() { closing_ = true; }

    bool OnCommand(int id) override;
    std::optional<CommandState> CommandStatus(int id) const override;

  private:
    bool Save();
    void DeleteOldSchedules();
    void EditGenres();
    void SetGenreOnMany();

    std::unique_ptr<DocumentHost> host_;
    AppContext& context_;
    DocumentOwner& owner_;
    MinuteCheck minutes_;
    std::unique_ptr<AlarmCheck> alarms_;
    int untitledNumber_;
    bool closing_ = false;
};

}  // namespace almx
