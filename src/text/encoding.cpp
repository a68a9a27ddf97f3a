#include "text/encoding.h"

#include <iconv.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <map>
#include <memory>
#include <stdexcept>
#include <utility>

#include "text/sjis_chars.h"

namespace almx::text {

namespace {

// The code page 932 tables, written at build time from iconv's answers.
#include "cp932_tables.inc"

constexpr std::uint16_t kNoCharacter = 0xFFFF;

// iconv descriptors are costly to open; keep one per direction and thread.
class IconvHandle {
  public:
    IconvHandle(const char* to, const char* from) : cd_(iconv_open(to, from)) {
        if (cd_ == reinterpret_cast<iconv_t>(-1)) {
            throw std::runtime_error(std::string("iconv cannot convert ") + from + " to " + to);
        }
    }
    ~IconvHandle() { iconv_close(cd_); }
    IconvHandle(const IconvHandle&) = delete;
    IconvHandle& operator=(const IconvHandle&) = delete;

    iconv_t Reset() {
        iconv(cd_, nullptr, nullptr, nullptr, nullptr);
        return cd_;
    }

  private:
    iconv_t cd_;
};

IconvHandle& Handle(const char* to, const char* from) {
    thread_local std::map<std::pair<std::string, std::string>, std::unique_ptr<IconvHandle>> cache;
    auto& slot = cache[{to, from}];
    if (!slot) slot = std::make_unique<IconvHandle>(to, from);
    return *slot;
}

// Length of the well-formed UTF-8 sequence at s[pos], or 0 when it is not well formed.
std::size_t Utf8SequenceLength(std::string_view s, std::size_t pos) {
    auto byte = [&](std::size_t i) { return static_cast<unsigned char>(s[i]); };
    unsigned char c = byte(pos);
    std::size_t len;
    unsigned min;
    unsigned cp;
    if (c < 0x80) return 1;
    if (c >= 0xC2 && c <= 0xDF) {
        len = 2, min = 0x80, cp = c & 0x1F;
    } else if (c >= 0xE0 && c <= 0xEF) {
        len = 3, min = 0x800, cp = c & 0x0F;
    } else if (c >= 0xF0 && c <= 0xF4) {
        len = 4, min = 0x10000, cp = c & 0x07;
    } else {
        return 0;
    }
    if (pos + len > s.size()) return 0;
    for (std::size_t i = 1; i < len; ++i) {
        unsigned char t = byte(pos + i);
        if ((t & 0xC0) != 0x80) return 0;
        cp = (cp << 6) | (t & 0x3F);
    }
    if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return 0;
    return len;
}

// Characters outside code page 932 that other Japanese mappings give for one of its cells.
const char* Cp932Alias(std::string_view ch) {
    static const std::pair<std::string_view, const char*> aliases[] = {
        {"\u301C", "\x81\x60"},  // WAVE DASH -> FULLWIDTH TILDE cell
        {"\u2016", "\x81\x61"},  // DOUBLE VERTICAL LINE -> PARALLEL TO cell
        {"\u2212", "\x81\x7C"},  // MINUS SIGN -> FULLWIDTH HYPHEN-MINUS cell
        {"\u2014", "\x81\x5C"},  // EM DASH -> HORIZONTAL BAR cell
        {"\u00A2", "\x81\x91"},  // CENT SIGN
        {"\u00A3", "\x81\x92"},  // POUND SIGN
        {"\u00AC", "\x81\xCA"},  // NOT SIGN
    };
    for (const auto& [from, to] : aliases) {
        if (ch == from) return to;
    }
    return nullptr;
}

constexpr std::string_view kReplacement = "\xEF\xBF\xBD";  // U+FFFD

// Runs iconv over the whole input. At each sequence iconv refuses, onError appends its own
// output and returns how many input bytes to skip; 0 gives up and makes the run fail.
template <typename OnError>
bool RunIconv(IconvHandle& handle, std::string_view input, std::string& out, OnError onError) {
    iconv_t cd = handle.Reset();
    out.assign(input.size() * 2 + 16, '\0');
    std::size_t used = 0;
    char* in = const_cast<char*>(input.data());
    std::size_t inLeft = input.size();
    bool flushing = false;  // all input read; write the closing shift sequence, if any
    while (true) {
        char* outPtr = out.data() + used;
        std::size_t outLeft = out.size() - used;
        std::size_t r = flushing ? iconv(cd, nullptr, nullptr, &outPtr, &outLeft)
                                 : iconv(cd, &in, &inLeft, &outPtr, &outLeft);
        int err = errno;
        used = out.size() - outLeft;
        if (r != static_cast<std::size_t>(-1)) {
            if (flushing) break;
            flushing = true;
            continue;
        }
        if (err == E2BIG) {
            out.resize(out.size() * 2);
            continue;
        }
        if (flushing) return false;
        out.resize(used);
        std::size_t skip = std::min(onError(input.size() - inLeft, out), inLeft);
        if (skip == 0) return false;
        in += skip;
        inLeft -= skip;
        used = out.size();
        out.resize(used + inLeft * 2 + 16);
    }
    out.resize(used);
    return true;
}

// The end of the run of ASCII bytes from pos, eight bytes at a time where it can.
std::size_t AsciiRunEnd(std::string_view s, std::size_t pos) {
    const std::size_t size = s.size();
    while (pos + 8 <= size) {
        std::uint64_t word;
        std::memcpy(&word, s.data() + pos, 8);
        if (word & 0x8080808080808080ull) break;
        pos += 8;
    }
    while (pos < size && static_cast<unsigned char>(s[pos]) < 0x80) ++pos;
    return pos;
}

// The code point of a well-formed sequence of len bytes at pos.
std::uint32_t DecodeUtf8(std::string_view s, std::size_t pos, std::size_t len) {
    auto byte = [&](std::size_t i) {
        return static_cast<std::uint32_t>(static_cast<unsigned char>(s[pos + i]));
    };
    switch (len) {
        case 1:
            return byte(0);
        case 2:
            return (byte(0) & 0x1F) << 6 | (byte(1) & 0x3F);
        case 3:
            return (byte(0) & 0x0F) << 12 | (byte(1) & 0x3F) << 6 | (byte(2) & 0x3F);
        default:
            return (byte(0) & 0x07) << 18 | (byte(1) & 0x3F) << 12 | (byte(2) & 0x3F) << 6 |
                   (byte(3) & 0x3F);
    }
}

}  // namespace

SjisEncoding Utf8ToShiftJis(std::string_view utf8) {
    SjisEncoding result;
    AppendUtf8AsShiftJis(utf8, result);
    return result;
}

namespace {

// The code page 932 bytes of a character (one byte below 0x100), or 0 when it has none.
std::uint16_t Cp932CodeOf(std::uint32_t cp) {
    return cp <= 0xFFFF ? kCp932Pages[kCp932PageOf[cp >> 8] * 256u + (cp & 0xFF)] : 0;
}

}  // namespace

void AppendUtf8AsShiftJis(std::string_view utf8, SjisEncoding& into) {
    std::string& bytes = into.bytes;
    const std::size_t start = bytes.size();
    // Never longer than the UTF-8: every character takes as many bytes or fewer. Written in
    // place (appending byte by byte costs more than the conversion); cut to size at the end.
    bytes.resize(start + utf8.size());
    char* const end = WriteUtf8AsShiftJis(utf8, bytes.data() + start, into.unrepresentable);
    bytes.resize(static_cast<std::size_t>(end - bytes.data()));
}

char* WriteUtf8AsShiftJis(std::string_view utf8, char* out,
                          std::vector<std::string>& unrepresentable) {
    constexpr std::uint64_t kHighBits = 0x8080808080808080ull;
    const char* const in = utf8.data();
    const std::size_t size = utf8.size();
    auto byte = [in](std::size_t i) { return static_cast<unsigned char>(in[i]); };
    std::size_t i = 0;
    while (i < size) {
        // ASCII eight bytes at a time, copied as they are checked.
        while (i + 8 <= size) {
            std::uint64_t word;
            std::memcpy(&word, in + i, 8);
            if (word & kHighBits) break;
            std::memcpy(out, &word, 8);
            out += 8;
            i += 8;
        }
        if (i == size) break;
        const unsigned char c = byte(i);
        if (c < 0x80) {
            *out++ = static_cast<char>(c);
            ++i;
            continue;
        }
        // Kana and kanji: three bytes the table answers without the general check. Below
        // U+0800 is an overlong form, and surrogates have no cell: both go the long way.
        if (c >= 0xE0 && c <= 0xEF && i + 3 <= size) {
            const unsigned b1 = byte(i + 1);
            const unsigned b2 = byte(i + 2);
            if (((b1 ^ 0x80u) | (b2 ^ 0x80u)) < 0x40u) {
                const std::uint32_t cp = (c & 0x0Fu) << 12 | (b1 & 0x3Fu) << 6 | (b2 & 0x3Fu);
                const std::uint16_t code = cp >= 0x800 ? Cp932CodeOf(cp) : 0;
                if (code > 0xFF) {
                    out[0] = static_cast<char>(code >> 8);
                    out[1] = static_cast<char>(code & 0xFF);
                    out += 2;
                    i += 3;
                    continue;
                }
                if (code != 0) {
                    *out++ = static_cast<char>(code);
                    i += 3;
                    continue;
                }
            }
        }
        const std::size_t len = Utf8SequenceLength(utf8, i);
        if (len == 0) {
            unrepresentable.emplace_back(kReplacement);
            *out++ = '?';
            ++i;
            continue;
        }
        const std::uint16_t code = Cp932CodeOf(DecodeUtf8(utf8, i, len));
        if (code > 0xFF) {
            *out++ = static_cast<char>(code >> 8);
            *out++ = static_cast<char>(code & 0xFF);
        } else if (code != 0) {
            *out++ = static_cast<char>(code);
        } else {
            const std::string_view ch = utf8.substr(i, len);
            if (const char* alias = Cp932Alias(ch)) {
                // Every alias is two bytes from a sequence of two or three.
                *out++ = alias[0];
                *out++ = alias[1];
            } else {
                unrepresentable.emplace_back(ch);
                *out++ = '?';
            }
        }
        i += len;
    }
    return out;
}

std::size_t AppendShiftJisAsUtf8(std::string_view sjis, std::string& text) {
    std::size_t invalid = 0;
    const std::size_t start = text.size();
    const std::size_t size = sjis.size();
    // A byte gives at most three bytes of UTF-8 (a half-width kana, or U+FFFD for a bad one).
    // Written in place (appending byte by byte costs more than the conversion); cut to size
    // at the end.
    text.resize(start + 3 * size);
    char* const out = text.data() + start;
    std::size_t used = 0;
    auto put = [&](std::uint32_t cp) {
        if (cp < 0x80) {
            out[used++] = static_cast<char>(cp);
        } else if (cp < 0x800) {
            out[used++] = static_cast<char>(0xC0 | cp >> 6);
            out[used++] = static_cast<char>(0x80 | (cp & 0x3F));
        } else {
            out[used++] = static_cast<char>(0xE0 | cp >> 12);
            out[used++] = static_cast<char>(0x80 | (cp >> 6 & 0x3F));
            out[used++] = static_cast<char>(0x80 | (cp & 0x3F));
        }
    };
    for (std::size_t i = 0; i < size;) {
        const std::size_t ascii = AsciiRunEnd(sjis, i);
        std::memcpy(out + used, sjis.data() + i, ascii - i);
        used += ascii - i;
        i = ascii;
        if (i == size) break;
        const auto lead = static_cast<unsigned char>(sjis[i]);
        std::uint16_t cp = kCp932Single[lead];
        std::size_t len = 1;
        if (cp == kNoCharacter && kCp932LeadRow[lead] != 0 && i + 1 < size) {
            const auto trail = static_cast<unsigned char>(sjis[i + 1]);
            cp = kCp932Pairs[(kCp932LeadRow[lead] - 1u) * 256u + trail];
            len = 2;
        }
        if (cp == kNoCharacter) {
            // As iconv is told: a lead and trail byte pair is one bad character, else one byte.
            ++invalid;
            std::memcpy(out + used, kReplacement.data(), kReplacement.size());
            used += kReplacement.size();
            const bool pair = IsSjisLeadByte(lead) && i + 1 < size &&
                              IsSjisTrailByte(static_cast<unsigned char>(sjis[i + 1]));
            i += pair ? 2 : 1;
            continue;
        }
        put(cp);
        i += len;
    }
    text.resize(start + used);
    return invalid;
}

Utf8Decoding ShiftJisToUtf8(std::string_view sjis) {
    Utf8Decoding result;
    // Japanese text grows by half (two bytes become three); ASCII does not grow.
    result.text.reserve(sjis.size() + sjis.size() / 2 + 16);
    result.invalidSequences = AppendShiftJisAsUtf8(sjis, result.text);
    return result;
}

std::string ToShiftJis(std::string_view utf8) {
    return Utf8ToShiftJis(utf8).bytes;
}

std::string FromShiftJis(std::string_view sjis) {
    return ShiftJisToUtf8(sjis).text;
}

namespace {

// One bit per character of the Basic Multilingual Plane that the conversion writes without a
// '?' (its own cell or an alias): 8 KB that stay in the first-level cache, where the tables'
// pages of kanji do not.
class Cp932Bits {
  public:
    Cp932Bits() {
        for (std::uint32_t cp = 0; cp < 0x10000; ++cp) {
            if (cp < 0x80 || Cp932CodeOf(cp) != 0) Set(cp);
        }
        for (const char* alias :
             {"\u301C", "\u2016", "\u2212", "\u2014", "\u00A2", "\u00A3", "\u00AC"}) {
            const std::string_view ch(alias);
            if (Cp932Alias(ch)) Set(DecodeUtf8(ch, 0, ch.size()));
        }
    }
    bool Has(std::uint32_t cp) const { return (words_[cp >> 6] >> (cp & 63)) & 1u; }

  private:
    void Set(std::uint32_t cp) { words_[cp >> 6] |= std::uint64_t{1} << (cp & 63); }
    std::uint64_t words_[0x10000 / 64] = {};
};

const Cp932Bits& Representable() {
    static const Cp932Bits bits;
    return bits;
}

}  // namespace

// The same test per character as the conversion, without writing the bytes.
std::optional<std::string> FirstUnrepresentable(std::string_view utf8) {
    const Cp932Bits& bits = Representable();
    const auto* s = reinterpret_cast<const unsigned char*>(utf8.data());
    const std::size_t size = utf8.size();
    for (std::size_t i = AsciiRunEnd(utf8, 0); i < size; i = AsciiRunEnd(utf8, i)) {
        // Kana, kanji and full-width forms: three bytes, decided by the bits alone.
        while (i + 3 <= size && (s[i] & 0xF0) == 0xE0 && (s[i + 1] & 0xC0) == 0x80 &&
               (s[i + 2] & 0xC0) == 0x80) {
            const std::uint32_t cp =
                (s[i] & 0x0Fu) << 12 | (s[i + 1] & 0x3Fu) << 6 | (s[i + 2] & 0x3Fu);
            // Overlong forms and surrogates are not characters: the general path names them.
            if (cp < 0x800 || (cp >= 0xD800 && cp <= 0xDFFF) || !bits.Has(cp)) break;
            i += 3;
        }
        if (i == size || s[i] < 0x80) continue;
        const std::size_t len = Utf8SequenceLength(utf8, i);
        if (len == 0) return std::string(kReplacement);
        const std::uint32_t cp = DecodeUtf8(utf8, i, len);
        if (cp > 0xFFFF || !bits.Has(cp)) return std::string(utf8.substr(i, len));
        i += len;
    }
    return std::nullopt;
}

bool AppendUtf16AsUtf8(std::u16string_view utf16, std::string& utf8,
                       std::optional<std::string>* unrepresentable, Utf16Breaks breaks) {
    const Cp932Bits& bits = Representable();
    const char16_t* const s = utf16.data();
    const std::size_t size = utf16.size();
    if (unrepresentable) unrepresentable->reset();
    bool checking = unrepresentable != nullptr;
    const bool plain = breaks == Utf16Breaks::Plain;
    // Written into a buffer of the longest size (three bytes a unit) and appended once, at
    // its own size.
    thread_local std::string buffer;
    if (buffer.size() < 3 * size) buffer.resize(3 * size);
    auto* const begin = reinterpret_cast<unsigned char*>(buffer.data());
    unsigned char* out = begin;
    for (std::size_t i = 0; i < size; ++i) {
        std::uint32_t c = s[i];
        if (c < 0x80) {
            *out++ = static_cast<unsigned char>(c);
            continue;
        }
        if (plain && (c == 0x2029 || c == 0x2028 || c == 0xFDD0 || c == 0xFDD1 || c == 0xA0)) {
            *out++ = c == 0xA0 ? ' ' : '\n';
            continue;
        }
        unsigned char* const at = out;
        if (c < 0x800) {
            *out++ = static_cast<unsigned char>(0xC0 | c >> 6);
            *out++ = static_cast<unsigned char>(0x80 | (c & 0x3F));
        } else if (c < 0xD800 || c > 0xDFFF) {
            *out++ = static_cast<unsigned char>(0xE0 | c >> 12);
            *out++ = static_cast<unsigned char>(0x80 | (c >> 6 & 0x3F));
            *out++ = static_cast<unsigned char>(0x80 | (c & 0x3F));
        } else if (c <= 0xDBFF && i + 1 < size && s[i + 1] >= 0xDC00 && s[i + 1] <= 0xDFFF) {
            c = 0x10000 + ((c - 0xD800u) << 10) + (s[++i] - 0xDC00u);
            *out++ = static_cast<unsigned char>(0xF0 | c >> 18);
            *out++ = static_cast<unsigned char>(0x80 | (c >> 12 & 0x3F));
            *out++ = static_cast<unsigned char>(0x80 | (c >> 6 & 0x3F));
            *out++ = static_cast<unsigned char>(0x80 | (c & 0x3F));
        } else {
            if (unrepresentable) unrepresentable->reset();
            return false;
        }
        // Nothing beyond the first plane has a code page 932 form.
        if (checking && (c > 0xFFFF || !bits.Has(c))) {
            unrepresentable->emplace(reinterpret_cast<const char*>(at),
                                     static_cast<std::size_t>(out - at));
            checking = false;
        }
    }
    utf8.append(buffer.data(), static_cast<std::size_t>(out - begin));
    // Kept for the next text of a page's size, not for the next after a pasted book.
    if (buffer.size() > (std::size_t{1} << 20)) std::string().swap(buffer);
    return true;
}

std::optional<std::string> Convert(std::string_view bytes, const char* from, const char* to) {
    std::string out;
    bool ok = RunIconv(Handle(to, from), bytes, out,
                       [](std::size_t, std::string&) -> std::size_t { return 0; });
    if (!ok) return std::nullopt;
    return out;
}

bool IsValidUtf8(std::string_view bytes) {
    for (std::size_t i = 0; i < bytes.size();) {
        std::size_t len = Utf8SequenceLength(bytes, i);
        if (len == 0) return false;
        i += len;
    }
    return true;
}

std::size_t Utf8CharLength(std::string_view bytes, std::size_t pos) {
    return pos < bytes.size() ? Utf8SequenceLength(bytes, pos) : 0;
}

}  // namespace almx::text
