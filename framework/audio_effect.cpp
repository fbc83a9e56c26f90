#include "framework/audio_effect.h"

#include <cstring>

namespace {
constexpr VstInt32 kDefaultUniqueId = fourCharCode('N', 'o', 'E', 'f');
constexpr VstInt32 kIdentifyAnswer = fourCharCode('N', 'v', 'E', 'f');
}  // namespace

AudioEffect::AudioEffect(audioMasterCallback hostCallback, VstInt32 numPrograms, VstInt32 numParams)
    : hostCallback(hostCallback), numPrograms(numPrograms), numParams(numParams) {
    std::memset(&effectRecord, 0, sizeof effectRecord);
    effectRecord.magic = kEffectMagic;
    effectRecord.dispatcher = dispatchEntry;
    effectRecord.process = processEntry;
    effectRecord.setParameter = setParameterEntry;
    effectRecord.getParameter = getParameterEntry;
    effectRecord.numPrograms = numPrograms;
    effectRecord.numParams = numParams;
    effectRecord.numInputs = 1;
    effectRecord.numOutputs = 2;
    effectRecord.flags = effFlagsCanReplacing;
    effectRecord.ioRatio = 1.0f;
    effectRecord.object = this;
    effectRecord.uniqueID = kDefaultUniqueId;
    effectRecord.version = 1;
    effectRecord.processReplacing = processReplacingEntry;
    effectRecord.processDoubleReplacing = processDoubleReplacingEntry;
}

AudioEffect::~AudioEffect() { delete editor; }

VstIntPtr AudioEffect::dispatcher(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt) {
    switch (opcode) {
    case effOpen: open(); return 0;
    case effClose: close(); return 0;
    case effSetProgram:
        if (value < numPrograms) setProgram(static_cast<VstInt32>(value));
        return 0;
    case effGetProgram: return getProgram();
    case effSetProgramName: setProgramName(static_cast<char*>(ptr)); return 0;
    case effGetProgramName: getProgramName(static_cast<char*>(ptr)); return 0;
    case effGetParamLabel: getParameterLabel(index, static_cast<char*>(ptr)); return 0;
    case effGetParamDisplay: getParameterDisplay(index, static_cast<char*>(ptr)); return 0;
    case effGetParamName: getParameterName(index, static_cast<char*>(ptr)); return 0;
    case effSetSampleRate: setSampleRate(opt); return 0;
    case effSetBlockSize: setBlockSize(static_cast<VstInt32>(value)); return 0;
    case effMainsChanged:
        if (value == 0) suspend();
        else resume();
        return 0;
    case effEditGetRect: return editor && editor->getRect(static_cast<ERect**>(ptr)) ? 1 : 0;
    case effEditOpen: return editor && editor->open(ptr) ? 1 : 0;
    case effEditClose:
        if (editor) editor->close();
        return 0;
    case effEditIdle:
        if (editor) editor->idle();
        return 0;
    case effIdentify: return kIdentifyAnswer;
    case effGetChunk: return getChunk(static_cast<void**>(ptr), index != 0);
    case effSetChunk: return setChunk(ptr, static_cast<VstInt32>(value), index != 0);
    default: return 0;
    }
}

void AudioEffect::setParameterAutomated(VstInt32 index, float value) {
    setParameter(index, value);
    callHost(0, audioMasterAutomate, index, 0, nullptr, value);
}

void AudioEffect::getProgramName(char* name) {
    if (name) *name = 0;
}

void AudioEffect::getParameterLabel(VstInt32 /*index*/, char* label) {
    if (label) *label = 0;
}

void AudioEffect::getParameterDisplay(VstInt32 /*index*/, char* text) {
    if (text) *text = 0;
}

void AudioEffect::getParameterName(VstInt32 /*index*/, char* text) {
    if (text) *text = 0;
}

VstInt32 AudioEffect::getMasterVersion() {
    const auto version = static_cast<VstInt32>(callHost(0, audioMasterVersion));
    return version == 0 ? 1 : version;
}

VstInt32 AudioEffect::getCurrentUniqueId() { return static_cast<VstInt32>(callHost(0, audioMasterCurrentId)); }

void AudioEffect::masterIdle() { callHost(0, audioMasterIdle); }

bool AudioEffect::isInputConnected(VstInt32 input) { return callHost(0, audioMasterPinConnected, input, 0) == 0; }

bool AudioEffect::isOutputConnected(VstInt32 output) {
    return callHost(0, audioMasterPinConnected, output, 1) == 0;
}

VstIntPtr AudioEffect::callHost(VstIntPtr fallback, VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr,
                                float opt) {
    return hostCallback ? hostCallback(&effectRecord, opcode, index, value, ptr, opt) : fallback;
}

void AudioEffect::setFlag(VstInt32 flag, bool state) {
    if (state) effectRecord.flags |= flag;
    else effectRecord.flags &= ~flag;
}

// The record's entries: recover the object, call one operation.

VstIntPtr VSTCALLBACK AudioEffect::dispatchEntry(AEffect* e, VstInt32 opcode, VstInt32 index, VstIntPtr value,
                                                 void* ptr, float opt) {
    auto* effect = static_cast<AudioEffect*>(e->object);
    if (opcode != effClose) return effect->dispatcher(opcode, index, value, ptr, opt);
    effect->dispatcher(opcode, index, value, ptr, opt);
    delete effect;
    return 1;
}

void VSTCALLBACK AudioEffect::processEntry(AEffect* e, float** inputs, float** outputs, VstInt32 sampleFrames) {
    static_cast<AudioEffect*>(e->object)->process(inputs, outputs, sampleFrames);
}

void VSTCALLBACK AudioEffect::setParameterEntry(AEffect* e, VstInt32 index, float value) {
    static_cast<AudioEffect*>(e->object)->setParameter(index, value);
}

float VSTCALLBACK AudioEffect::getParameterEntry(AEffect* e, VstInt32 index) {
    return static_cast<AudioEffect*>(e->object)->getParameter(index);
}

void VSTCALLBACK AudioEffect::processReplacingEntry(AEffect* e, float** inputs, float** outputs,
                                                    VstInt32 sampleFrames) {
    static_cast<AudioEffect*>(e->object)->processReplacing(inputs, outputs, sampleFrames);
}

void VSTCALLBACK AudioEffect::processDoubleReplacingEntry(AEffect* e, double** inputs, double** outputs,
                                                          VstInt32 sampleFrames) {
    static_cast<AudioEffect*>(e->object)->processDoubleReplacing(inputs, outputs, sampleFrames);
}
