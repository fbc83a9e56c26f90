// Vexobit: any sound played as if through the NES delta-modulation channel.
// Mono in (the first input), the same signal on both outputs.
#pragma once

#include "effect/delta_modulator.h"
#include "framework/audio_effect_x.h"

class Vexobit : public AudioEffectX {
public:
    static constexpr VstInt32 kUniqueId = fourCharCode('v', 'x', 'b', 't');
    static constexpr VstInt32 kNumPrograms = 1;
    static constexpr VstInt32 kNumParams = vexobit::DeltaModulator::kNumParameters;
    // The program name holds at most 31 characters and its terminator.
    static constexpr int kProgramNameBytes = 32;

    explicit Vexobit(audioMasterCallback hostCallback);

    // 0: input gain, 1: tick-rate setting, 2: output gain; stored unchanged.
    void setParameter(VstInt32 index, float value) override;
    float getParameter(VstInt32 index) override;
    // Reads inputs[0] only; writes outputs[0] and outputs[1]. In place on the
    // first channel is safe.
    void processReplacing(float** inputs, float** outputs, VstInt32 sampleFrames) override;

    // Texts the host shows: names, labels, value displays, the program name.
    void getParameterName(VstInt32 index, char* text) override;
    void getParameterLabel(VstInt32 index, char* label) override;
    void getParameterDisplay(VstInt32 index, char* text) override;
    VstInt32 getProgram() override;
    void setProgram(VstInt32 program) override;
    void setProgramName(char* name) override;
    void getProgramName(char* name) override;

    // Identity the host lists the plug-in by: "Vexobit" (8 bytes written),
    // "v0.1 07.05.18 Dorvi" (20 bytes written), vendor version 1000. A null
    // buffer gets nothing and the answer false.
    bool getEffectName(char* name) override;
    bool getVendorString(char* text) override;
    VstInt32 getVendorVersion() override;

    const vexobit::DeltaModulator& core() const { return modulator; }

private:
    vexobit::DeltaModulator modulator;
    char programName[kProgramNameBytes] = "Default";
};
