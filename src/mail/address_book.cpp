#include "mail/address_book.h"

#include "base/archive_reader.h"
#include "base/file_io.h"
#include "base/prompter.h"
#include "mail/mail_settings.h"
#include "text/encoding.h"

namespace almx {

namespace {

constexpr const char* kHeader[] = {"氏名",     "メールアドレス", "郵便番号", "住所",
                                   "電話番号", "メモ",           "カテゴリ"};

// A length-prefixed text of the archive: one byte below 255, else 0xFF and 16 bits below
// 0xFFFE, else 0xFF, 0xFFFF and 32 bits. 0xFFFE marks a UTF-16 text, which this book never
// held.
std::string ReadArchiveText(archive::Reader& in) {
    std::uint32_t length = in.U8();
    if (length == 0xFF) {
        length = in.U16();
        if (length == 0xFFFE) in.Fail();
        if (length == 0xFFFF) length = in.U32();
    }
    return text::ShiftJisToUtf8(in.Bytes(length)).text;
}

std::string_view TrimLineEnds(std::string_view s) {
    while (!s.empty() && (s.back() == '\r' || s.back() == '\n')) s.remove_suffix(1);
    return s;
}

std::string_view TrimBlanks(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
    return s;
}

// Adds every non-empty line (CR LF, LF or CR ends one).
std::size_t AddLines(std::string_view text, std::vector<std::string>& list) {
    std::size_t added = 0;
    std::size_t pos = 0;
    while (pos <= text.size()) {
        std::size_t end = text.find_first_of("\r\n", pos);
        if (end == std::string_view::npos) end = text.size();
        const std::string_view line = TrimBlanks(text.substr(pos, end - pos));
        if (!line.empty()) {
            list.emplace_back(line);
            ++added;
        }
        if (end == text.size()) break;
        pos = end + ((text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n') ? 2 : 1);
    }
    return added;
}

}  // namespace

LegacyAddressRead ReadLegacyAddressBook(std::string_view bytes) {
    LegacyAddressRead result;
    archive::Reader in(bytes);
    archive::LoadTable table;
    try {
        const std::uint32_t count = archive::ReadCount(in);
        // Each entry takes at least two bytes: a count beyond that is a lie.
        if (count > in.Left() / 2) in.Fail();
        for (std::uint32_t i = 0; i < count; ++i) {
            if (!table.ReadObjectTag(in, {"CAddress", 1})) continue;
            in.U16();  // the object's own version, 100
            LegacyAddress entry;
            entry.name = ReadArchiveText(in);
            entry.address = ReadArchiveText(in);
            result.entries.push_back(std::move(entry));
        }
    } catch (const archive::Failure&) {
        result.complete = false;
    }
    return result;
}

bool NamesAddressFile(std::string_view cell) {
    cell = TrimBlanks(TrimLineEnds(cell));
    if (cell.empty() || cell.find_first_of("\r\n") != std::string_view::npos) return false;
    if (cell.front() == '/' || cell.rfind("~/", 0) == 0) return true;
    return cell.find('\\') != std::string_view::npos && cell.back() != '\\';
}

AddressBook::AddressBook() {
    SetHeader();
}

void AddressBook::SetHeader() {
    table_.Clear();
    for (const char* name : kHeader) table_.Header().Add(name);
}

std::string AddressBook::CsvPath(std::string_view setting, const std::string& folder) {
    const bool windows =
        setting.find('\\') != std::string_view::npos || (setting.size() >= 2 && setting[1] == ':');
    if (setting.empty() || windows) return folder + "/" + kCsvName;
    if (setting.front() == '/' || setting.rfind("~/", 0) == 0) return ExpandHome(setting);
    return folder + "/" + std::string(setting);
}

void AddressBook::LoadCsvBytes(std::string_view bytes) {
    if (text::IsValidUtf8(bytes)) {
        if (bytes.substr(0, 3) == "\xEF\xBB\xBF") bytes.remove_prefix(3);
        table_.ReadBytes(text::Utf8ToShiftJis(bytes).bytes);
    } else {
        table_.ReadBytes(bytes);
    }
    if (table_.ColumnCount() == 0) SetHeader();
}

AddressBookSource AddressBook::Load(const std::string& csvPath, const std::string& datPath) {
    SetHeader();
    const FileBytes csv = ReadFileBytes(csvPath);
    if (csv.status == ReadStatus::Complete) {
        LoadCsvBytes(csv.bytes);
        return AddressBookSource::Csv;
    }
    // A CSV that exists but cannot be read must never be replaced by a conversion.
    if (PathExists(csvPath)) return AddressBookSource::CsvUnreadable;
    const FileBytes dat = ReadFileBytes(datPath);
    if (dat.status != ReadStatus::Complete || dat.bytes.empty()) return AddressBookSource::Empty;
    const LegacyAddressRead legacy = ReadLegacyAddressBook(dat.bytes);
    for (const LegacyAddress& entry : legacy.entries) {
        TCard row;
        row.Add(entry.name);
        row.Add(entry.address);
        for (int i = 2; i < table_.ColumnCount(); ++i) row.Add("");
        table_.Append(std::move(row));
    }
    if (!legacy.complete) return AddressBookSource::LegacyOnly;
    FileWriter writer;
    WritePrivateFile(csvPath, table_.ToBytes(), writer);
    return AddressBookSource::Converted;
}

AddressBookSource AddressBook::Load(const MailSettings& mail) {
    return Load(CsvPath(mail.AddressBookSetting(), mail.Folder()), mail.Folder() + "/" + kDatName);
}

std::string_view AddressBook::Name(std::size_t index) const {
    return index < table_.RowCount() ? table_.Row(index)[kNameColumn] : std::string_view();
}

std::string_view AddressBook::Addresses(std::size_t index) const {
    return index < table_.RowCount() ? table_.Row(index)[kAddressColumn] : std::string_view();
}

std::optional<std::size_t> AddressBook::Find(std::string_view name) const {
    if (name.empty()) return std::nullopt;
    for (std::size_t i = 0; i < table_.RowCount(); ++i) {
        if (table_.Row(i)[kNameColumn] == name) return i;
    }
    return std::nullopt;
}

std::size_t AddressBook::Expand(std::size_t index, std::vector<std::string>& list,
                                Prompter& prompter) const {
    const std::string_view cell = Addresses(index);
    if (!NamesAddressFile(cell)) return AddLines(cell, list);
    const std::string path = ExpandHome(TrimBlanks(TrimLineEnds(cell)));
    std::string text;
    switch (ReadSmallTextFile(path, text)) {
        case TextFileStatus::Ok:
            return AddLines(text, list);
        case TextFileStatus::TooLarge:
            prompter.ShowMessage(std::string(address_messages::kFileTooLarge) + path,
                                 MessageKind::Error);
            return 0;
        case TextFileStatus::Missing:
            break;
    }
    prompter.ShowMessage(std::string(address_messages::kFileMissing) + path, MessageKind::Error);
    return 0;
}

}  // namespace almx
