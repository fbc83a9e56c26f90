#include "framework/audio_effect_x.h"

VstIntPtr AudioEffectX::dispatcher(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt) {
    // The requests 25 to 79 are answered here as they are added; everything
    // else belongs to the base dispatch.
    return AudioEffect::dispatcher(opcode, index, value, ptr, opt);
}

void AudioEffectX::resume() {
    // canDo takes a mutable text by the standard's signature.
    char receiveMidi[] = "receiveVstMidiEvent";
    if ((effectRecord.flags & effFlagsIsSynth) != 0 || canDo(receiveMidi) == 1) wantEvents(1);
}

bool AudioEffectX::getSpeakerArrangement(VstSpeakerArrangement** input, VstSpeakerArrangement** output) {
    if (input) *input = nullptr;
    if (output) *output = nullptr;
    return false;
}

VstInt32 AudioEffectX::getPlugCategory() {
    return (effectRecord.flags & effFlagsIsSynth) != 0 ? kPlugCategSynth : kPlugCategUnknown;
}
