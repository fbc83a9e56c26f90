// AudioEffectX's wrappers of the host callback: each sends one host opcode
// through callHost, which answers the fallback when there is no host.
#include "framework/audio_effect_x.h"

#include <limits>

namespace {
template <typename T>
T* asPointer(VstIntPtr answer) {
    return reinterpret_cast<T*>(answer);
}
}  // namespace

void AudioEffectX::wantEvents(VstInt32 filter) { callHost(0, audioMasterWantMidi, 0, filter); }

VstTimeInfo* AudioEffectX::getTimeInfo(VstInt32 filter) {
    return asPointer<VstTimeInfo>(callHost(0, audioMasterGetTime, 0, filter));
}

VstInt32 AudioEffectX::tempoAt(VstInt32 position) {
    return static_cast<VstInt32>(callHost(0, audioMasterTempoAt, 0, position));
}

VstInt32 AudioEffectX::getNumAutomatableParameters() {
    return static_cast<VstInt32>(callHost(0, audioMasterGetNumAutomatableParameters));
}

VstInt32 AudioEffectX::getParameterQuantization() {
    return static_cast<VstInt32>(callHost(0, audioMasterGetParameterQuantization));
}

bool AudioEffectX::ioChanged() { return callHost(0, audioMasterIOChanged) != 0; }

bool AudioEffectX::needIdle() { return callHost(0, audioMasterNeedIdle) != 0; }

bool AudioEffectX::sizeWindow(VstInt32 width, VstInt32 height) {
    return callHost(0, audioMasterSizeWindow, width, height) != 0;
}

float AudioEffectX::updateSampleRate() {
    const VstIntPtr answer = callHost(0, audioMasterGetSampleRate);
    if (answer > 0) sampleRate = static_cast<float>(answer);
    return sampleRate;
}

VstInt32 AudioEffectX::updateBlockSize() {
    const VstIntPtr answer = callHost(0, audioMasterGetBlockSize);
    // A 64-bit answer beyond the 32-bit range would truncate to a size of 0 or less.
    if (answer > 0 && answer <= std::numeric_limits<VstInt32>::max()) blockSize = static_cast<VstInt32>(answer);
    return blockSize;
}

VstInt32 AudioEffectX::getInputLatency() { return static_cast<VstInt32>(callHost(0, audioMasterGetInputLatency)); }

VstInt32 AudioEffectX::getOutputLatency() {
    return static_cast<VstInt32>(callHost(0, audioMasterGetOutputLatency));
}

AEffect* AudioEffectX::getPreviousPlug(VstInt32 /*input*/) {
    return asPointer<AEffect>(callHost(0, audioMasterGetPreviousPlug));
}

AEffect* AudioEffectX::getNextPlug(VstInt32 /*output*/) {
    return asPointer<AEffect>(callHost(0, audioMasterGetNextPlug));
}

VstInt32 AudioEffectX::willProcessReplacing() {
    return static_cast<VstInt32>(callHost(0, audioMasterWillReplaceOrAccumulate));
}

VstInt32 AudioEffectX::getCurrentProcessLevel() {
    return static_cast<VstInt32>(callHost(0, audioMasterGetCurrentProcessLevel));
}

VstInt32 AudioEffectX::getAutomationState() {
    return static_cast<VstInt32>(callHost(0, audioMasterGetAutomationState));
}

bool AudioEffectX::offlineStart(VstAudioFile* audioFiles, VstInt32 numAudioFiles, VstInt32 numNewAudioFiles) {
    return callHost(0, audioMasterOfflineStart, numNewAudioFiles, numAudioFiles, audioFiles) != 0;
}

bool AudioEffectX::offlineRead(VstOfflineTask* offline, VstInt32 option, bool readSource) {
    return callHost(0, audioMasterOfflineRead, readSource ? 1 : 0, option, offline) != 0;
}

bool AudioEffectX::offlineWrite(VstOfflineTask* offline, VstInt32 option) {
    return callHost(0, audioMasterOfflineWrite, 0, option, offline) != 0;
}

VstInt32 AudioEffectX::offlineGetCurrentPass() { return callHost(0, audioMasterOfflineGetCurrentPass) != 0 ? 1 : 0; }

VstInt32 AudioEffectX::offlineGetCurrentMetaPass() {
    return callHost(0, audioMasterOfflineGetCurrentMetaPass) != 0 ? 1 : 0;
}

void AudioEffectX::setOutputSamplerate(float sampleRate) {
    callHost(0, audioMasterSetOutputSampleRate, 0, 0, nullptr, sampleRate);
}

VstSpeakerArrangement* AudioEffectX::getOutputSpeakerArrangement() {
    return asPointer<VstSpeakerArrangement>(callHost(0, audioMasterGetOutputSpeakerArrangement));
}

bool AudioEffectX::getHostVendorString(char* text) {
    return callHost(0, audioMasterGetVendorString, 0, 0, text) != 0;
}

bool AudioEffectX::getHostProductString(char* text) {
    return callHost(0, audioMasterGetProductString, 0, 0, text) != 0;
}

VstInt32 AudioEffectX::getHostVendorVersion() {
    return static_cast<VstInt32>(callHost(0, audioMasterGetVendorVersion));
}

VstIntPtr AudioEffectX::hostVendorSpecific(VstInt32 intArg, VstIntPtr valueArg, void* ptrArg, float floatArg) {
    return callHost(0, audioMasterVendorSpecific, intArg, valueArg, ptrArg, floatArg);
}

VstInt32 AudioEffectX::canHostDo(char* text) { return callHost(0, audioMasterCanDo, 0, 0, text) != 0 ? 1 : 0; }

VstInt32 AudioEffectX::getHostLanguage() { return static_cast<VstInt32>(callHost(0, audioMasterGetLanguage)); }

void* AudioEffectX::openWindow(VstWindow* window) {
    return asPointer<void>(callHost(0, audioMasterOpenWindow, 0, 0, window));
}

bool AudioEffectX::closeWindow(VstWindow* window) {
    return callHost(0, audioMasterCloseWindow, 0, 0, window) != 0;
}

void* AudioEffectX::getDirectory() { return asPointer<void>(callHost(0, audioMasterGetDirectory)); }

bool AudioEffectX::updateDisplay() { return callHost(0, audioMasterUpdateDisplay) != 0; }

bool AudioEffectX::beginEdit(VstInt32 index) { return callHost(0, audioMasterBeginEdit, index) != 0; }

bool AudioEffectX::endEdit(VstInt32 index) { return callHost(0, audioMasterEndEdit, index) != 0; }

bool AudioEffectX::openFileSelector(VstFileSelect* select) {
    return select && callHost(0, audioMasterOpenFileSelector, 0, 0, select) != 0;
}

bool AudioEffectX::closeFileSelector(VstFileSelect* select) {
    return select && callHost(0, audioMasterCloseFileSelector, 0, 0, select) != 0;
}

bool AudioEffectX::getChunkFile(void* nativePath) {
    return nativePath && callHost(0, audioMasterGetChunkFile, 0, 0, nativePath) != 0;
}

VstSpeakerArrangement* AudioEffectX::getInputSpeakerArrangement() {
    return asPointer<VstSpeakerArrangement>(callHost(0, audioMasterGetInputSpeakerArrangement));
}
