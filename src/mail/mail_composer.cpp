#include "mail/mail_composer.h"

#include <cstdio>
#include <random>

#include "base/prompter.h"
#include "mail/base64.h"
#include "mail/jis.h"
#include "mail/mail_address.h"
#include "mail/mime_header.h"
#include "text/encoding.h"
#include "text/sjis_chars.h"

namespace almx::mail {

namespace {

constexpr std::size_t kLineLimit = 998;
constexpr std::size_t kFoldAt = 76;
// Longer header texts are sent as folded encoded words so no line passes 998 octets.
constexpr std::size_t kPlainHeaderLimit = 900;
constexpr std::size_t kReferencesLimit = 900;

std::vector<std::string> SplitLines(std::string_view text) {
    std::vector<std::string> lines(1);
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\r' || c == '\n') {
            if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
            lines.emplace_back();
        } else {
            lines.back() += c;
        }
    }
    return lines;
}

std::string Jis(std::string_view sjis) {
    return SjisToJis(sjis).text;
}

struct Recipient {
    std::string item;
    AddressParts parts;
};

std::vector<std::string> FieldItems(const std::string& field, const ComposeContext& context) {
    if (context.expand) {
        if (auto entry = context.expand(field)) return *entry;
    }
    return SplitRecipients(field);
}

bool Blank(std::string_view text) {
    return text.find_first_not_of(" \t\r\n") == std::string_view::npos;
}

// The display name as the header carries it: controls removed, outer quotes taken off (they
// are put back by QuoteDisplayName where needed).
std::string HeaderName(std::string_view name) {
    std::string clean = CleanHeaderText(name);
    const std::size_t first = clean.find_first_not_of(' ');
    const std::size_t last = clean.find_last_not_of(' ');
    if (first != std::string::npos && last > first && clean[first] == '"' && clean[last] == '"') {
        std::string inner;
        for (std::size_t i = first + 1; i < last; ++i) {
            if (clean[i] == '\\' && i + 1 < last) ++i;
            inner += clean[i];
        }
        clean = clean.substr(0, first) + inner + clean.substr(last + 1);
    }
    return clean;
}

class Composer {
  public:
    Composer(const CMail& mail, const ComposeContext& context)
        : mail_(mail), context_(context), random_(context.seed) {}

    ComposedMail Run();

  private:
    bool Collect(const std::string& field, const char* header, bool ask,
                 std::vector<Recipient>& into);
    void ChooseEncoding();
    std::string EncodeWord(const std::string& utf8) const;
    std::string AddressHeader(const char* label, const std::vector<Recipient>& items) const;
    std::string Mailbox(const std::string& name, const std::string& address) const;
    std::string Header(std::string_view utf8) const;  // one header line's text, on the wire
    std::string Digits(int count);
    void ReferenceLines(std::string& out, bool sjis) const;
    void Body(std::string& out) const;
    bool Attachment(std::string& out, bool lan);

    const CMail& mail_;
    const ComposeContext& context_;
    std::minstd_rand random_;
    ComposedMail result_;
    std::vector<Recipient> to_, cc_, bcc_;
    std::string fromName_, fromAddress_, body_, boundary_, fileBytes_, fileName_;
    bool haveFile_ = false;
};

bool Composer::Collect(const std::string& field, const char* header, bool ask,
                       std::vector<Recipient>& into) {
    std::vector<Recipient> items;
    for (const std::string& item : FieldItems(field, context_)) {
        if (Blank(item)) continue;
        Recipient r{item, ParseAddressItem(item)};
        if (!IsLanFolder(r.parts.address) && !IsValidAddress(r.parts.address)) {
            result_.error = "メールアドレスが正しくありません：" + CleanHeaderText(item);
            return false;
        }
        if (IsLanFolder(r.parts.address) && CleanHeaderText(r.parts.address) != r.parts.address) {
            result_.error = "メールアドレスが正しくありません：" + CleanHeaderText(item);
            return false;
        }
        items.push_back(std::move(r));
    }
    const bool manyAlert = context_.config && context_.config->manyAlert;
    if (ask && manyAlert && items.size() > 10 && context_.prompter) {
        const std::string question = std::string("10人以上を") + (header[0] == 'T' ? "To" : "Cc") +
                                     "で送信します。よろしいですか？";
        if (context_.prompter->AskOkCancel(question) != Answer::Ok) {
            result_.cancelled = true;
            return false;
        }
    }
    if (items.size() > kRecipientLimit) {
        items.resize(kRecipientLimit);
        if (context_.prompter) {
            context_.prompter->ShowMessage(std::string(header) +
                                           ":同時に100件までのメールしか送信できません");
        }
    }
    for (Recipient& r : items) {
        if (IsLanFolder(r.parts.address))
            result_.lanFolders.push_back(r.parts.address);
        else
            result_.envelope.push_back(r.parts.address);
    }
    into = std::move(items);
    return true;
}

bool JisLineTooLong(const std::string& sjisText) {
    for (const std::string& line : SplitLines(sjisText)) {
        if (Jis(line).size() > kLineLimit) return true;
    }
    return false;
}

void Composer::ChooseEncoding() {
    std::vector<std::string> texts{mail_.subject, fromName_, body_, fileName_};
    for (const auto* list : {&to_, &cc_}) {
        for (const Recipient& r : *list) texts.push_back(r.parts.name);
    }
    for (const std::string& text : texts) {
        const text::SjisEncoding sjis = text::Utf8ToShiftJis(text);
        const bool longHeader = &text != &texts[2] && text.size() > kPlainHeaderLimit;
        if (!sjis.Complete() || !JisCarriesExactly(sjis.bytes) || longHeader) {
            result_.utf8 = true;
            return;
        }
    }
    result_.utf8 = JisLineTooLong(text::ToShiftJis(body_));
}

std::string Composer::EncodeWord(const std::string& utf8) const {
    const std::string clean = CleanHeaderText(utf8);
    if (result_.utf8) return EncodeUtf8Header(clean);
    return Jis(EncodeMimeHeader(text::ToShiftJis(clean)));
}

std::string Composer::Header(std::string_view utf8) const {
    const std::string clean = CleanHeaderText(utf8);
    if (result_.utf8) return clean;
    return Jis(text::ToShiftJis(clean));
}

std::string Composer::Mailbox(const std::string& name, const std::string& address) const {
    if (name.empty()) return address;
    // Blanks around a name stay outside its quotes.
    const std::string clean = HeaderName(name);
    const std::size_t first = clean.find_first_not_of(' ');
    if (first == std::string::npos) return EncodeWord(clean) + "<" + address + ">";
    const std::size_t last = clean.find_last_not_of(' ');
    const std::string core = QuoteDisplayName(clean.substr(first, last - first + 1));
    const std::string quoted = clean.substr(0, first) + core + clean.substr(last + 1);
    return EncodeWord(quoted) + "<" + address + ">";
}

std::size_t LastLineLength(const std::string& text) {
    const std::size_t nl = text.rfind('\n');
    return nl == std::string::npos ? text.size() : text.size() - nl - 1;
}

std::string Composer::AddressHeader(const char* label, const std::vector<Recipient>& items) const {
    std::string line;
    for (const Recipient& r : items) {
        if (IsLanFolder(r.parts.address)) continue;
        const std::string entry = Mailbox(r.parts.name, r.parts.address);
        if (line.empty()) {
            line = std::string(label) + ": " + entry;
            continue;
        }
        const std::size_t firstPart = entry.find('\r');
        const std::size_t entryLength = firstPart == std::string::npos ? entry.size() : firstPart;
        line += ",";
        if (LastLineLength(line) + entryLength > kFoldAt) line += "\r\n ";
        line += entry;
    }
    return line.empty() ? line : line + "\r\n";
}

std::string Composer::Digits(int count) {
    std::string digits;
    for (int i = 0; i < count; ++i) digits += static_cast<char>('0' + random_() % 10);
    return digits;
}

void Composer::ReferenceLines(std::string& out, bool sjis) const {
    // Message identifiers are ASCII; the oldest are left out when the line would be too long.
    std::string refs;
    for (unsigned char c : CleanHeaderText(mail_.references)) {
        if (c < 0x80) refs += static_cast<char>(c);
    }
    while (refs.size() > kReferencesLimit) {
        const std::size_t blank = refs.find(' ', refs.size() - kReferencesLimit);
        refs = blank == std::string::npos ? std::string() : refs.substr(blank + 1);
    }
    if (refs.empty()) return;
    std::string reply = refs;
    const std::size_t pair = refs.find("> <");
    if (pair != std::string::npos) reply = refs.substr(pair + 2);
    const auto form = [&](const std::string& text) {
        return sjis ? text::ToShiftJis(text) : Header(text);
    };
    out += "In-Reply-To: " + form(reply) + "\r\n";
    out += "References: " + form(refs) + "\r\n";
}

void Composer::Body(std::string& out) const {
    if (result_.utf8) {
        const std::string bytes = ToCrLf(body_);
        for (std::size_t i = 0; i < bytes.size(); i += 57) {
            out += Base64EncodeBytes(std::string_view(bytes).substr(i, 57)) + "\r\n";
        }
        return;
    }
    const std::vector<std::string> lines = SplitLines(body_);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        out += Jis(text::ToShiftJis(lines[i]));
        if (i + 1 < lines.size()) out += "\r\n";
    }
}

bool Composer::Attachment(std::string& out, bool lan) {
    out += "\r\n--" + boundary_ + "\r\n";
    std::string name = CleanHeaderText(fileName_);
    std::string quotedName;
    for (char c : name) {
        if (c == '"' || c == '\\') quotedName += '\\';
        quotedName += c;
    }
    if (lan)
        quotedName = text::ToShiftJis(quotedName);
    else
        quotedName = EncodeWord(quotedName);
    out += "Content-Type: application/octet-stream; name=\"" + quotedName + "\"\r\n";
    out += "Content-Transfer-Encoding: base64\r\n\r\n";
    for (std::size_t i = 0; i < fileBytes_.size(); i += 57) {
        out += Base64EncodeBytes(std::string_view(fileBytes_).substr(i, 57)) + "\r\n";
    }
    out += "\r\n--" + boundary_ + "--\r\n";
    return true;
}

ComposedMail Composer::Run() {
    if (!Collect(mail_.to, "To", true, to_) || !Collect(mail_.cc, "Cc", true, cc_) ||
        !Collect(mail_.bcc, "Bcc", false, bcc_)) {
        return result_;
    }
    if (result_.envelope.empty() && result_.lanFolders.empty()) {
        result_.error = "送信先を指定してください";
        return result_;
    }
    if (mail_.from.empty() || Blank(mail_.from)) {
        fromName_ = context_.config ? context_.config->fromName : "";
        fromAddress_ = context_.config ? context_.config->fromAddress : "";
    } else {
        const AddressParts parts = ParseAddressItem(mail_.from);
        fromName_ = parts.name;
        fromAddress_ = parts.address;
    }
    if (!IsValidAddress(fromAddress_)) {
        result_.error = "メールアドレスが正しくありません：" + CleanHeaderText(fromAddress_);
        return result_;
    }
    result_.mailFrom = fromAddress_;
    body_ = mail_.body;
    if (mail_.signature != 0 && context_.signature)
        body_ += "\r\n" + context_.signature(mail_.signature);
    if (!mail_.attachment.empty()) {
        std::optional<std::string> bytes =
            context_.readFile ? context_.readFile(mail_.attachment) : std::nullopt;
        if (!bytes) {
            result_.error = "添付ファイルが開けません";
            return result_;
        }
        fileBytes_ = std::move(*bytes);
        const std::size_t slash = mail_.attachment.find_last_of("/\\");
        fileName_ =
            slash == std::string::npos ? mail_.attachment : mail_.attachment.substr(slash + 1);
        haveFile_ = true;
        boundary_ = "======Boundary=" + Digits(15);
    }
    ChooseEncoding();

    std::string& out = result_.content;
    ReferenceLines(out, false);
    out += std::string("X-MAILER: ") + kMailer + "\r\n";
    out += "MIME-Version: 1.0\r\n";
    out += "Date: " + MailDate(context_.now) + "\r\n";
    const std::size_t at = fromAddress_.rfind('@');
    const std::string domain = at == std::string::npos ? "localhost" : fromAddress_.substr(at + 1);
    char stamp[32];
    std::snprintf(stamp, sizeof stamp, "%04d%02d%02d%02d%02d%02d", context_.now.Year(),
                  context_.now.Month(), context_.now.Day(), context_.now.Hour(),
                  context_.now.Minute(), context_.now.Second());
    out += "Message-ID: <" + std::string(stamp) + "." + Digits(15) + "@" + domain + ">\r\n";
    out += AddressHeader("To", to_);
    out += AddressHeader("Cc", cc_);
    out += "From: " + Mailbox(fromName_, fromAddress_) + "\r\n";
    out += "Subject: " + EncodeWord(mail_.subject) + "\r\n";
    const std::string textType = result_.utf8 ? "Content-Type: text/plain; charset=\"UTF-8\"\r\n"
                                                "Content-Transfer-Encoding: base64\r\n"
                                              : "";
    if (haveFile_) {
        out += "Content-Type: multipart/mixed; boundary=\"" + boundary_ + "\"\r\n";
    } else {
        out += result_.utf8 ? textType : "Content-Type: text/plain; charset=\"iso-2022-jp\"\r\n";
    }
    out += "\r\n\r\n";
    if (haveFile_) {
        out += "\r\n--" + boundary_ + "\r\n";
        out += result_.utf8 ? textType : "Content-Type: text/plain; charset=\"ISO-2022-JP\"\r\n";
        out += "\r\n";
    }
    Body(out);
    if (haveFile_) Attachment(out, false);

    if (!result_.lanFolders.empty()) {
        std::string& lan = result_.lanContent;
        ReferenceLines(lan, true);
        lan += std::string("X-MAILER: ") + kMailer + "\r\n";
        lan += "MIME-Version: 1.0\r\n";
        lan += "Date: " + MailDate(context_.now).substr(0, 25) + "\r\n";
        const auto given = [](const std::vector<Recipient>& items) {
            std::string joined;
            for (const Recipient& r : items) joined += (joined.empty() ? "" : ",") + r.item;
            return text::ToShiftJis(CleanHeaderText(joined));
        };
        lan += "To: " + given(to_) + "\r\n";
        lan += "Cc: " + given(cc_) + "\r\n";
        const std::string lanDir = context_.config ? context_.config->lanDir : "";
        const std::string name = context_.config ? context_.config->fromName : "";
        lan +=
            "From: " +
            text::ToShiftJis(CleanHeaderText(name.empty() ? lanDir : name + " <" + lanDir + ">")) +
            "\r\n";
        lan += "Subject: " + text::ToShiftJis(CleanHeaderText(mail_.subject)) + "\r\n";
        lan += haveFile_ ? "Content-Type: multipart/mixed; boundary=\"" + boundary_ + "\"\r\n"
                         : "Content-Type: text/plain; charset=\"iso-2022-jp\"\r\n";
        lan += "\r\n\r\n";
        if (haveFile_) {
            lan += "\r\n--" + boundary_ +
                   "\r\nContent-Type: text/plain; charset=\"ISO-2022-JP\"\r\n\r\n";
        }
        lan += ToCrLf(text::Utf8ToShiftJis(body_).bytes);
        if (haveFile_) Attachment(lan, true);
        lan += "\r\n.\r\n";
    }
    return result_;
}

}  // namespace

ComposedMail ComposeMail(const CMail& mail, const ComposeContext& context) {
    return Composer(mail, context).Run();
}

std::string ToCrLf(std::string_view text) {
    std::string out;
    out.reserve(text.size() + text.size() / 32);
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\r') {
            if (i + 1 < text.size() && text[i + 1] == '\n') ++i;
            out += "\r\n";
        } else if (c == '\n') {
            out += "\r\n";
        } else {
            out += c;
        }
    }
    return out;
}

std::string DotStuff(std::string_view content) {
    const std::string lines = ToCrLf(content);
    std::string out;
    out.reserve(lines.size() + 16);
    bool lineStart = true;
    for (char c : lines) {
        if (lineStart && c == '.') out += '.';
        out += c;
        lineStart = c == '\n';
    }
    out += "\r\n.\r\n";
    return out;
}

std::string MailDate(const DateTime& t) {
    static const char* const kDays[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
    static const char* const kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                          "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    char text[64];
    std::snprintf(text, sizeof text, "%s, %02d %s %04d %02d:%02d:%02d +0900",
                  kDays[t.DayOfWeek() % 7], t.Day(), kMonths[(t.Month() + 11) % 12], t.Year(),
                  t.Hour(), t.Minute(), t.Second());
    return text;
}

std::string EncodeUtf8Header(std::string_view utf8) {
    bool plain = true;
    for (unsigned char c : utf8) {
        if (c >= 0x80 || c < 0x20 || c == 0x7f) plain = false;
    }
    if (plain && utf8.size() <= kPlainHeaderLimit) return std::string(utf8);
    std::string out;
    std::size_t start = 0;
    while (start < utf8.size()) {
        std::size_t end = start;
        while (end < utf8.size()) {
            std::size_t length = text::Utf8CharLength(utf8, end);
            if (length == 0) length = 1;
            if (end + length - start > 45) break;
            end += length;
        }
        if (!out.empty()) out += "\r\n ";
        out += "=?UTF-8?B?" + Base64EncodeBytes(utf8.substr(start, end - start)) + "?=";
        start = end;
    }
    return out;
}

bool JisCarriesExactly(std::string_view sjis) {
    for (std::size_t i = 0; i < sjis.size(); ++i) {
        const auto c = static_cast<unsigned char>(sjis[i]);
        if (c >= 0xA1 && c <= 0xDF) return false;
        if (!text::IsSjisLeadByte(c)) continue;
        if (i + 1 >= sjis.size()) return false;
        const CharCode code =
            static_cast<CharCode>(c << 8 | static_cast<unsigned char>(sjis[i + 1]));
        ++i;
        const CharCode jis = SjisCodeToJis(code);
        const int row = static_cast<int>(jis >> 8) - 0x20;
        if (jis == 0 || !((row >= 1 && row <= 8) || (row >= 16 && row <= 84))) return false;
    }
    return true;
}

}  // namespace almx::mail
