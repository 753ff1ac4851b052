#include "engine/FrameTimers.h"

TimerPlan PlanTimers(Content content, Layout layout, uint32_t moviePeriod, bool coversPrimaryScreenOnly) {
    TimerPlan plan = {0, false};
    if (content == Content::movie)
        plan.framePeriod = moviePeriod;  // a movie keeps its own pace in every layout
    if (layout == Layout::bounce) {
        // The move tick posts the frames of turning pictures and the clock;
        // still pictures and text are painted once and moved.
        plan.moveTimer = true;
    } else if (content == Content::turning || content == Content::clock) {
        plan.framePeriod = 20;
    } else if (content != Content::movie && !coversPrimaryScreenOnly) {
        plan.framePeriod = 250;
    }
    return plan;
}
