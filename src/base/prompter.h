#pragma once
// How model code talks to the user. The program answers with Qt dialogs (app/); tests use
// ScriptedPrompter, which answers from a queue and records every text it was shown.

#include <deque>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace almx {

enum class MessageKind { Information, Warning, Error };

enum class Answer { Ok, Yes, No, Cancel };

class Prompter {
  public:
    virtual ~Prompter() = default;

    virtual void ShowMessage(std::string_view text,
                             MessageKind kind = MessageKind::Information) = 0;
    virtual Answer AskYesNo(std::string_view text) = 0;
    virtual Answer AskYesNoCancel(std::string_view text) = 0;
    // Ok or Cancel.
    virtual Answer AskOkCancel(std::string_view text) = 0;
    // A named dialog with its own buttons; returns the index of the button pressed, -1 when
    // the dialog was closed without one.
    virtual int AskButtons(std::string_view caption, std::string_view text,
                           const std::vector<std::string>& buttons) = 0;
    virtual std::optional<std::string> AskText(std::string_view prompt,
                                               std::string_view initial) = 0;
    virtual std::optional<std::string> AskPassword(std::string_view prompt) = 0;
    virtual std::optional<std::string> ChooseFile(std::string_view caption, std::string_view filter,
                                                  bool forSaving) = 0;
};

// Answers in order from a script; an empty script answers Cancel / no text / -1.
class ScriptedPrompter : public Prompter {
  public:
    struct Reply {
        Answer answer = Answer::Ok;
        int button = -1;
        std::optional<std::string> text;
    };

    ScriptedPrompter& Then(Answer answer);
    ScriptedPrompter& ThenButton(int index);
    ScriptedPrompter& ThenText(std::optional<std::string> text);

    void ShowMessage(std::string_view text, MessageKind kind) override;
    Answer AskYesNo(std::string_view text) override;
    Answer AskYesNoCancel(std::string_view text) override;
    Answer AskOkCancel(std::string_view text) override;
    int AskButtons(std::string_view caption, std::string_view text,
                   const std::vector<std::string>& buttons) override;
    std::optional<std::string> AskText(std::string_view prompt, std::string_view initial) override;
    std::optional<std::string> AskPassword(std::string_view prompt) override;
    std::optional<std::string> ChooseFile(std::string_view caption, std::string_view filter,
                                          bool forSaving) override;

    // Every text shown or asked, in order.
    const std::vector<std::string>& Shown() const { return shown_; }
    bool Saw(std::string_view text) const;
    std::size_t RepliesLeft() const { return script_.size(); }

  private:
    Reply Next();

    std::deque<Reply> script_;
    std::vector<std::string> shown_;
};

// Keeps the messages shown to it for later, for code that must not open a box while it runs
// (a view's fill: a box runs the event loop, and views paint in it). Each text is kept once for
// the collector's life; questions are answered Cancel.
class NoticeCollector : public Prompter {
  public:
    struct Notice {
        std::string text;
        MessageKind kind;
    };

    void ShowMessage(std::string_view text, MessageKind kind) override;
    Answer AskYesNo(std::string_view) override { return Answer::Cancel; }
    Answer AskYesNoCancel(std::string_view) override { return Answer::Cancel; }
    Answer AskOkCancel(std::string_view) override { return Answer::Cancel; }
    int AskButtons(std::string_view, std::string_view, const std::vector<std::string>&) override {
        return -1;
    }
    std::optional<std::string> AskText(std::string_view, std::string_view) override { return {}; }
    std::optional<std::string> AskPassword(std::string_view) override { return {}; }
    std::optional<std::string> ChooseFile(std::string_view, std::string_view, bool) override {
        return {};
    }

    bool HasPending() const { return !pending_.empty(); }
    // The messages kept since the last call, each never kept before.
    std::vector<Notice> TakePending();
    // Shows the pending messages through the prompter.
    void ShowPending(Prompter& prompter);

  private:
    std::vector<std::string> seen_;
    std::vector<Notice> pending_;
};

}  // namespace almx
