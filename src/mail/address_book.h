#pragma once
// The address book "qpostadr.csv": entries a recipient field may name instead of spelling out
// addresses. The user maintains the file with other tools; the program only reads it, and
// converts the older "qpostadr.dat" once when no CSV exists yet.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "exchange/card_table.h"

namespace almx {

class MailSettings;
class Prompter;

namespace address_messages {
inline constexpr const char* kFileMissing = "アドレスファイルがみつかりません - ";
inline constexpr const char* kFileTooLarge = "アドレスファイルが大きすぎます（1MBまで） - ";
}  // namespace address_messages

// One entry of the older binary book.
struct LegacyAddress {
    std::string name;
    std::string address;
};

// The entries of "qpostadr.dat" (Shift_JIS texts decoded). Every count and length is checked
// against the bytes left; on a truncated or malformed file the entries read before the fault
// come back and complete is false.
struct LegacyAddressRead {
    std::vector<LegacyAddress> entries;
    bool complete = true;
};
LegacyAddressRead ReadLegacyAddressBook(std::string_view bytes);

// How the book was found.
enum class AddressBookSource {
    Csv,           // the CSV file was read
    Converted,     // no CSV: built from "qpostadr.dat" and written as the CSV
    LegacyOnly,    // no CSV: built from a damaged "qpostadr.dat", not written
    Empty,         // neither could be read
    CsvUnreadable  // a CSV exists but could not be read; left alone, the book is empty
};

class AddressBook {
  public:
    static constexpr const char* kCsvName = "qpostadr.csv";
    static constexpr const char* kDatName = "qpostadr.dat";
    static constexpr int kNameColumn = 0;
    static constexpr int kAddressColumn = 1;

    // An empty book with the header.
    AddressBook();

    // The CSV's path: the setting ("AdrCategory"/"System") when it is a path of this system,
    // else "qpostadr.csv" in folder (a path written on Windows means the default).
    static std::string CsvPath(std::string_view setting, const std::string& folder);

    // Reads the CSV; when there is no CSV file at all, converts the .dat found at datPath.
    AddressBookSource Load(const std::string& csvPath, const std::string& datPath);
    // Load with the paths the mail settings give: the CSV of "AdrCategory"/"System" and
    // "qpostadr.dat" in the settings' folder.
    AddressBookSource Load(const MailSettings& mail);
    // The CSV's bytes: UTF-8 when they are valid UTF-8, else Shift_JIS.
    void LoadCsvBytes(std::string_view bytes);

    std::size_t Size() const { return table_.RowCount(); }
    std::string_view Name(std::size_t index) const;
    std::string_view Addresses(std::size_t index) const;
    const CardTable& Table() const { return table_; }

    // The first entry whose name equals the text exactly; an empty text finds nothing.
    std::optional<std::size_t> Find(std::string_view name) const;
    // Adds the entry's addresses to list: the lines of the file its cell names, or the lines
    // of the cell itself; empty lines are skipped. A file that cannot be read is reported and
    // adds nobody. Returns how many were added.
    std::size_t Expand(std::size_t index, std::vector<std::string>& list, Prompter& prompter) const;

  private:
    void SetHeader();
    CardTable table_;
};

// Whether an address cell names a file of addresses: one line that begins with "/" or "~/",
// or holds a backslash and does not end with one (a cell written on Windows).
bool NamesAddressFile(std::string_view cell);

}  // namespace almx
