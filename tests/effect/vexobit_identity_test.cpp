// Vexobit's identity operations called directly on a linked object.
#include <gtest/gtest.h>

#include "effect/vexobit.h"

namespace {

TEST(VexobitIdentity, CategoryFollowsTheSynthFlag) {
    Vexobit effect(nullptr);
    EXPECT_EQ(effect.dispatcher(effGetPlugCategory, 0, 0, nullptr, 0.0f), kPlugCategUnknown);
    effect.isSynth(true);
    EXPECT_EQ(effect.dispatcher(effGetPlugCategory, 0, 0, nullptr, 0.0f), kPlugCategSynth);
    effect.isSynth(false);
    EXPECT_EQ(effect.dispatcher(effGetPlugCategory, 0, 0, nullptr, 0.0f), kPlugCategUnknown);
}

TEST(VexobitIdentity, NullBuffersGetNothingAndAnswerZero) {
    Vexobit effect(nullptr);
    EXPECT_FALSE(effect.getEffectName(nullptr));
    EXPECT_FALSE(effect.getVendorString(nullptr));
    for (const VstInt32 opcode : {effGetEffectName, effGetVendorString, effGetProductString}) {
        SCOPED_TRACE(opcode);
        EXPECT_EQ(effect.dispatcher(opcode, 0, 0, nullptr, 0.0f), 0);
    }
}

}  // namespace
