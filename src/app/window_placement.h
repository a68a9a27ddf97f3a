#pragma once
// A window placement as the settings store keeps it: ten numbers
// "%u,%u,%d,%d,%d,%d,%d,%d,%d,%d" (flags, show state, minimised x y, maximised x y, normal
// rectangle left top right bottom).

#include <optional>
#include <string>
#include <string_view>

namespace almx {

enum ShowState : unsigned {
    kShowNormal = 1,
    kShowMinimised = 2,
    kShowMaximised = 3,
};

// Flags: the window goes back to maximised when restored.
inline constexpr unsigned kRestoreToMaximised = 2;

struct WindowPlacement {
    unsigned flags = 0;
    unsigned showState = kShowNormal;
    int minX = -1;
    int minY = -1;
    int maxX = -1;
    int maxY = -1;
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    bool operator==(const WindowPlacement&) const = default;

    // Exactly ten decimal numbers separated by commas (blanks around a number allowed);
    // anything else is nullopt.
    static std::optional<WindowPlacement> Parse(std::string_view text);
    std::string Format() const;

    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
    // A rectangle a window can take: positive width and height within sane bounds.
    bool HasUsableRect() const;
    // Whether the window is shown maximised.
    bool Maximised() const {
        return showState == kShowMaximised ||
               (showState == kShowMinimised && (flags & kRestoreToMaximised) != 0);
    }
};

// The placement to store for a window: a minimised window is stored as normal; flags say
// whether it is maximised.
WindowPlacement PlacementToStore(int left, int top, int right, int bottom, bool maximised);

}  // namespace almx
