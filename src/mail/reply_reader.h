#pragma once
// Whole server replies out of received bytes, however the network splits or joins them.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace almx::mail {

inline constexpr std::size_t kMaxReplyLine = 4096;  // bytes before the line break
inline constexpr std::size_t kMaxReplyLines = 512;  // lines of one multi-line reply

enum class ReplyError { None, Malformed, TooLong };

// Lines ended by LF (a CR before it is dropped).
class LineReader {
  public:
    void Feed(std::string_view bytes) { buffer_.append(bytes); }
    std::optional<std::string> NextLine();
    bool TooLong() const;  // a line has run past kMaxReplyLine without its break
    bool Pending() const { return start_ < buffer_.size(); }

  private:
    std::string buffer_;
    std::size_t start_ = 0;
};

struct SmtpReply {
    int code = 0;
    std::vector<std::string> lines;  // each without its line break
    std::string Text() const;        // the lines joined by blanks
};

// SMTP replies: "ddd-text" continuation lines and a final "ddd text" (or "ddd"), the code
// exactly three digits and the same on every line.
class SmtpReplyReader {
  public:
    void Feed(std::string_view bytes) { lines_.Feed(bytes); }
    std::optional<SmtpReply> Next();
    ReplyError Error() const { return error_; }
    bool Pending() const { return lines_.Pending() || !partial_.lines.empty(); }

  private:
    LineReader lines_;
    SmtpReply partial_;
    ReplyError error_ = ReplyError::None;
};

// Server text fit for a message: controls removed, invalid UTF-8 as "?", at most 512 bytes.
std::string CleanServerText(std::string_view text);

}  // namespace almx::mail
