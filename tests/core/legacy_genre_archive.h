#pragma once
// Writes a genre list the way the legacy genre archive stores it: for reader tests and the
// reader's fuzz target.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/genre.h"
#include "text/encoding.h"

namespace almx::testing {

// Writes a genre list the way the archive stores it.
class ArchiveWriter {
  public:
    ArchiveWriter& U16(unsigned value) {
        bytes_ += static_cast<char>(value & 0xFF);
        bytes_ += static_cast<char>((value >> 8) & 0xFF);
        return *this;
    }
    ArchiveWriter& U32(std::uint32_t value) {
        U16(value & 0xFFFF);
        return U16(value >> 16);
    }
    ArchiveWriter& Raw(std::string_view raw) {
        bytes_ += raw;
        return *this;
    }
    // A Shift_JIS text with its length prefix in the shortest form a writer uses.
    ArchiveWriter& Text(std::string_view utf8) {
        const std::string sjis = text::ToShiftJis(utf8);
        if (sjis.size() < 255) {
            bytes_ += static_cast<char>(sjis.size());
        } else if (sjis.size() < 0xFFFE) {
            bytes_ += '\xFF';
            U16(static_cast<unsigned>(sjis.size()));
        } else {
            bytes_ += '\xFF';
            U16(0xFFFF);
            U32(static_cast<std::uint32_t>(sjis.size()));
        }
        return Raw(sjis);
    }
    ArchiveWriter& FirstTag() { return U16(0xFFFF).U16(2).U16(10).Raw("CAlmxField"); }
    ArchiveWriter& Body(const CAlmxField& genre) {
        U16(100).Text(genre.name).Text(genre.note).U32(genre.colour);
        U16(static_cast<unsigned>(genre.shown));
        for (auto value : genre.values) U16(value);
        for (const auto& text : genre.texts) Text(text);
        return *this;
    }
    const std::string& Bytes() const { return bytes_; }

  private:
    std::string bytes_;
};

// Every genre of the list, one element each, the first with the class's full tag.
inline std::string GenreArchive(const std::vector<CAlmxField>& genres) {
    ArchiveWriter writer;
    writer.U16(static_cast<unsigned>(genres.size()));
    for (std::size_t i = 0; i < genres.size(); ++i) {
        if (i == 0) {
            writer.FirstTag();
        } else {
            writer.U16(0x8001);
        }
        writer.Body(genres[i]);
    }
    return writer.Bytes();
}

}  // namespace almx::testing
