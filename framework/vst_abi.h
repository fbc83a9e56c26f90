// The binary interface shared with a VST 2.4 host: integer types, the effect
// record, the host callback, opcodes and flag bits. Plain C-compatible
// declarations only, so a host can include this header without our classes.
#pragma once

#include <cstddef>
#include <cstdint>

using VstInt32 = std::int32_t;
using VstIntPtr = std::intptr_t;

// Calling convention of every function crossing the boundary: cdecl on
// 32-bit Windows, the platform default everywhere else.
#if defined(_WIN32) && !defined(_WIN64)
#define VSTCALLBACK __cdecl
#else
#define VSTCALLBACK
#endif

// Marks the module's two entry symbols; everything else stays hidden.
#if defined(_WIN32)
#define VST_EXPORT extern "C" __declspec(dllexport)
#else
#define VST_EXPORT extern "C" __attribute__((visibility("default")))
#endif

struct AEffect;

extern "C" {
using audioMasterCallback = VstIntPtr(VSTCALLBACK*)(AEffect* effect, VstInt32 opcode, VstInt32 index,
                                                     VstIntPtr value, void* ptr, float opt);
using AEffectDispatcherProc = VstIntPtr(VSTCALLBACK*)(AEffect* effect, VstInt32 opcode, VstInt32 index,
                                                       VstIntPtr value, void* ptr, float opt);
using AEffectProcessProc = void(VSTCALLBACK*)(AEffect* effect, float** inputs, float** outputs,
                                              VstInt32 sampleFrames);
using AEffectProcessDoubleProc = void(VSTCALLBACK*)(AEffect* effect, double** inputs, double** outputs,
                                                    VstInt32 sampleFrames);
using AEffectSetParameterProc = void(VSTCALLBACK*)(AEffect* effect, VstInt32 index, float parameter);
using AEffectGetParameterProc = float(VSTCALLBACK*)(AEffect* effect, VstInt32 index);
using VstPluginMainProc = AEffect*(VSTCALLBACK*)(audioMasterCallback host);
}

// Four-character code, first character in the most significant byte.
constexpr VstInt32 fourCharCode(char a, char b, char c, char d) {
    return static_cast<VstInt32>((static_cast<std::uint32_t>(static_cast<unsigned char>(a)) << 24) |
                                 (static_cast<std::uint32_t>(static_cast<unsigned char>(b)) << 16) |
                                 (static_cast<std::uint32_t>(static_cast<unsigned char>(c)) << 8) |
                                 static_cast<std::uint32_t>(static_cast<unsigned char>(d)));
}

constexpr VstInt32 kEffectMagic = fourCharCode('V', 's', 't', 'P');

// The effect record the host holds for an instance's whole life.
struct AEffect {
    VstInt32 magic;                                  // kEffectMagic
    AEffectDispatcherProc dispatcher;                // numbered requests
    AEffectProcessProc process;                      // accumulating process (deprecated)
    AEffectSetParameterProc setParameter;            // parameter write, value 0..1
    AEffectGetParameterProc getParameter;            // parameter read
    VstInt32 numPrograms;
    VstInt32 numParams;
    VstInt32 numInputs;
    VstInt32 numOutputs;
    VstInt32 flags;                                  // VstAEffectFlags bits
    VstIntPtr resvd1;
    VstIntPtr resvd2;
    VstInt32 initialDelay;                           // latency in samples
    VstInt32 realQualities;                          // deprecated
    VstInt32 offQualities;                           // deprecated
    float ioRatio;                                   // deprecated
    void* object;                                    // the effect object embedding this record
    void* user;                                      // free for the host
    VstInt32 uniqueID;                               // four-character identifier
    VstInt32 version;
    AEffectProcessProc processReplacing;             // replacing process, 32-bit samples
    AEffectProcessDoubleProc processDoubleReplacing; // replacing process, 64-bit samples
    char future[56];
};

constexpr bool kIs64Bit = sizeof(void*) == 8;
constexpr std::size_t abiOffset(std::size_t at32, std::size_t at64) { return kIs64Bit ? at64 : at32; }

//                                                                  32-bit  64-bit
static_assert(offsetof(AEffect, magic) ==                  abiOffset(0,      0));
static_assert(offsetof(AEffect, dispatcher) ==             abiOffset(4,      8));
static_assert(offsetof(AEffect, process) ==                abiOffset(8,      16));
static_assert(offsetof(AEffect, setParameter) ==           abiOffset(12,     24));
static_assert(offsetof(AEffect, getParameter) ==           abiOffset(16,     32));
static_assert(offsetof(AEffect, numPrograms) ==            abiOffset(20,     40));
static_assert(offsetof(AEffect, numParams) ==              abiOffset(24,     44));
static_assert(offsetof(AEffect, numInputs) ==              abiOffset(28,     48));
static_assert(offsetof(AEffect, numOutputs) ==             abiOffset(32,     52));
static_assert(offsetof(AEffect, flags) ==                  abiOffset(36,     56));
static_assert(offsetof(AEffect, resvd1) ==                 abiOffset(40,     64));
static_assert(offsetof(AEffect, resvd2) ==                 abiOffset(44,     72));
static_assert(offsetof(AEffect, initialDelay) ==           abiOffset(48,     80));
static_assert(offsetof(AEffect, realQualities) ==          abiOffset(52,     84));
static_assert(offsetof(AEffect, offQualities) ==           abiOffset(56,     88));
static_assert(offsetof(AEffect, ioRatio) ==                abiOffset(60,     92));
static_assert(offsetof(AEffect, object) ==                 abiOffset(64,     96));
static_assert(offsetof(AEffect, user) ==                   abiOffset(68,     104));
static_assert(offsetof(AEffect, uniqueID) ==               abiOffset(72,     112));
static_assert(offsetof(AEffect, version) ==                abiOffset(76,     116));
static_assert(offsetof(AEffect, processReplacing) ==       abiOffset(80,     120));
static_assert(offsetof(AEffect, processDoubleReplacing) == abiOffset(84,     128));
static_assert(offsetof(AEffect, future) ==                 abiOffset(88,     136));
static_assert(sizeof(AEffect) ==                           abiOffset(144,    192));

enum VstAEffectFlags : VstInt32 {
    effFlagsHasEditor = 1 << 0,
    effFlagsHasClip = 1 << 1,
    effFlagsHasVu = 1 << 2,
    effFlagsCanMono = 1 << 3,
    effFlagsCanReplacing = 1 << 4,
    effFlagsProgramChunks = 1 << 5,
    effFlagsIsSynth = 1 << 8,
    effFlagsNoSoundInStop = 1 << 9,
    effFlagsExtIsAsync = 1 << 10,
    effFlagsExtHasBuffer = 1 << 11,
    effFlagsCanDoubleReplacing = 1 << 12,
};

// Requests from the host to the effect (the dispatcher's opcode).
enum AEffectOpcodes : VstInt32 {
    effOpen = 0,
    effClose,
    effSetProgram,
    effGetProgram,
    effSetProgramName,
    effGetProgramName,
    effGetParamLabel,
    effGetParamDisplay,
    effGetParamName,
    effGetVu,
    effSetSampleRate,
    effSetBlockSize,
    effMainsChanged,
    effEditGetRect,
    effEditOpen,
    effEditClose,
    effEditDraw,
    effEditMouse,
    effEditKey,
    effEditIdle,
    effEditTop,
    effEditSleep,
    effIdentify,
    effGetChunk,
    effSetChunk,
    effProcessEvents,
    effCanBeAutomated,
    effString2Parameter,
    effGetNumProgramCategories,
    effGetProgramNameIndexed,
    effCopyProgram,
    effConnectInput,
    effConnectOutput,
    effGetInputProperties,
    effGetOutputProperties,
    effGetPlugCategory,
    effGetCurrentPosition,
    effGetDestinationBuffer,
    effOfflineNotify,
    effOfflinePrepare,
    effOfflineRun,
    effProcessVarIo,
    effSetSpeakerArrangement,
    effSetBlockSizeAndSampleRate,
    effSetBypass,
    effGetEffectName,
    effGetErrorText,
    effGetVendorString,
    effGetProductString,
    effGetVendorVersion,
    effVendorSpecific,
    effCanDo,
    effGetTailSize,
    effIdle,
    effGetIcon,
    effSetViewPosition,
    effGetParameterProperties,
    effKeysRequired,
    effGetVstVersion,
    effEditKeyDown,
    effEditKeyUp,
    effSetEditKnobMode,
    effGetMidiProgramName,
    effGetCurrentMidiProgram,
    effGetMidiProgramCategory,
    effHasMidiProgramsChanged,
    effGetMidiKeyName,
    effBeginSetProgram,
    effEndSetProgram,
    effGetSpeakerArrangement,
    effShellGetNextPlugin,
    effStartProcess,
    effStopProcess,
    effSetTotalSampleToProcess,
    effSetPanLaw,
    effBeginLoadBank,
    effBeginLoadProgram,
    effSetProcessPrecision,
    effGetNumMidiInputChannels,
    effGetNumMidiOutputChannels,
};
static_assert(effSetChunk == 24 && effGetEffectName == 45 && effGetNumMidiOutputChannels == 79);

// Requests from the effect to the host (the host callback's opcode).
enum AudioMasterOpcodes : VstInt32 {
    audioMasterAutomate = 0,
    audioMasterVersion,
    audioMasterCurrentId,
    audioMasterIdle,
    audioMasterPinConnected,
    audioMasterWantMidi = 6,
    audioMasterGetTime,
    audioMasterProcessEvents,
    audioMasterSetTime,
    audioMasterTempoAt,
    audioMasterGetNumAutomatableParameters,
    audioMasterGetParameterQuantization,
    audioMasterIOChanged,
    audioMasterNeedIdle,
    audioMasterSizeWindow,
    audioMasterGetSampleRate,
    audioMasterGetBlockSize,
    audioMasterGetInputLatency,
    audioMasterGetOutputLatency,
    audioMasterGetPreviousPlug,
    audioMasterGetNextPlug,
    audioMasterWillReplaceOrAccumulate,
    audioMasterGetCurrentProcessLevel,
    audioMasterGetAutomationState,
    audioMasterOfflineStart,
    audioMasterOfflineRead,
    audioMasterOfflineWrite,
    audioMasterOfflineGetCurrentPass,
    audioMasterOfflineGetCurrentMetaPass,
    audioMasterSetOutputSampleRate,
    audioMasterGetOutputSpeakerArrangement,
    audioMasterGetVendorString,
    audioMasterGetProductString,
    audioMasterGetVendorVersion,
    audioMasterVendorSpecific,
    audioMasterSetIcon,
    audioMasterCanDo,
    audioMasterGetLanguage,
    audioMasterOpenWindow,
    audioMasterCloseWindow,
    audioMasterGetDirectory,
    audioMasterUpdateDisplay,
    audioMasterBeginEdit,
    audioMasterEndEdit,
    audioMasterOpenFileSelector,
    audioMasterCloseFileSelector,
    audioMasterEditFile,
    audioMasterGetChunkFile,
    audioMasterGetInputSpeakerArrangement,
};
static_assert(audioMasterCanDo == 37 && audioMasterGetInputSpeakerArrangement == 49);

// Key event handed to an editor (effEditKeyDown, effEditKeyUp).
struct VstKeyCode {
    VstInt32 character;
    unsigned char virt;
    unsigned char modifier;
};
static_assert(offsetof(VstKeyCode, virt) == 4 && offsetof(VstKeyCode, modifier) == 5);

// One speaker of an arrangement.
struct VstSpeakerProperties {
    float azimuth;
    float elevation;
    float radius;
    float reserved;
    char name[64];
    VstInt32 type;
    char future[28];
};
//                                                          32-bit  64-bit
static_assert(offsetof(VstSpeakerProperties, azimuth) ==   abiOffset(0,  0));
static_assert(offsetof(VstSpeakerProperties, elevation) == abiOffset(4,  4));
static_assert(offsetof(VstSpeakerProperties, radius) ==    abiOffset(8,  8));
static_assert(offsetof(VstSpeakerProperties, reserved) ==  abiOffset(12, 12));
static_assert(offsetof(VstSpeakerProperties, name) ==      abiOffset(16, 16));
static_assert(offsetof(VstSpeakerProperties, type) ==      abiOffset(80, 80));
static_assert(offsetof(VstSpeakerProperties, future) ==    abiOffset(84, 84));
static_assert(sizeof(VstSpeakerProperties) ==              abiOffset(112, 112));

// An arrangement: a header followed by numChannels speakers in one block.
// The speakers array is declared with two entries, as the standard does; the
// arrangement tools allocate exactly 8 + 112 x numChannels bytes.
struct VstSpeakerArrangement {
    VstInt32 type;
    VstInt32 numChannels;
    VstSpeakerProperties speakers[2];
};
static_assert(offsetof(VstSpeakerArrangement, numChannels) == 4);
static_assert(offsetof(VstSpeakerArrangement, speakers) == 8);

// Records of the standard that the framework only passes through by pointer;
// an effect that uses one of them declares its layout itself.
struct VstTimeInfo;
struct VstEvents;
struct VstVariableIo;
struct VstParameterProperties;
struct VstPinProperties;
struct VstPatchChunkInfo;
struct VstAudioFile;
struct VstOfflineTask;
struct VstFileSelect;
struct VstWindow;
struct MidiProgramName;
struct MidiProgramCategory;
struct MidiKeyName;

// Plug-in categories answered to effGetPlugCategory.
enum VstPlugCategory : VstInt32 {
    kPlugCategUnknown = 0,
    kPlugCategEffect = 1,
    kPlugCategSynth = 2,
};
