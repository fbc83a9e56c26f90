#include "effect/vexobit.h"

Vexobit::Vexobit(audioMasterCallback hostCallback) : AudioEffectX(hostCallback, kNumPrograms, kNumParams) {
    canProcessReplacing(true);
    setUniqueID(kUniqueId);
    setNumInputs(2);
    setNumOutputs(2);
}

void Vexobit::setParameter(VstInt32 index, float value) { modulator.setParameter(index, value); }

float Vexobit::getParameter(VstInt32 index) { return modulator.getParameter(index); }

void Vexobit::processReplacing(float** inputs, float** outputs, VstInt32 sampleFrames) {
    modulator.process(inputs[0], outputs[0], outputs[1], sampleFrames, getSampleRate());
}
