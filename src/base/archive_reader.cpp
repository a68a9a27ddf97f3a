#include "base/archive_reader.h"

namespace almx::archive {

namespace {

constexpr std::uint16_t kNullTag = 0x0000;
constexpr std::uint16_t kNewClassTag = 0xFFFF;
constexpr std::uint16_t kClassTag = 0x8000;
constexpr std::uint16_t kBigObjectTag = 0x7FFF;
constexpr std::uint32_t kBigClassTag = 0x80000000u;

}  // namespace

void Reader::Need(std::size_t count) const {
    if (count > Left()) throw Failure{FailureKind::Truncated, bytes_.size()};
}

std::uint8_t Reader::U8() {
    Need(1);
    return static_cast<std::uint8_t>(bytes_[pos_++]);
}

std::uint16_t Reader::U16() {
    Need(2);
    const auto lo = static_cast<std::uint8_t>(bytes_[pos_]);
    const auto hi = static_cast<std::uint8_t>(bytes_[pos_ + 1]);
    pos_ += 2;
    return static_cast<std::uint16_t>(lo | (hi << 8));
}

std::uint32_t Reader::U32() {
    const std::uint32_t lo = U16();
    const std::uint32_t hi = U16();
    return lo | (hi << 16);
}

std::string_view Reader::Bytes(std::size_t count) {
    Need(count);
    std::string_view out = bytes_.substr(pos_, count);
    pos_ += count;
    return out;
}

std::uint32_t ReadCount(Reader& in) {
    std::uint32_t count = in.U16();
    if (count == 0xFFFF) count = in.U32();
    return count;
}

std::uint32_t LoadTable::Add(bool isClass) {
    isClass_.push_back(isClass);
    return static_cast<std::uint32_t>(isClass_.size() - 1);
}

bool LoadTable::ReadObjectTag(Reader& in, const ClassSpec& expected) {
    const std::uint16_t tag = in.U16();
    if (tag == kNullTag) return false;
    if (tag == kNewClassTag) {
        const std::uint16_t schema = in.U16();
        const std::uint16_t nameLength = in.U16();
        if (in.Bytes(nameLength) != expected.name) in.Fail();
        if (schema != expected.schema) in.Fail();
        Add(true);
    } else {
        std::uint32_t objectTag = 0;
        if (tag == kBigObjectTag) {
            objectTag = in.U32();
        } else {
            objectTag = (static_cast<std::uint32_t>(tag & kClassTag) << 16) |
                        static_cast<std::uint32_t>(tag & ~kClassTag);
        }
        if ((objectTag & kBigClassTag) == 0) in.Fail();
        if (!IsClass(objectTag & ~kBigClassTag)) in.Fail();
    }
    Add(false);
    return true;
}

}  // namespace almx::archive
