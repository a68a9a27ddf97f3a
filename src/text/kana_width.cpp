#include "text/kana_width.h"

#include <algorithm>
#include <array>
#include <utility>

#include "text/sjis_chars.h"

namespace almx::text {

namespace {

// Full-width forms of 0x20-0x7E. The quotes go to the JIS X 0208 cells ” and ’ (the full-width
// ＂ and ＇ exist only among the IBM extensions, which ISO-2022-JP mail cannot carry); "\" and
// "~" go to ＼ and ～, the characters they are in UTF-8.
constexpr std::array<CharCode, 0x5F> kAsciiFull = {
    0x8140, 0x8149, 0x8168, 0x8194, 0x8190, 0x8193, 0x8195, 0x8166,  // 　！”＃＄％＆’
    0x8169, 0x816A, 0x8196, 0x817B, 0x8143, 0x817C, 0x8144, 0x815E,  // （）＊＋，－．／
    0x824F, 0x8250, 0x8251, 0x8252, 0x8253, 0x8254, 0x8255, 0x8256,  // ０-７
    0x8257, 0x8258, 0x8146, 0x8147, 0x8183, 0x8181, 0x8184, 0x8148,  // ８９：；＜＝＞？
    0x8197, 0x8260, 0x8261, 0x8262, 0x8263, 0x8264, 0x8265, 0x8266,  // ＠Ａ-Ｇ
    0x8267, 0x8268, 0x8269, 0x826A, 0x826B, 0x826C, 0x826D, 0x826E,  // Ｈ-Ｏ
    0x826F, 0x8270, 0x8271, 0x8272, 0x8273, 0x8274, 0x8275, 0x8276,  // Ｐ-Ｗ
    0x8277, 0x8278, 0x8279, 0x816D, 0x815F, 0x816E, 0x814F, 0x8151,  // ＸＹＺ［＼］＾＿
    0x814D, 0x8281, 0x8282, 0x8283, 0x8284, 0x8285, 0x8286, 0x8287,  // ｀ａ-ｇ
    0x8288, 0x8289, 0x828A, 0x828B, 0x828C, 0x828D, 0x828E, 0x828F,  // ｈ-ｏ
    0x8290, 0x8291, 0x8292, 0x8293, 0x8294, 0x8295, 0x8296, 0x8297,  // ｐ-ｗ
    0x8298, 0x8299, 0x829A, 0x816F, 0x8162, 0x8170, 0x8160,          // ｘｙｚ｛｜｝～
};

// Full-width forms of the half-width katakana 0xA1-0xDF.
constexpr std::array<CharCode, 0x3F> kKanaFull = {
    0x8142, 0x8175, 0x8176, 0x8141, 0x8145, 0x8392, 0x8340, 0x8342,  // 。「」、・ヲァィ
    0x8344, 0x8346, 0x8348, 0x8383, 0x8385, 0x8387, 0x8362, 0x815B,  // ゥェォャュョッー
    0x8341, 0x8343, 0x8345, 0x8347, 0x8349, 0x834A, 0x834C, 0x834E,  // アイウエオカキク
    0x8350, 0x8352, 0x8354, 0x8356, 0x8358, 0x835A, 0x835C, 0x835E,  // ケコサシスセソタ
    0x8360, 0x8363, 0x8365, 0x8367, 0x8369, 0x836A, 0x836B, 0x836C,  // チツテトナニヌネ
    0x836D, 0x836E, 0x8371, 0x8374, 0x8377, 0x837A, 0x837D, 0x837E,  // ノハヒフヘホマミ
    0x8380, 0x8381, 0x8382, 0x8384, 0x8386, 0x8388, 0x8389, 0x838A,  // ムメモヤユヨラリ
    0x838B, 0x838C, 0x838D, 0x838F, 0x8393, 0x814A, 0x814B,          // ルレロワン゛゜
};

struct VoicedEntry {
    unsigned char halfKana;
    unsigned char halfMark;
    CharCode katakana;
    CharCode hiragana;
};

// The 26 voiced kana in their fixed order. The hiragana column ends with the katakana ヴ,
// which has no hiragana of its own in code page 932.
constexpr std::array<VoicedEntry, 26> kVoiced = {{
    {0xB6, 0xDE, 0x834B, 0x82AA},  // ｶﾞ ガ が
    {0xB7, 0xDE, 0x834D, 0x82AC},  // ｷﾞ ギ ぎ
    {0xB8, 0xDE, 0x834F, 0x82AE},  // ｸﾞ グ ぐ
    {0xB9, 0xDE, 0x8351, 0x82B0},  // ｹﾞ ゲ げ
    {0xBA, 0xDE, 0x8353, 0x82B2},  // ｺﾞ ゴ ご
    {0xBB, 0xDE, 0x8355, 0x82B4},  // ｻﾞ ザ ざ
    {0xBC, 0xDE, 0x8357, 0x82B6},  // ｼﾞ ジ じ
    {0xBD, 0xDE, 0x8359, 0x82B8},  // ｽﾞ ズ ず
    {0xBE, 0xDE, 0x835B, 0x82BA},  // ｾﾞ ゼ ぜ
    {0xBF, 0xDE, 0x835D, 0x82BC},  // ｿﾞ ゾ ぞ
    {0xC0, 0xDE, 0x835F, 0x82BE},  // ﾀﾞ ダ だ
    {0xC1, 0xDE, 0x8361, 0x82C0},  // ﾁﾞ ヂ ぢ
    {0xC2, 0xDE, 0x8364, 0x82C3},  // ﾂﾞ ヅ づ
    {0xC3, 0xDE, 0x8366, 0x82C5},  // ﾃﾞ デ で
    {0xC4, 0xDE, 0x8368, 0x82C7},  // ﾄﾞ ド ど
    {0xCA, 0xDE, 0x836F, 0x82CE},  // ﾊﾞ バ ば
    {0xCB, 0xDE, 0x8372, 0x82D1},  // ﾋﾞ ビ び
    {0xCC, 0xDE, 0x8375, 0x82D4},  // ﾌﾞ ブ ぶ
    {0xCD, 0xDE, 0x8378, 0x82D7},  // ﾍﾞ ベ べ
    {0xCE, 0xDE, 0x837B, 0x82DA},  // ﾎﾞ ボ ぼ
    {0xCA, 0xDF, 0x8370, 0x82CF},  // ﾊﾟ パ ぱ
    {0xCB, 0xDF, 0x8373, 0x82D2},  // ﾋﾟ ピ ぴ
    {0xCC, 0xDF, 0x8376, 0x82D5},  // ﾌﾟ プ ぷ
    {0xCD, 0xDF, 0x8379, 0x82D8},  // ﾍﾟ ペ ぺ
    {0xCE, 0xDF, 0x837C, 0x82DB},  // ﾎﾟ ポ ぽ
    {0xB3, 0xDE, 0x8394, 0x8394},  // ｳﾞ ヴ ヴ
}};

using HalfOf = std::pair<CharCode, unsigned char>;  // full-width code, single byte

// Both width tables turned round and sorted by full-width code, for binary search.
constexpr std::array<HalfOf, kAsciiFull.size() + kKanaFull.size()> MakeHalfTable() {
    std::array<HalfOf, kAsciiFull.size() + kKanaFull.size()> table{};
    std::size_t n = 0;
    for (std::size_t i = 0; i < kAsciiFull.size(); ++i) {
        table[n++] = {kAsciiFull[i], static_cast<unsigned char>(0x20 + i)};
    }
    for (std::size_t i = 0; i < kKanaFull.size(); ++i) {
        table[n++] = {kKanaFull[i], static_cast<unsigned char>(0xA1 + i)};
    }
    std::sort(table.begin(), table.end());
    return table;
}

constexpr auto kHalfTable = MakeHalfTable();

// Ranges that hold every voiced kana, to pass over other characters quickly.
constexpr CharCode kFirstVoicedKatakana = 0x834B;  // ガ
constexpr CharCode kLastVoicedKatakana = 0x8394;   // ヴ
bool MayBeVoicedKatakana(CharCode c) {
    return c >= kFirstVoicedKatakana && c <= kLastVoicedKatakana;
}
bool MayBeVoicedHiragana(CharCode c) {
    return c >= 0x82AA && c <= 0x82DB;
}

const VoicedEntry* FindVoiced(CharCode full) {
    if (!MayBeVoicedKatakana(full) && !MayBeVoicedHiragana(full)) return nullptr;
    for (const auto& entry : kVoiced) {
        if (entry.katakana == full || entry.hiragana == full) return &entry;
    }
    return nullptr;
}

// The voiced-kana table indexed for the matcher's inner loop: by half-width katakana and
// mark, and by voiced katakana (0 where there is none).
using VoicedByHalf = std::array<std::array<CharCode, 0x3F>, 2>;
constexpr VoicedByHalf MakeVoicedByHalf() {
    VoicedByHalf table{};
    for (const auto& entry : kVoiced) {
        table[entry.halfMark - kHalfVoicedMark][entry.halfKana - 0xA1] = entry.katakana;
    }
    return table;
}
constexpr auto kVoicedByHalf = MakeVoicedByHalf();

using UnvoicedByVoiced = std::array<CharCode, kLastVoicedKatakana - kFirstVoicedKatakana + 1>;
constexpr UnvoicedByVoiced MakeUnvoiced() {
    UnvoicedByVoiced table{};
    for (const auto& entry : kVoiced) {
        table[entry.katakana - kFirstVoicedKatakana] = kKanaFull[entry.halfKana - 0xA1];
    }
    return table;
}
constexpr auto kUnvoiced = MakeUnvoiced();

constexpr CharCode kHyphen = 0x815D;  // ‐
constexpr CharCode kTimes = 0x817E;   // ×
constexpr CharCode kDivide = 0x8180;  // ÷

std::optional<unsigned char> SymbolToAscii(CharCode code) {
    switch (code) {
        case kHyphen:
            return '-';
        case kTimes:
            return '*';
        case kDivide:
            return '/';
        default:
            return std::nullopt;
    }
}

}  // namespace

std::optional<CharCode> FullWidthOf(unsigned char c) {
    if (c >= 0x20 && c <= 0x7E) return kAsciiFull[c - 0x20];
    if (c >= 0xA1 && c <= 0xDF) return kKanaFull[c - 0xA1];
    return std::nullopt;
}

std::optional<unsigned char> HalfWidthOf(CharCode full) {
    auto it = std::lower_bound(kHalfTable.begin(), kHalfTable.end(), HalfOf{full, 0});
    if (it == kHalfTable.end() || it->first != full) return std::nullopt;
    return it->second;
}

std::optional<CharCode> VoicedKatakana(unsigned char halfKana, unsigned char halfMark) {
    if (halfMark != kHalfVoicedMark && halfMark != kHalfSemiVoicedMark) return std::nullopt;
    if (halfKana < 0xA1 || halfKana > 0xDF) return std::nullopt;
    CharCode voiced = kVoicedByHalf[halfMark - kHalfVoicedMark][halfKana - 0xA1];
    return voiced ? std::optional<CharCode>(voiced) : std::nullopt;
}

std::optional<HalfPair> HalfPairOf(CharCode voiced) {
    const VoicedEntry* entry = FindVoiced(voiced);
    if (!entry) return std::nullopt;
    return HalfPair{entry->halfKana, entry->halfMark};
}

std::optional<CharCode> UnvoicedKatakana(CharCode voiced) {
    if (!MayBeVoicedKatakana(voiced)) return std::nullopt;
    CharCode unvoiced = kUnvoiced[voiced - kFirstVoicedKatakana];
    return unvoiced ? std::optional<CharCode>(unvoiced) : std::nullopt;
}

CountedText ZenToHan(std::string_view sjis) {
    CountedText result;
    result.text.reserve(sjis.size() * 2);
    for (std::size_t pos = 0; pos < sjis.size();) {
        std::size_t len = SjisCharLength(sjis, pos);
        CharCode code = CharCodeAt(sjis, pos, len);
        if (len == 2) {
            if (auto pair = HalfPairOf(code)) {
                result.text += static_cast<char>(pair->kana);
                result.text += static_cast<char>(pair->mark);
                pos += len;
                continue;
            }
            auto half = HalfWidthOf(code);
            if (!half) half = SymbolToAscii(code);
            if (half) {
                result.text += static_cast<char>(*half);
                ++result.count;
                pos += len;
                continue;
            }
        }
        result.text.append(sjis, pos, len);
        pos += len;
    }
    return result;
}

CountedText HanToZen(std::string_view sjis) {
    CountedText result;
    result.text.reserve(sjis.size() * 2);
    for (std::size_t pos = 0; pos < sjis.size();) {
        std::size_t len = SjisCharLength(sjis, pos);
        if (len == 1 && pos + 1 < sjis.size()) {
            auto voiced = VoicedKatakana(static_cast<unsigned char>(sjis[pos]),
                                         static_cast<unsigned char>(sjis[pos + 1]));
            if (voiced) {
                AppendCharCode(result.text, *voiced);
                pos += 2;
                continue;
            }
        }
        auto full = len == 1 ? FullWidthOf(static_cast<unsigned char>(sjis[pos])) : std::nullopt;
        if (full) {
            AppendCharCode(result.text, *full);
            ++result.count;
        } else {
            result.text.append(sjis, pos, len);
        }
        pos += len;
    }
    return result;
}

}  // namespace almx::text
