#include "app/window_placement.h"

#include <charconv>
#include <cstdio>
#include <vector>

namespace almx {

namespace {

std::string_view Trim(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
    return text;
}

template <typename Number>
bool ReadNumber(std::string_view text, Number& out) {
    text = Trim(text);
    if (text.empty()) return false;
    if (text.front() == '+') text.remove_prefix(1);
    const char* end = text.data() + text.size();
    auto [rest, error] = std::from_chars(text.data(), end, out);
    return error == std::errc() && rest == end;
}

// Larger than any screen arrangement; keeps width arithmetic far from overflow.
constexpr int kCoordinateLimit = 1'000'000;

}  // namespace

std::optional<WindowPlacement> WindowPlacement::Parse(std::string_view text) {
    std::vector<std::string_view> fields;
    std::size_t start = 0;
    while (true) {
        std::size_t comma = text.find(',', start);
        fields.push_back(text.substr(
            start, comma == std::string_view::npos ? std::string_view::npos : comma - start));
        if (comma == std::string_view::npos) break;
        start = comma + 1;
    }
    if (fields.size() != 10) return std::nullopt;
    WindowPlacement p;
    if (!ReadNumber(fields[0], p.flags) || !ReadNumber(fields[1], p.showState)) {
        return std::nullopt;
    }
    int* const numbers[8] = {&p.minX, &p.minY, &p.maxX,  &p.maxY,
                             &p.left, &p.top,  &p.right, &p.bottom};
    for (int i = 0; i < 8; ++i) {
        if (!ReadNumber(fields[static_cast<std::size_t>(i) + 2], *numbers[i])) return std::nullopt;
    }
    return p;
}

std::string WindowPlacement::Format() const {
    char text[160];
    std::snprintf(text, sizeof text, "%u,%u,%d,%d,%d,%d,%d,%d,%d,%d", flags, showState, minX, minY,
                  maxX, maxY, left, top, right, bottom);
    return text;
}

bool WindowPlacement::HasUsableRect() const {
    auto inRange = [](int value) { return value > -kCoordinateLimit && value < kCoordinateLimit; };
    return inRange(left) && inRange(top) && inRange(right) && inRange(bottom) && right > left &&
           bottom > top;
}

WindowPlacement PlacementToStore(int left, int top, int right, int bottom, bool maximised) {
    WindowPlacement p;
    p.flags = maximised ? kRestoreToMaximised : 0;
    p.showState = maximised ? kShowMaximised : kShowNormal;
    p.left = left;
    p.top = top;
    p.right = right;
    p.bottom = bottom;
    return p;
}

}  // namespace almx
