#pragma once
// Reading the binary object archives older files were written as (the legacy genre file and
// the key assignment file): little-endian values that never run past the end, the element
// count, and the object tags with their table of loaded classes.

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

namespace almx::archive {

enum class FailureKind { Truncated, Malformed };

// Thrown by the reads below; the readers turn it into their own message.
struct Failure {
    FailureKind kind;
    std::size_t offset;
};

class Reader {
  public:
    explicit Reader(std::string_view bytes) : bytes_(bytes) {}

    std::size_t Offset() const { return pos_; }
    std::size_t Left() const { return bytes_.size() - pos_; }

    std::uint8_t U8();
    std::uint16_t U16();
    std::uint32_t U32();
    std::string_view Bytes(std::size_t count);

    [[noreturn]] void Fail() const { throw Failure{FailureKind::Malformed, pos_}; }

  private:
    void Need(std::size_t count) const;

    std::string_view bytes_;
    std::size_t pos_ = 0;
};

// An element count: 16 bits, or 0xFFFF and 32 bits. Never allocate from it: each element
// takes at least two bytes of input.
std::uint32_t ReadCount(Reader& in);

// The one class an archive's elements are of.
struct ClassSpec {
    std::string_view name;
    std::uint16_t schema;
};

// The table of loaded classes and objects: index 0 is the null object, and every new class
// and every new object takes the next index. One per archive.
class LoadTable {
  public:
    // Reads an element's tag: false for a null element. A new class must be `expected`; a class
    // reference (small or big form) must name a class read before. A reference to an object
    // read before would share one element twice, which no writer does: malformed.
    bool ReadObjectTag(Reader& in, const ClassSpec& expected);

  private:
    std::uint32_t Add(bool isClass);
    bool IsClass(std::uint32_t index) const { return index < isClass_.size() && isClass_[index]; }

    std::vector<bool> isClass_{false};
};

}  // namespace almx::archive
