#pragma once
// Where the main window was: the ten numbers of the stored "WindowPos"
// value, and how to put a stored rectangle back on the screens there are now.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace nettor {

struct ScreenRect {
    std::int32_t x = 0;
    std::int32_t y = 0;
    std::int32_t width = 0;
    std::int32_t height = 0;
};

struct WindowPlacement {
    static constexpr std::int32_t kRestoreToMaximized = 2; // flag
    static constexpr std::int32_t kShowNormal = 1;
    static constexpr std::int32_t kShowMinimized = 2;
    static constexpr std::int32_t kShowMaximized = 3;

    std::int32_t flags = 0;
    std::int32_t showCommand = kShowNormal;
    std::int32_t minimizedX = -1;
    std::int32_t minimizedY = -1;
    std::int32_t maximizedX = -1;
    std::int32_t maximizedY = -1;
    // The normal (restored) rectangle, right and bottom exclusive.
    std::int32_t left = 0;
    std::int32_t top = 0;
    std::int32_t right = 0;
    std::int32_t bottom = 0;

    // "%i:%i:%i:%i:%i:%i:%i:%i:%i:%i" in the order of the fields.
    std::string toText() const;
    // Nothing unless the text yields ten integers.
    static std::optional<WindowPlacement> fromText(const std::string& text);

    // The window for a normal rectangle and a state, as the frame records it
    // when it closes (the restore-to-maximised flag added).
    static WindowPlacement ofWindow(const ScreenRect& normal, bool maximized, bool minimized);

    // The window comes back maximised: shown maximised, or minimised from
    // the maximised state. It never comes back minimised.
    bool opensMaximized() const;
    ScreenRect normalRect() const { return {left, top, right - left, bottom - top}; }
};

// The stored normal rectangle moved (and if need be shrunk) so that it lies
// on one of the screens: kept as it is when at least half of its title
// strip, the top 32 pixels across the middle half of its width, lies on the
// screens (so it can be grabbed and moved); else put
// onto the screen it overlaps most (the first screen when it overlaps none),
// as near as possible to where it was. Nothing when the rectangle is
// degenerate (under 64 x 64 pixels) or there is no screen.
std::optional<ScreenRect> placeOnScreens(const ScreenRect& window,
                                         const std::vector<ScreenRect>& screens);

} // namespace nettor
