// The smallest complete effect on AudioEffectX, for framework tests that must
// not depend on a real effect. It remembers the last setParameter call.
#pragma once

#include "framework/audio_effect_x.h"

namespace vexobit::test {

class ProbeEffect : public AudioEffectX {
public:
    explicit ProbeEffect(audioMasterCallback hostCallback, VstInt32 numPrograms = 1, VstInt32 numParams = 1)
        : AudioEffectX(hostCallback, numPrograms, numParams) {}

    void processReplacing(float** /*inputs*/, float** /*outputs*/, VstInt32 /*sampleFrames*/) override {}

    void setParameter(VstInt32 index, float value) override {
        lastParameterIndex = index;
        lastParameterValue = value;
        ++setParameterCalls;
    }

    VstInt32 lastParameterIndex = -1;
    float lastParameterValue = -1.0f;
    int setParameterCalls = 0;
};

}  // namespace vexobit::test
