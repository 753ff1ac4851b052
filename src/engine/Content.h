// What the saver window shows. The "Mode" setting chooses imagery or text;
// at creation the engine settles on what it really shows.
#pragma once

#include <cstdint>

enum class Content {
    imagery,  // 'I': a picture, movie, folder or shortcut is still to be loaded
    text,     // 'T': the "Text" setting
    movie,    // 'V'
    picture,  // 'B': a still picture
    turning,  // 'R': a picture turning in 2D or 3D
    clock,    // 'C': text mode with no text
    none,     // any other code: nothing is shown
};

// The settings file's letters. The letters of the shown kinds are read too:
// a file that says one of them starts with that kind, as it always has.
inline Content ContentOf(int32_t code) {
    switch (code) {
    case 'I':
        return Content::imagery;
    case 'T':
        return Content::text;
    case 'V':
        return Content::movie;
    case 'B':
        return Content::picture;
    case 'R':
        return Content::turning;
    case 'C':
        return Content::clock;
    default:
        return Content::none;
    }
}
