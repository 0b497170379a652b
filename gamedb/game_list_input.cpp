#include "gamedb/game_list_input.h"

#include <algorithm>

namespace {

std::int32_t ClampCurrent(std::int64_t position, std::int32_t count) {
    return count > 0 ? static_cast<std::int32_t>(std::clamp<std::int64_t>(position, 1, count)) : 0;
}

std::int32_t ClampScroll(std::int64_t scroll, const TListView& v) {
    return v.scrollEnabled ? static_cast<std::int32_t>(std::clamp<std::int64_t>(scroll, 0, v.ScrollMaximum()))
                           : 0;
}

bool InList(const TListView& v, std::int32_t position) {
    return position >= 1 && position <= v.count;
}

void MoveBy(TListView& v, std::int32_t step) {
    v.current = ClampCurrent(std::int64_t(v.current) + step, v.count);
    // Scroll only as far as keeps the current line on the page (one line for a step from it).
    if (v.current >= 1 && v.current <= v.scroll)
        v.scroll = ClampScroll(v.current - 1, v);
    else if (std::int64_t(v.scroll) + v.lines < v.current)
        v.scroll = ClampScroll(std::int64_t(v.current) - v.lines, v);
}

} // namespace

TListAction ListKeyDown(TListView& v, TListKey key, bool databaseOpen) {
    TListAction a;
    switch (key) {
    case TListKey::Escape:
        a.close = true;
        return a;
    case TListKey::Insert:
    case TListKey::Delete:
        if (!databaseOpen) return a;
        if (InList(v, v.current)) {
            if (key == TListKey::Insert) {
                a.toggleSelected = v.current;
                a.caption = true;
            } else {
                a.toggleDeleted = v.current;
            }
        }
        MoveBy(v, 1);
        a.repaint = true;
        return a;
    case TListKey::Enter:
        a.load = true;
        return a;
    case TListKey::PageUp:
    case TListKey::PageDown: {
        if (!v.scrollEnabled) return a;
        const std::int32_t step = key == TListKey::PageDown ? v.lines : -v.lines;
        v.current = ClampCurrent(std::int64_t(v.current) + step, v.count);
        v.scroll = ClampScroll(std::int64_t(v.scroll) + step, v);
        a.repaint = true;
        return a;
    }
    case TListKey::End:
        v.current = v.count;
        v.scroll = ClampScroll(v.ScrollMaximum(), v);
        a.repaint = true;
        return a;
    case TListKey::Home:
        v.current = ClampCurrent(1, v.count);
        v.scroll = 0;
        a.repaint = true;
        return a;
    case TListKey::Up:
    case TListKey::Down:
        MoveBy(v, key == TListKey::Down ? 1 : -1);
        a.repaint = true;
        return a;
    case TListKey::Other:
        return a;
    }
    return a;
}

TListAction ListMouseDown(TListView& v, TListClicks& clicks, TListButton button, std::int32_t line,
                          std::int64_t now, bool databaseOpen) {
    TListAction a;
    if (!databaseOpen || !InList(v, line)) return a;
    a.load = button == TListButton::Left && clicks.pressed && line == v.current &&
             now - clicks.stamp < DoubleClickCentiseconds;
    if (button == TListButton::Right) {
        a.toggleSelected = line;
        a.caption = true;
    }
    v.current = line;
    clicks.pressed = true;
    clicks.stamp = now;
    a.repaint = true;
    return a;
}

std::int32_t ListWheelScroll(const TListView& v, int notches) {
    if (!v.scrollEnabled || notches == 0) return v.scroll;
    return ClampScroll(std::int64_t(v.scroll) - std::int64_t(notches) * v.lines, v);
}
