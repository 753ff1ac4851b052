// The tests' x87 unit at 53 bits, as Windows runs the 32-bit saver (Linux and
// the Windows runtime's start-up leave it at 64): without it a 32-bit build's
// doubles would round twice and differ from the 64-bit build's.
#include <gtest/gtest.h>

#include "platform/Processor.h"

namespace {

struct DoublePrecision : testing::Environment {
    void SetUp() override { UseDoublePrecision(); }
};

testing::Environment* const doublePrecision = testing::AddGlobalTestEnvironment(new DoublePrecision);

}  // namespace
