// Value-to-text helpers of AudioEffect.
#include "framework/audio_effect.h"

void AudioEffect::dB2string(float /*value*/, char* text, VstInt32 maxLen) {
    if (text && maxLen >= 0) text[0] = 0;
}

void AudioEffect::Hz2string(float /*samples*/, char* text, VstInt32 maxLen) {
    if (text && maxLen >= 0) text[0] = 0;
}

void AudioEffect::ms2string(float /*samples*/, char* text, VstInt32 maxLen) {
    if (text && maxLen >= 0) text[0] = 0;
}

void AudioEffect::float2string(float /*value*/, char* text, VstInt32 maxLen) {
    if (text && maxLen >= 0) text[0] = 0;
}

void AudioEffect::int2string(VstInt32 /*value*/, char* text, VstInt32 maxLen) {
    if (text && maxLen >= 0) text[0] = 0;
}
