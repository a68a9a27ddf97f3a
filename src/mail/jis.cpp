#include "mail/jis.h"

#include <algorithm>
#include <utility>

#include "text/encoding.h"
#include "text/sjis_chars.h"

namespace almx::mail {

namespace {

constexpr char kEsc = 0x1B;
constexpr char kSo = 0x0E;  // shift out: half-width katakana follow
constexpr char kSi = 0x0F;  // shift in: back to the designated set

unsigned char Byte(std::string_view s, std::size_t i) {
    return static_cast<unsigned char>(s[i]);
}

bool InRange(unsigned c, unsigned low, unsigned high) {
    return c >= low && c <= high;
}

bool IsHalfKana(unsigned char c) {
    return InRange(c, 0xA1, 0xDF);
}

// Writes JIS text, emitting the shifts and escapes as the character sets change.
class JisWriter {
  public:
    void PutChar(std::string_view sjis, std::size_t pos, std::size_t len) {
        if (len == 1 && IsHalfKana(Byte(sjis, pos))) {
            Enter(Mode::Kana);
            out_.text += static_cast<char>(Byte(sjis, pos) & 0x7F);
            return;
        }
        CharCode code = text::CharCodeAt(sjis, pos, len);
        CharCode jis = len == 2 ? SjisCodeToJis(code) : 0;
        if (jis != 0 && jis != code) {
            Enter(Mode::Kanji);
            text::AppendCharCode(out_.text, jis);
            ++out_.count;
        } else {
            Enter(Mode::Ascii);
            out_.text.append(sjis, pos, len);
        }
    }

    CountedText Finish() && {
        Enter(Mode::Ascii);
        return std::move(out_);
    }

  private:
    enum class Mode { Ascii, Kanji, Kana };

    // Kanji is always left with ESC ( B, even for katakana: after SI a standard reader goes
    // back to the set designated last, and that must be ASCII.
    void Enter(Mode mode) {
        if (mode == mode_) return;
        if (mode_ == Mode::Kana) out_.text += kSi;
        if (mode_ == Mode::Kanji) out_.text += "\x1B(B";
        if (mode == Mode::Kanji) out_.text += "\x1B$B";
        if (mode == Mode::Kana) out_.text += kSo;
        mode_ = mode;
    }

    CountedText out_;
    Mode mode_ = Mode::Ascii;
};

enum class JisMode { Ascii, Kanji, Kanji0212, Kana };

struct Escape {
    std::string_view bytes;  // after ESC
    JisMode mode;
};

constexpr Escape kEscapes[] = {
    {"$@", JisMode::Kanji}, {"&@", JisMode::Kanji},      {"$B", JisMode::Kanji},
    {"(J", JisMode::Ascii}, {"(H", JisMode::Ascii},      {"(B", JisMode::Ascii},
    {"(I", JisMode::Kana},  {"$(D", JisMode::Kanji0212},
};

// The escape sequence whose ESC is at pos, or nullptr when it is unknown or cut short.
const Escape* EscapeAt(std::string_view s, std::size_t pos) {
    std::string_view rest = s.substr(pos + 1);
    for (const auto& escape : kEscapes) {
        if (rest.substr(0, escape.bytes.size()) == escape.bytes) return &escape;
    }
    return nullptr;
}

// Code page 932 holds a few JIS X 0212 characters (among the IBM extensions); the rest have no
// Shift_JIS form and show as the geta mark, as Japanese text does for a missing kanji.
void AppendJis0212(std::string& out, unsigned char b1, unsigned char b2) {
    const char euc[] = {'\x8F', static_cast<char>(b1 | 0x80), static_cast<char>(b2 | 0x80)};
    auto sjis = text::Convert(std::string_view(euc, 3), "EUC-JP", "CP932");
    out += sjis && !sjis->empty() ? *sjis : std::string("\x81\xAC");  // 〓
}

bool IsJisByte(unsigned char c) {
    return InRange(c, 0x21, 0x7E);
}

// The two bytes after an ESC that only JIS texts carry.
bool IsJisEscape(std::string_view after) {
    return after.size() >= 2 && std::string_view("$&(").find(after[0]) != std::string_view::npos &&
           std::string_view("@BHJ").find(after[1]) != std::string_view::npos;
}

// What the byte after 0x8E (a Shift_JIS lead, or the EUC-JP single shift) tells.
KanjiCode AfterSingleShift(unsigned char d) {
    if (InRange(d, 0x40, 0x7E) || InRange(d, 0x80, 0xA0) || InRange(d, 0xE0, 0xFC)) {
        return KanjiCode::ShiftJis;
    }
    return IsHalfKana(d) ? KanjiCode::SjisOrEuc : KanjiCode::None;
}

// What the byte after 0xA1-0xDF tells. After 0xE0-0xEF it could be a Shift_JIS half-width
// katakana then a lead byte, or an EUC-JP pair: the bytes that follow may settle it.
KanjiCode AfterHalfKana(unsigned char d, std::string_view bytes, std::size_t& pos) {
    if (InRange(d, 0xF0, 0xFE)) return KanjiCode::Euc;
    if (IsHalfKana(d)) return KanjiCode::SjisOrEuc;
    if (d < 0xA0) return KanjiCode::ShiftJis;
    if (!InRange(d, 0xE0, 0xEF)) return KanjiCode::None;
    while (pos < bytes.size() && Byte(bytes, pos) >= 0x40) {
        unsigned char e = Byte(bytes, pos++);
        if (InRange(e, 0x81, 0x8D) || InRange(e, 0x8F, 0x9F)) return KanjiCode::ShiftJis;
        if (e == 0xFD || e == 0xFE) return KanjiCode::Euc;
    }
    return KanjiCode::SjisOrEuc;
}

// What the byte after 0xE0-0xEF tells.
KanjiCode AfterLeadE0(unsigned char d) {
    if (InRange(d, 0x40, 0x7E) || InRange(d, 0x80, 0xA0)) return KanjiCode::ShiftJis;
    if (d == 0xFD || d == 0xFE) return KanjiCode::Euc;
    return InRange(d, 0xA1, 0xFC) ? KanjiCode::SjisOrEuc : KanjiCode::None;
}

}  // namespace

CharCode SjisCodeToJis(CharCode sjis) {
    unsigned lead = sjis >> 8;
    unsigned trail = sjis & 0xFF;
    bool leadOk = InRange(lead, 0x81, 0x9F) || InRange(lead, 0xE0, 0xEF);
    if (!leadOk || !text::IsSjisTrailByte(static_cast<unsigned char>(trail))) return 0;
    unsigned row = (lead - (lead <= 0x9F ? 0x70 : 0xB0)) * 2;
    unsigned cell;
    if (trail < 0x9F) {
        row -= 1;
        cell = trail - (trail >= 0x80 ? 0x20 : 0x1F);
    } else {
        cell = trail - 0x7E;
    }
    return static_cast<CharCode>(row << 8 | cell);
}

CharCode JisCodeToSjis(CharCode jis) {
    unsigned row = jis >> 8;
    unsigned cell = jis & 0xFF;
    if (!IsJisByte(static_cast<unsigned char>(row)) ||
        !IsJisByte(static_cast<unsigned char>(cell))) {
        return 0;
    }
    unsigned lead = ((row + 1) >> 1) + (row <= 0x5E ? 0x70 : 0xB0);
    unsigned trail;
    if (row & 1) {
        trail = cell + (cell >= 0x60 ? 0x20 : 0x1F);
    } else {
        trail = cell + 0x7E;
    }
    return static_cast<CharCode>(lead << 8 | trail);
}

CountedText SjisToJis(std::string_view sjis) {
    JisWriter writer;
    for (std::size_t pos = 0; pos < sjis.size();) {
        std::size_t len = text::SjisCharLength(sjis, pos);
        writer.PutChar(sjis, pos, len);
        pos += len;
    }
    return std::move(writer).Finish();
}

CountedText JisToSjis(std::string_view jis) {
    CountedText out;
    out.text.reserve(jis.size());
    JisMode mode = JisMode::Ascii;
    for (std::size_t pos = 0; pos < jis.size();) {
        unsigned char c = Byte(jis, pos);
        if (c == kEsc) {
            if (const Escape* escape = EscapeAt(jis, pos)) {
                mode = escape->mode;
                pos += 1 + escape->bytes.size();
                continue;
            }
        } else if (c == kSo || c == kSi) {
            mode = c == kSo ? JisMode::Kana : JisMode::Ascii;
            ++pos;
            continue;
        }
        bool pair = pos + 1 < jis.size();
        if (mode == JisMode::Kanji && pair) {
            if (CharCode sjis = JisCodeToSjis(text::CharCodeAt(jis, pos, 2))) {
                text::AppendCharCode(out.text, sjis);
                ++out.count;
                pos += 2;
                continue;
            }
        } else if (mode == JisMode::Kanji0212 && pair && IsJisByte(c) &&
                   IsJisByte(Byte(jis, pos + 1))) {
            AppendJis0212(out.text, c, Byte(jis, pos + 1));
            ++out.count;
            pos += 2;
            continue;
        } else if (mode == JisMode::Kana && InRange(c, 0x21, 0x5F)) {
            c += 0x80;
        }
        out.text += static_cast<char>(c);
        ++pos;
    }
    return out;
}

CountedText EucToSjis(std::string_view euc) {
    CountedText out;
    out.text.reserve(euc.size());
    for (std::size_t pos = 0; pos < euc.size();) {
        unsigned char c = Byte(euc, pos);
        std::size_t left = euc.size() - pos;
        if (c < 0x80) {
            out.text += static_cast<char>(c);
            ++pos;
        } else if (c == 0x8E) {  // half-width katakana follows
            if (left >= 2) out.text += euc[pos + 1];
            pos += std::min<std::size_t>(left, 2);
        } else if (c == 0x8F) {  // JIS X 0212 follows
            if (left >= 3 && Byte(euc, pos + 1) >= 0xA1 && Byte(euc, pos + 2) >= 0xA1) {
                AppendJis0212(out.text, Byte(euc, pos + 1) & 0x7F, Byte(euc, pos + 2) & 0x7F);
                ++out.count;
                pos += 3;
            } else {
                ++pos;
            }
        } else {
            CharCode sjis = left >= 2 ? JisCodeToSjis(text::CharCodeAt(euc, pos, 2) & 0x7F7F) : 0;
            if (sjis) {
                text::AppendCharCode(out.text, sjis);
                ++out.count;
                pos += 2;
            } else {
                out.text += static_cast<char>(c);
                ++pos;
            }
        }
    }
    return out;
}

KanjiCode DetectKanjiCode(std::string_view bytes) {
    KanjiCode answer = KanjiCode::None;
    std::size_t pos = 0;
    while ((answer == KanjiCode::None || answer == KanjiCode::SjisOrEuc) && pos < bytes.size()) {
        unsigned char c = Byte(bytes, pos++);
        KanjiCode found = KanjiCode::None;
        if (c == kEsc) {
            if (IsJisEscape(bytes.substr(pos))) return KanjiCode::Jis;
        } else if (InRange(c, 0x81, 0x8D) || InRange(c, 0x8F, 0x9F)) {
            found = KanjiCode::ShiftJis;
        } else if (InRange(c, 0xF0, 0xFE)) {
            found = KanjiCode::Euc;
        } else if (c == 0x8E || InRange(c, 0xA1, 0xEF)) {
            if (pos >= bytes.size()) break;
            unsigned char d = Byte(bytes, pos++);
            if (c == 0x8E) {
                found = AfterSingleShift(d);
            } else if (IsHalfKana(c)) {
                found = AfterHalfKana(d, bytes, pos);
            } else {
                found = AfterLeadE0(d);
            }
        }
        if (found != KanjiCode::None) answer = found;
    }
    return answer;
}

std::string ToSjis(std::string_view bytes) {
    switch (DetectKanjiCode(bytes)) {
        case KanjiCode::Jis:
            return JisToSjis(bytes).text;
        case KanjiCode::Euc:
            return EucToSjis(bytes).text;
        default:
            return std::string(bytes);
    }
}

}  // namespace almx::mail
