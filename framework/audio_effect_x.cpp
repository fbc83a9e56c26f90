#include "framework/audio_effect_x.h"

#include <cmath>

namespace {
// Boolean answers reach the host as the integers 1 and 0.
constexpr VstIntPtr oneOrZero(bool answer) { return answer ? 1 : 0; }

// The key record of effEditKeyDown and effEditKeyUp: the character from index,
// the virtual key from the low 8 bits of value, the modifier from the low
// 8 bits of opt truncated toward zero. fmod keeps those bits exactly for any
// finite opt, and a float cast of something outside the int range would be
// undefined, so NaN and the infinities give modifier 0.
VstKeyCode keyCode(VstInt32 index, VstIntPtr value, float opt) {
    const int truncated = std::isfinite(opt) ? static_cast<int>(std::fmod(opt, 256.0f)) : 0;
    return VstKeyCode{index, static_cast<unsigned char>(value), static_cast<unsigned char>(truncated)};
}
}  // namespace

VstIntPtr AudioEffectX::dispatcher(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt) {
    switch (opcode) {
    case effProcessEvents: return processEvents(static_cast<VstEvents*>(ptr));
    case effCanBeAutomated: return oneOrZero(canParameterBeAutomated(index));
    case effString2Parameter: return oneOrZero(string2parameter(index, static_cast<char*>(ptr)));
    case effGetProgramNameIndexed:
        return oneOrZero(getProgramNameIndexed(static_cast<VstInt32>(value), index, static_cast<char*>(ptr)));
    case effGetInputProperties: return oneOrZero(getInputProperties(index, static_cast<VstPinProperties*>(ptr)));
    case effGetOutputProperties:
        return oneOrZero(getOutputProperties(index, static_cast<VstPinProperties*>(ptr)));
    case effGetPlugCategory: return getPlugCategory();
    case effOfflineNotify:
        return oneOrZero(offlineNotify(static_cast<VstAudioFile*>(ptr), static_cast<VstInt32>(value), index != 0));
    case effOfflinePrepare:
        return oneOrZero(offlinePrepare(static_cast<VstOfflineTask*>(ptr), static_cast<VstInt32>(value)));
    case effOfflineRun: return oneOrZero(offlineRun(static_cast<VstOfflineTask*>(ptr), static_cast<VstInt32>(value)));
    case effProcessVarIo: return oneOrZero(processVariableIo(static_cast<VstVariableIo*>(ptr)));
    // The input arrangement travels in value, the output one in ptr.
    case effSetSpeakerArrangement:
        return oneOrZero(setSpeakerArrangement(reinterpret_cast<VstSpeakerArrangement*>(value),
                                               static_cast<VstSpeakerArrangement*>(ptr)));
    case effSetBypass: return oneOrZero(setBypass(value != 0));
    case effGetEffectName: return oneOrZero(getEffectName(static_cast<char*>(ptr)));
    case effGetVendorString: return oneOrZero(getVendorString(static_cast<char*>(ptr)));
    case effGetProductString: return oneOrZero(getProductString(static_cast<char*>(ptr)));
    case effGetVendorVersion: return getVendorVersion();
    case effVendorSpecific: return vendorSpecific(index, value, ptr, opt);
    case effCanDo: return canDo(static_cast<char*>(ptr));
    case effGetTailSize: return getGetTailSize();
    case effGetParameterProperties:
        return oneOrZero(getParameterProperties(index, static_cast<VstParameterProperties*>(ptr)));
    case effGetVstVersion: return getVstVersion();
    case effEditKeyDown: {
        VstKeyCode key = keyCode(index, value, opt);
        return oneOrZero(editor && editor->onKeyDown(key));
    }
    case effEditKeyUp: {
        VstKeyCode key = keyCode(index, value, opt);
        return oneOrZero(editor && editor->onKeyUp(key));
    }
    case effSetEditKnobMode: return oneOrZero(editor && editor->setKnobMode(static_cast<VstInt32>(value)));
    case effGetMidiProgramName: return getMidiProgramName(index, static_cast<MidiProgramName*>(ptr));
    case effGetCurrentMidiProgram: return getCurrentMidiProgram(index, static_cast<MidiProgramName*>(ptr));
    case effGetMidiProgramCategory: return getMidiProgramCategory(index, static_cast<MidiProgramCategory*>(ptr));
    case effHasMidiProgramsChanged: return oneOrZero(hasMidiProgramsChanged(index));
    case effGetMidiKeyName: return oneOrZero(getMidiKeyName(index, static_cast<MidiKeyName*>(ptr)));
    case effBeginSetProgram: return oneOrZero(beginSetProgram());
    case effEndSetProgram: return oneOrZero(endSetProgram());
    // As for effSetSpeakerArrangement: the input side in value, the output side in ptr.
    case effGetSpeakerArrangement:
        return oneOrZero(getSpeakerArrangement(reinterpret_cast<VstSpeakerArrangement**>(value),
                                               static_cast<VstSpeakerArrangement**>(ptr)));
    case effShellGetNextPlugin: return getNextShellPlugin(static_cast<char*>(ptr));
    case effStartProcess: return startProcess();
    case effStopProcess: return stopProcess();
    case effSetTotalSampleToProcess: return setTotalSampleToProcess(static_cast<VstInt32>(value));
    case effSetPanLaw: return oneOrZero(setPanLaw(static_cast<VstInt32>(value), opt));
    case effBeginLoadBank: return beginLoadBank(static_cast<VstPatchChunkInfo*>(ptr));
    case effBeginLoadProgram: return beginLoadProgram(static_cast<VstPatchChunkInfo*>(ptr));
    case effSetProcessPrecision: return oneOrZero(setProcessPrecision(static_cast<VstInt32>(value)));
    case effGetNumMidiInputChannels: return getNumMidiInputChannels();
    case effGetNumMidiOutputChannels: return getNumMidiOutputChannels();
    // Requests 0 to 24, and the VST 2.x requests this class leaves to the base
    // (program categories, connections, position, destination buffer, block
    // size with rate, error text, idle, icon, view position, keys required),
    // which the base answers with 0.
    default: return AudioEffect::dispatcher(opcode, index, value, ptr, opt);
    }
}

void AudioEffectX::resume() {
    // A synth always wants events; anything else only when it says it takes
    // them for certain (1), not on "don't know" (0) or "no" (-1).
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
