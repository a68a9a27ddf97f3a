// An address book of any bytes, as the CSV (first byte even) or as the older binary book (odd).
// CSV: every entry is found by its name at or before its own place, and a cell that names no
// file expands to trimmed, non-empty lines without any message. Binary: a read either fails
// or its entries, written again, read back as themselves once Shift_JIS has replaced what it
// cannot hold.
#include <string>

#include "base/prompter.h"
#include "fuzz_check.h"
#include "mail/address_book.h"
#include "text/encoding.h"

namespace {

std::string U16(unsigned v) {
    return {static_cast<char>(v & 0xFF), static_cast<char>((v >> 8) & 0xFF)};
}

std::string Text(const std::string& utf8) {
    const std::string sjis = almx::text::ToShiftJis(utf8);
    if (sjis.size() < 255) return std::string(1, static_cast<char>(sjis.size())) + sjis;
    if (sjis.size() < 0xFFFE) return "\xFF" + U16(static_cast<unsigned>(sjis.size())) + sjis;
    const auto n = static_cast<unsigned>(sjis.size());
    return "\xFF" + U16(0xFFFF) + U16(n & 0xFFFF) + U16(n >> 16) + sjis;
}

std::string Write(const std::vector<almx::LegacyAddress>& entries) {
    std::string out = U16(static_cast<unsigned>(entries.size()));
    for (std::size_t i = 0; i < entries.size(); ++i) {
        out += i == 0 ? U16(0xFFFF) + U16(1) + U16(8) + "CAddress" : U16(0x8001);
        out += U16(100) + Text(entries[i].name) + Text(entries[i].address);
    }
    return out;
}

bool Same(const std::vector<almx::LegacyAddress>& a, const std::vector<almx::LegacyAddress>& b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (a[i].name != b[i].name || a[i].address != b[i].address) return false;
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, std::size_t size) {
    if (size == 0) return 0;
    const std::string_view bytes(reinterpret_cast<const char*>(data) + 1, size - 1);
    if (data[0] % 2 == 0) {
        almx::AddressBook book;
        book.LoadCsvBytes(bytes);
        almx::ScriptedPrompter prompter;
        for (std::size_t i = 0; i < book.Size(); ++i) {
            const auto found = book.Find(book.Name(i));
            FUZZ_CHECK(book.Name(i).empty() ? !found : (found && *found <= i));
            if (almx::NamesAddressFile(book.Addresses(i))) continue;
            std::vector<std::string> list;
            const std::size_t added = book.Expand(i, list, prompter);
            FUZZ_CHECK(added == list.size());
            for (const std::string& address : list) {
                FUZZ_CHECK(!address.empty());
                FUZZ_CHECK(address.find_first_of("\r\n") == std::string::npos);
                FUZZ_CHECK(address.front() != ' ' && address.back() != ' ');
            }
        }
        FUZZ_CHECK(prompter.Shown().empty());
        return 0;
    }
    const almx::LegacyAddressRead read = almx::ReadLegacyAddressBook(bytes);
    if (!read.complete) return 0;
    const almx::LegacyAddressRead normal = almx::ReadLegacyAddressBook(Write(read.entries));
    FUZZ_CHECK(normal.complete);
    FUZZ_CHECK(normal.entries.size() == read.entries.size());
    const almx::LegacyAddressRead again = almx::ReadLegacyAddressBook(Write(normal.entries));
    FUZZ_CHECK(again.complete);
    FUZZ_CHECK(Same(again.entries, normal.entries));
    return 0;
}
