// Which timers drive the saver window, and how fast, for each kind of content.
#pragma once

#include "engine/Content.h"
#include "engine/Layout.h"

#include <cstdint>

struct TimerPlan {
    uint32_t framePeriod;  // ms between frame ticks; 0 = no frame timer
    bool moveTimer;        // the bounce layout's 20 ms move timer
};

// `content` is what the engine shows. `moviePeriod` is 1000 / frame rate for a playable movie, else 0.
// `coversPrimaryScreenOnly` is false in a preview or across several
// monitors, where something else may paint over a still picture, so it is
// repainted every 250 ms; on one full screen it is painted once.
TimerPlan PlanTimers(Content content, Layout layout, uint32_t moviePeriod, bool coversPrimaryScreenOnly);
