#include "mail/reply_reader.h"

#include "text/encoding.h"

namespace almx::mail {

std::optional<std::string> LineReader::NextLine() {
    const std::size_t nl = buffer_.find('\n', start_);
    if (nl == std::string::npos) {
        if (start_ > 0 && start_ == buffer_.size()) {
            buffer_.clear();
            start_ = 0;
        }
        return std::nullopt;
    }
    std::size_t end = nl;
    if (end > start_ && buffer_[end - 1] == '\r') --end;
    std::string line = buffer_.substr(start_, end - start_);
    start_ = nl + 1;
    if (start_ > 65536) {
        buffer_.erase(0, start_);
        start_ = 0;
    }
    return line;
}

bool LineReader::TooLong() const {
    const std::size_t nl = buffer_.find('\n', start_);
    const std::size_t length = (nl == std::string::npos ? buffer_.size() : nl) - start_;
    return length > kMaxReplyLine;
}

std::string SmtpReply::Text() const {
    std::string text;
    for (const std::string& line : lines) {
        if (!text.empty()) text += ' ';
        text += line;
    }
    return text;
}

std::optional<SmtpReply> SmtpReplyReader::Next() {
    if (error_ != ReplyError::None) return std::nullopt;
    while (true) {
        std::optional<std::string> line = lines_.NextLine();
        if (!line) {
            if (lines_.TooLong()) error_ = ReplyError::TooLong;
            return std::nullopt;
        }
        if (line->size() > kMaxReplyLine || partial_.lines.size() >= kMaxReplyLines) {
            error_ = ReplyError::TooLong;
            return std::nullopt;
        }
        const std::string& l = *line;
        const bool digits = l.size() >= 3 && l[0] >= '2' && l[0] <= '5' && l[1] >= '0' &&
                            l[1] <= '9' && l[2] >= '0' && l[2] <= '9';
        const bool separator = l.size() == 3 || l[3] == ' ' || l[3] == '-';
        if (!digits || !separator) {
            error_ = ReplyError::Malformed;
            return std::nullopt;
        }
        const int code = (l[0] - '0') * 100 + (l[1] - '0') * 10 + (l[2] - '0');
        if (!partial_.lines.empty() && code != partial_.code) {
            error_ = ReplyError::Malformed;
            return std::nullopt;
        }
        partial_.code = code;
        partial_.lines.push_back(l);
        if (l.size() == 3 || l[3] == ' ') {
            SmtpReply done = std::move(partial_);
            partial_ = SmtpReply{};
            return done;
        }
    }
}

std::string CleanServerText(std::string_view text) {
    std::string out;
    for (std::size_t i = 0; i < text.size() && out.size() < 512;) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c < 0x80) {
            if (c >= 0x20 && c != 0x7f) out += static_cast<char>(c);
            ++i;
            continue;
        }
        const std::size_t length = text::Utf8CharLength(text, i);
        if (length == 0) {
            out += '?';
            ++i;
            continue;
        }
        if (out.size() + length > 512) break;
        out.append(text.substr(i, length));
        i += length;
    }
    return out;
}

}  // namespace almx::mail
