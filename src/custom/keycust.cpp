#include "custom/keycust.h"

#include <algorithm>
#include <cstdio>
#include <string>

#include "base/archive_reader.h"

namespace almx {

namespace {

constexpr const char* kTruncated = "キー定義ファイルが途中で切れています";
constexpr const char* kMalformed = "キー定義ファイルの形式が正しくありません";

constexpr archive::ClassSpec kKeycustClass{"CKeycust", 1};

std::vector<KeyTableEntry> BuildKeyTable() {
    std::vector<KeyTableEntry> table;
    table.reserve(81);
    char name[16];
    for (int i = 1; i <= 15; ++i) {
        std::snprintf(name, sizeof name, "F%d", i);
        table.push_back({name, 111 + i});
    }
    table.push_back({"@", 192});
    for (char c = 'A'; c <= 'Z'; ++c) table.push_back({std::string(1, c), c});
    const KeyTableEntry named[] = {
        {"Insert", 45}, {"Delete", 46},   {"BackSpace", 8}, {"Enter", 13}, {"Space", 32},
        {"PageUp", 33}, {"PageDown", 34}, {"End", 35},      {"Home", 36},  {"*", 106},
        {"+", 107},     {"-", 109},       {"/", 111},       {"Up", 38},    {"Down", 40},
        {"Left", 37},   {"Right", 39},    {"Escape", 27},   {"Tab", 9},
    };
    table.insert(table.end(), std::begin(named), std::end(named));
    for (char c = '0'; c <= '9'; ++c) table.push_back({std::string(1, c), c});
    for (int i = 0; i <= 9; ++i) {
        std::snprintf(name, sizeof name, "NUMPAD%c", '0' + i);
        table.push_back({name, 96 + i});
    }
    return table;
}

void Put16(std::string& out, std::uint16_t value) {
    out.push_back(static_cast<char>(value & 0xFF));
    out.push_back(static_cast<char>(value >> 8));
}

}  // namespace

std::span<const KeyTableEntry> KeyTable() {
    static const std::vector<KeyTableEntry> table = BuildKeyTable();
    return table;
}

std::string KeyName(int code) {
    for (const KeyTableEntry& entry : KeyTable()) {
        if (entry.code == code) return entry.name;
    }
    return {};
}

bool InKeyTable(int code) {
    const auto table = KeyTable();
    return std::any_of(table.begin(), table.end(),
                       [code](const KeyTableEntry& entry) { return entry.code == code; });
}

std::string ModifierPrefix(bool alt, bool shift, bool ctrl) {
    std::string text;
    if (alt) text += "Alt+";
    if (shift) text += "Shift+";
    if (ctrl) text += "Ctrl+";
    return text;
}

std::string KeyDisplayText(const CKeycust& binding) {
    return ModifierPrefix(binding.alt != 0, binding.shift != 0, binding.ctrl != 0) +
           KeyName(binding.key);
}

std::string KeyDisplayTextOrCode(const CKeycust& binding) {
    if (InKeyTable(binding.key)) return KeyDisplayText(binding);
    return ModifierPrefix(binding.alt != 0, binding.shift != 0, binding.ctrl != 0) + "#" +
           std::to_string(binding.key);
}

std::optional<CKeycust> ParseKeyDisplayText(std::string_view text) {
    CKeycust binding;
    for (;;) {
        if (text.starts_with("Alt+") && !binding.alt) {
            binding.alt = 1;
            text.remove_prefix(4);
        } else if (text.starts_with("Shift+") && !binding.shift) {
            binding.shift = 1;
            text.remove_prefix(6);
        } else if (text.starts_with("Ctrl+") && !binding.ctrl) {
            binding.ctrl = 1;
            text.remove_prefix(5);
        } else {
            break;
        }
    }
    if (text.starts_with("#")) {
        text.remove_prefix(1);
        if (text.empty() || text.size() > 5) return std::nullopt;
        unsigned value = 0;
        for (char c : text) {
            if (c < '0' || c > '9') return std::nullopt;
            value = value * 10 + static_cast<unsigned>(c - '0');
        }
        if (value == 0 || value > 0xFFFF) return std::nullopt;
        binding.key = static_cast<std::uint16_t>(value);
        return binding;
    }
    for (const KeyTableEntry& entry : KeyTable()) {
        if (entry.name == text) {
            binding.key = static_cast<std::uint16_t>(entry.code);
            return binding;
        }
    }
    return std::nullopt;
}

KeyFileRead ReadKeyFile(std::string_view bytes) {
    KeyFileRead result;
    archive::Reader in(bytes);
    try {
        const std::uint32_t count = archive::ReadCount(in);
        archive::LoadTable table;
        for (std::uint32_t i = 0; i < count; ++i) {
            if (!table.ReadObjectTag(in, kKeycustClass)) continue;
            CKeycust binding;
            binding.key = in.U16();
            binding.alt = in.U16();
            binding.shift = in.U16();
            binding.ctrl = in.U16();
            binding.command = in.U16();
            // The dialog only ever wrote 0 or 1; a menu showed "Alt+" for any other value
            // while the lookup never matched it.
            for (std::uint16_t* flag : {&binding.alt, &binding.shift, &binding.ctrl}) {
                if (*flag > 1) {
                    *flag = 1;
                    ++result.mended;
                }
            }
            const bool shadowed =
                std::any_of(result.bindings.begin(), result.bindings.end(),
                            [&](const CKeycust& earlier) { return earlier.SameKeys(binding); });
            if (binding.command == 0 || shadowed) {
                ++result.mended;
                continue;
            }
            result.bindings.push_back(binding);
        }
    } catch (const archive::Failure& failure) {
        result.bindings.clear();
        result.mended = 0;
        result.error = failure.kind == archive::FailureKind::Truncated ? kTruncated : kMalformed;
        result.errorOffset = failure.offset;
    }
    return result;
}

std::string WriteKeyFile(std::span<const CKeycust> bindings) {
    std::string out;
    out.reserve(6 + 14 + bindings.size() * 12);
    if (bindings.size() < 0xFFFF) {
        Put16(out, static_cast<std::uint16_t>(bindings.size()));
    } else {
        Put16(out, 0xFFFF);
        const auto count = static_cast<std::uint32_t>(bindings.size());
        Put16(out, static_cast<std::uint16_t>(count & 0xFFFF));
        Put16(out, static_cast<std::uint16_t>(count >> 16));
    }
    bool first = true;
    for (const CKeycust& binding : bindings) {
        if (first) {
            Put16(out, 0xFFFF);
            Put16(out, kKeycustClass.schema);
            Put16(out, static_cast<std::uint16_t>(kKeycustClass.name.size()));
            out.append(kKeycustClass.name);
            first = false;
        } else {
            Put16(out, 0x8001);
        }
        for (std::uint16_t value :
             {binding.key, binding.alt, binding.shift, binding.ctrl, binding.command}) {
            Put16(out, value);
        }
    }
    return out;
}

}  // namespace almx
