#include "engine/FrameTimers.h"

TimerPlan PlanTimers(int32_t content, int32_t layout, uint32_t moviePeriod,
                     bool coversPrimaryScreenOnly) {
    TimerPlan plan = {0, false};
    if (content == 'V')
        plan.framePeriod = moviePeriod;  // a movie keeps its own pace in every layout
    if (layout == 'B') {
        // The move tick posts the frames of turning pictures and the clock;
        // still pictures and text are painted once and moved.
        plan.moveTimer = true;
    } else if (content == 'R' || content == 'C') {
        plan.framePeriod = 20;
    } else if (content != 'V' && !coversPrimaryScreenOnly) {
        plan.framePeriod = 250;
    }
    return plan;
}
