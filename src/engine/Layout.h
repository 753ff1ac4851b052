// How the display window sits in the saver window: the "ScreenMode" setting.
#pragma once

#include <cstdint>

enum class Layout {
    fullScreen,  // 'F': as large as the screen allows, keeping proportions
    centred,     // 'C': its own size (doubled or halved to suit), centred
    bounce,      // 'B': as centred, moving about the screen
    stretched,   // 'S': the whole screen
    other,       // any other code: the sizes stay as they were
};

// The settings file's letters are the only place the codes live.
inline Layout LayoutOf(int32_t code) {
    switch (code) {
    case 'F':
        return Layout::fullScreen;
    case 'C':
        return Layout::centred;
    case 'B':
        return Layout::bounce;
    case 'S':
        return Layout::stretched;
    default:
        return Layout::other;
    }
}

// The letter stored for a layout; `other` has none and is stored stretched,
// as the options dialog does when no layout button is checked.
inline int32_t LayoutCode(Layout layout) {
    switch (layout) {
    case Layout::fullScreen:
        return 'F';
    case Layout::centred:
        return 'C';
    case Layout::bounce:
        return 'B';
    default:
        return 'S';
    }
}
