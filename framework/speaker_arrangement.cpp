// Speaker-arrangement tools of AudioEffectX.
#include "framework/audio_effect_x.h"

bool AudioEffectX::allocateArrangement(VstSpeakerArrangement** /*arrangement*/, VstInt32 /*nbChannels*/) {
    return false;
}

bool AudioEffectX::deallocateArrangement(VstSpeakerArrangement** /*arrangement*/) { return true; }

bool AudioEffectX::copySpeaker(VstSpeakerProperties* /*to*/, VstSpeakerProperties* /*from*/) { return false; }

bool AudioEffectX::matchArrangement(VstSpeakerArrangement** /*to*/, VstSpeakerArrangement* /*from*/) {
    return false;
}
