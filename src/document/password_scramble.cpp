#include "document/password_scramble.h"

#include "text/encoding.h"
#include "text/sjis_chars.h"

namespace almx {

namespace {

constexpr int kShifts[8] = {3, 7, 1, 5, 2, 6, 4, 8};

char Rotate(char c, int shift) {
    auto rotate = [&](char first, int size) {
        return static_cast<char>(first + ((c - first + shift) % size + size) % size);
    };
    if (c >= '0' && c <= '9') return rotate('0', 10);
    if (c >= 'A' && c <= 'Z') return rotate('A', 26);
    if (c >= 'a' && c <= 'z') return rotate('a', 26);
    return c;
}

// Positions count Shift_JIS bytes, as the file holds them; the bytes of a double-byte
// character are kept, so a trail byte that looks like a letter is never changed.
std::string Apply(std::string_view text, int direction) {
    bool ascii = true;
    for (char c : text) ascii = ascii && static_cast<unsigned char>(c) < 0x80;
    std::string sjis = ascii ? std::string(text) : text::ToShiftJis(text);
    for (std::size_t i = 0; i < sjis.size(); ++i) {
        auto byte = static_cast<unsigned char>(sjis[i]);
        if (text::IsSjisLeadByte(byte) && i + 1 < sjis.size()) {
            ++i;
            continue;
        }
        sjis[i] = Rotate(sjis[i], direction * kShifts[i % 8]);
    }
    return ascii ? sjis : text::FromShiftJis(sjis);
}

}  // namespace

std::string ScramblePassword(std::string_view password) {
    return Apply(password, 1);
}

std::string UnscramblePassword(std::string_view stored) {
    return Apply(stored, -1);
}

}  // namespace almx
