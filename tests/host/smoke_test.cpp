#include <gtest/gtest.h>
#include "effect/vexobit.h"
TEST(SmokeH, Builds) { Vexobit v(nullptr); EXPECT_EQ(v.getAeffect()->uniqueID, Vexobit::kUniqueId); }
