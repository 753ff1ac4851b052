// Which timers drive the saver window, and how fast, for each kind of content.
#pragma once

#include <cstdint>

struct TimerPlan {
    uint32_t framePeriod;  // ms between frame ticks; 0 = no frame timer
    bool moveTimer;        // the bounce layout's 20 ms move timer
};

// `content` is the engine's content code ('V' movie, 'B' still picture,
// 'R' turning picture, 'T' text, 'C' clock), `layout` the "ScreenMode" code.
// `moviePeriod` is 1000 / frame rate for a playable movie, else 0.
// `coversPrimaryScreenOnly` is false in a preview or across several
// monitors, where something else may paint over a still picture, so it is
// repainted every 250 ms; on one full screen it is painted once.
TimerPlan PlanTimers(int32_t content, int32_t layout, uint32_t moviePeriod,
                     bool coversPrimaryScreenOnly);
