#pragma once
// Key assignments: one binding (`CKeycust`), the keys offered (`KeyTable`) with their display
// texts, and the key assignment file, a binary archive of the binding list.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace almx {

// One binding; codes are Windows virtual key codes, as the files hold them.
struct CKeycust {
    std::uint16_t key = 0;
    std::uint16_t alt = 0;
    std::uint16_t shift = 0;
    std::uint16_t ctrl = 0;
    std::uint16_t command = 0;  // 0: none

    bool SameKeys(const CKeycust& other) const {
        return key == other.key && alt == other.alt && shift == other.shift && ctrl == other.ctrl;
    }
    bool operator==(const CKeycust&) const = default;
};

struct KeyTableEntry {
    std::string name;
    int code;
};

// The 81 keys offered, in the order the dialog lists them.
std::span<const KeyTableEntry> KeyTable();
// The first table entry with the code; empty for a code outside the table.
std::string KeyName(int code);
bool InKeyTable(int code);
// "Alt+" "Shift+" "Ctrl+" as held, then the key name ("Alt+Shift+Ctrl+F5").
std::string ModifierPrefix(bool alt, bool shift, bool ctrl);
std::string KeyDisplayText(const CKeycust& binding);

// The display text of a binding with "#<code>" for a code outside the table.
std::string KeyDisplayTextOrCode(const CKeycust& binding);
// Reads a display text back ("Ctrl+F5", "Alt+#200"): the modifiers in any order, then a key
// name of the table or "#" and a code from 1 to 65535. Nothing for any other text.
std::optional<CKeycust> ParseKeyDisplayText(std::string_view text);

struct KeyFileRead {
    std::vector<CKeycust> bindings;  // empty on failure
    std::string error;               // empty when read
    std::size_t errorOffset = 0;
    // Bindings dropped or changed while reading: duplicates, command 0, modifiers above 1.
    int mended = 0;

    bool Ok() const { return error.empty(); }
};

// Parses a key assignment file. Only the first binding of a key with its modifiers can fire,
// so later ones are dropped; so are bindings of command 0; a modifier other than 0 reads as 1.
// Bytes after the last binding are ignored.
KeyFileRead ReadKeyFile(std::string_view bytes);
// The file's bytes for the list (three bindings: 50 bytes).
std::string WriteKeyFile(std::span<const CKeycust> bindings);

// Files larger than this are not key files: 648 bindings take under 8 KiB.
inline constexpr std::size_t kMaxKeyFileSize = 1u << 20;

}  // namespace almx
