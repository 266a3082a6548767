#include "state/window_placement.h"

#include "state/colon_integers.h"

#include <algorithm>
#include <cstdio>

namespace nettor {

std::string WindowPlacement::toText() const
{
    char buffer[160];
    std::snprintf(buffer, sizeof buffer, "%i:%i:%i:%i:%i:%i:%i:%i:%i:%i", flags, showCommand,
                  minimizedX, minimizedY, maximizedX, maximizedY, left, top, right, bottom);
    return buffer;
}

std::optional<WindowPlacement> WindowPlacement::fromText(const std::string& text)
{
    std::int64_t v[10];
    if (readColonIntegers(text, v, 10) != 10) return std::nullopt;
    WindowPlacement p;
    std::int32_t* fields[10] = {&p.flags,      &p.showCommand, &p.minimizedX, &p.minimizedY,
                                &p.maximizedX, &p.maximizedY,  &p.left,       &p.top,
                                &p.right,      &p.bottom};
    for (int i = 0; i < 10; ++i) *fields[i] = static_cast<std::int32_t>(v[i]);
    return p;
}

WindowPlacement WindowPlacement::ofWindow(const ScreenRect& normal, bool maximized, bool minimized)
{
    WindowPlacement p;
    p.flags = kRestoreToMaximized;
    p.showCommand = minimized ? kShowMinimized : maximized ? kShowMaximized : kShowNormal;
    p.left = normal.x;
    p.top = normal.y;
    p.right = normal.x + normal.width;
    p.bottom = normal.y + normal.height;
    return p;
}

bool WindowPlacement::opensMaximized() const
{
    return showCommand == kShowMaximized ||
           (showCommand == kShowMinimized && (flags & kRestoreToMaximized) != 0);
}

namespace {

constexpr std::int64_t kMinimumSide = 64;
constexpr std::int64_t kTitleStrip = 32;

std::int64_t overlapArea(const ScreenRect& a, const ScreenRect& b)
{
    const std::int64_t w = std::min<std::int64_t>(std::int64_t{a.x} + a.width, std::int64_t{b.x} + b.width) -
                           std::max<std::int64_t>(a.x, b.x);
    const std::int64_t h = std::min<std::int64_t>(std::int64_t{a.y} + a.height, std::int64_t{b.y} + b.height) -
                           std::max<std::int64_t>(a.y, b.y);
    return w > 0 && h > 0 ? w * h : 0;
}

} // namespace

std::optional<ScreenRect> placeOnScreens(const ScreenRect& window, const std::vector<ScreenRect>& screens)
{
    if (window.width < kMinimumSide || window.height < kMinimumSide || screens.empty())
        return std::nullopt;

    const ScreenRect title{window.x + window.width / 4, window.y,
                           std::max(1, window.width / 2),
                           static_cast<std::int32_t>(std::min<std::int64_t>(kTitleStrip, window.height))};
    std::int64_t titleOnScreens = 0;
    for (const ScreenRect& s : screens) titleOnScreens += overlapArea(title, s);
    if (2 * titleOnScreens >= std::int64_t{title.width} * title.height) return window;

    const ScreenRect* best = &screens.front();
    std::int64_t bestArea = 0;
    for (const ScreenRect& s : screens) {
        const std::int64_t area = overlapArea(window, s);
        if (area > bestArea) {
            bestArea = area;
            best = &s;
        }
    }
    ScreenRect placed = window;
    placed.width = std::min(window.width, best->width);
    placed.height = std::min(window.height, best->height);
    placed.x = static_cast<std::int32_t>(std::clamp<std::int64_t>(
        window.x, best->x, std::int64_t{best->x} + best->width - placed.width));
    placed.y = static_cast<std::int32_t>(std::clamp<std::int64_t>(
        window.y, best->y, std::int64_t{best->y} + best->height - placed.height));
    return placed;
}

} // namespace nettor
