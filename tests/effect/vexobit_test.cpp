// The Vexobit effect object: construction and its forwarding to the core.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "effect/vexobit.h"

namespace {

TEST(Vexobit, FreshRecordAnnouncesTheEffect) {
    Vexobit effect(nullptr);
    const AEffect& e = *effect.getAeffect();
    EXPECT_EQ(e.magic, fourCharCode('V', 's', 't', 'P'));
    EXPECT_EQ(e.numPrograms, 1);
    EXPECT_EQ(e.numParams, 3);
    EXPECT_EQ(e.numInputs, 2);
    EXPECT_EQ(e.numOutputs, 2);
    EXPECT_EQ(e.flags, 0x10);
    EXPECT_EQ(e.ioRatio, 1.0f);
    EXPECT_EQ(e.uniqueID, 0x76786274);
    EXPECT_EQ(e.version, 1);
    EXPECT_EQ(e.initialDelay, 0);
    EXPECT_EQ(e.object, static_cast<void*>(&effect));
    EXPECT_EQ(effect.getSampleRate(), 44100.0f);
}

TEST(Vexobit, ParametersGoToTheCore) {
    Vexobit effect(nullptr);
    AEffect* e = effect.getAeffect();
    e->setParameter(e, 0, 0.25f);
    e->setParameter(e, 1, 0.5f);
    e->setParameter(e, 2, 2.0f);
    e->setParameter(e, 7, 0.5f);
    EXPECT_EQ(e->getParameter(e, 0), 0.25f);
    EXPECT_EQ(e->getParameter(e, 1), 0.5f);
    EXPECT_EQ(e->getParameter(e, 2), 2.0f);
    EXPECT_EQ(e->getParameter(e, 7), 0.0f);
}

TEST(Vexobit, ReadsOnlyTheFirstInputAndUsesTheHostSampleRate) {
    std::vector<float> first(2048), secondA(2048, 0.0f), secondB(2048, 0.9f);
    for (std::size_t i = 0; i < first.size(); ++i) first[i] = static_cast<float>((i * 37) % 101) / 60.0f - 0.8f;

    auto render = [&](std::vector<float>& second, float rate) {
        Vexobit effect(nullptr);
        AEffect* e = effect.getAeffect();
        e->dispatcher(e, effSetSampleRate, 0, 0, nullptr, rate);
        std::vector<float> out0(first.size()), out1(first.size());
        float* ins[] = {first.data(), second.data()};
        float* outs[] = {out0.data(), out1.data()};
        e->processReplacing(e, ins, outs, static_cast<VstInt32>(first.size()));
        EXPECT_EQ(0, std::memcmp(out0.data(), out1.data(), out0.size() * sizeof(float)));
        return out0;
    };
    const auto a = render(secondA, 44100.0f);
    const auto b = render(secondB, 44100.0f);
    EXPECT_EQ(0, std::memcmp(a.data(), b.data(), a.size() * sizeof(float)));
    const auto c = render(secondA, 96000.0f);
    EXPECT_NE(0, std::memcmp(a.data(), c.data(), a.size() * sizeof(float)));
}

}  // namespace
