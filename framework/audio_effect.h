// AudioEffect: the base of every effect. It embeds the record the host holds,
// turns requests 0 to 24 into virtual operations with defaults, and makes the
// five basic calls back into the host.
#pragma once

#include "framework/editor.h"
#include "framework/vst_abi.h"

class AudioEffect {
public:
    // Fills the record (all bytes zero first) and points its entries at this
    // object; numPrograms and numParams go to both the object and the record.
    AudioEffect(audioMasterCallback hostCallback, VstInt32 numPrograms, VstInt32 numParams);
    AudioEffect(const AudioEffect&) = delete;
    AudioEffect& operator=(const AudioEffect&) = delete;

    // Deletes the editor, if any. The host destroys effects only by effClose.
    virtual ~AudioEffect();

    // Base dispatch of opcodes 0 to 24; any other opcode answers 0.
    virtual VstIntPtr dispatcher(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt);

    virtual void open() {}
    virtual void close() {}
    // Switched off (effMainsChanged with value 0).
    virtual void suspend() {}
    // Switched on (effMainsChanged with any other value).
    virtual void resume() {}
    // Stores the host's sample rate in Hz.
    virtual void setSampleRate(float sampleRate) { this->sampleRate = sampleRate; }
    // Stores the largest block the host will pass.
    virtual void setBlockSize(VstInt32 blockSize) { this->blockSize = blockSize; }

    // Replaces outputs with the processed inputs; every effect supplies it.
    virtual void processReplacing(float** inputs, float** outputs, VstInt32 sampleFrames) = 0;
    // 64-bit replacing process; does nothing unless an effect replaces it.
    virtual void processDoubleReplacing(double** /*inputs*/, double** /*outputs*/, VstInt32 /*sampleFrames*/) {}

    // Parameters: normalized values, 0..1 from well-behaved hosts.
    virtual void setParameter(VstInt32 /*index*/, float /*value*/) {}
    virtual float getParameter(VstInt32 /*index*/) { return 0.0f; }
    // setParameter, then tells the host (audioMasterAutomate) so it records the change.
    virtual void setParameterAutomated(VstInt32 index, float value);

    // Programs. Texts written by the defaults are one zero byte.
    virtual VstInt32 getProgram() { return curProgram; }
    virtual void setProgram(VstInt32 program) { curProgram = program; }
    virtual void setProgramName(char* /*name*/) {}
    virtual void getProgramName(char* name);
    virtual void getParameterLabel(VstInt32 index, char* label);
    virtual void getParameterDisplay(VstInt32 index, char* text);
    virtual void getParameterName(VstInt32 index, char* text);
    // Opaque state; the defaults store and restore nothing and answer 0 bytes.
    virtual VstInt32 getChunk(void** /*data*/, bool /*isPreset*/ = false) { return 0; }
    virtual VstInt32 setChunk(void* /*data*/, VstInt32 /*byteSize*/, bool /*isPreset*/ = false) { return 0; }

    // Setters of the record's fields and flag bits.
    virtual void setUniqueID(VstInt32 id) { effectRecord.uniqueID = id; }
    virtual void setNumInputs(VstInt32 count) { effectRecord.numInputs = count; }
    virtual void setNumOutputs(VstInt32 count) { effectRecord.numOutputs = count; }
    virtual void canProcessReplacing(bool state = true) { setFlag(effFlagsCanReplacing, state); }
    virtual void canDoubleReplacing(bool state = true) { setFlag(effFlagsCanDoubleReplacing, state); }
    virtual void programsAreChunks(bool state = true) { setFlag(effFlagsProgramChunks, state); }
    virtual void setInitialDelay(VstInt32 delay) { effectRecord.initialDelay = delay; }

    virtual AEffEditor* getEditor() { return editor; }
    virtual AEffect* getAeffect() { return &effectRecord; }
    virtual float getSampleRate() { return sampleRate; }
    virtual VstInt32 getBlockSize() { return blockSize; }

    // The host's VST version; 1 without a host or when it answers 0.
    virtual VstInt32 getMasterVersion();
    // The unique ID of the effect the host is creating (shell plug-ins); 0 without a host.
    virtual VstInt32 getCurrentUniqueId();
    // Gives the host a chance to run its idle work.
    virtual void masterIdle();

    // Value-to-text helpers. Each cuts its text to maxLen characters, zero-
    // fills up to maxLen and stores a terminator at text[maxLen], never
    // beyond, so text holds maxLen + 1 bytes. A null text or a negative
    // maxLen writes nothing.
    // Decibels of a linear gain through float2string; "-oo" for 0 and below.
    virtual void dB2string(float value, char* text, VstInt32 maxLen);
    // Frequency in Hz of a period of `samples` at the current sample rate;
    // 0 samples read as 0 Hz.
    virtual void Hz2string(float samples, char* text, VstInt32 maxLen);
    // Milliseconds of `samples` at the current sample rate.
    virtual void ms2string(float samples, char* text, VstInt32 maxLen);
    // Eight characters: sign, integer digits, point, fraction digits cut (not
    // rounded), trailing zeros kept: 0.5 reads 0.500000. Integer parts that do
    // not fit the eight characters (10000000 and up, -1000000 and down) and
    // infinities read "Huge!", NaN reads "NaN".
    virtual void float2string(float value, char* text, VstInt32 maxLen);
    // Decimal digits, "-" first when negative, no leading zeros; 100000000
    // and up read "Huge!". Every negative value is written in full.
    virtual void int2string(VstInt32 value, char* text, VstInt32 maxLen);

    // Accumulating process (deprecated by the standard); does nothing.
    virtual void process(float** /*inputs*/, float** /*outputs*/, VstInt32 /*sampleFrames*/) {}
    virtual float getVu() { return 0.0f; }
    virtual void hasVu(bool state = true) { setFlag(effFlagsHasVu, state); }
    virtual void hasClip(bool state = true) { setFlag(effFlagsHasClip, state); }
    virtual void canMono(bool state = true) { setFlag(effFlagsCanMono, state); }
    virtual void setRealtimeQualities(VstInt32 value) { effectRecord.realQualities = value; }
    virtual void setOfflineQualities(VstInt32 value) { effectRecord.offQualities = value; }
    // Asks the host whether a pin is connected: true when it answers 0 or there is no host.
    virtual bool isInputConnected(VstInt32 input);
    virtual bool isOutputConnected(VstInt32 output);

protected:
    // The single road into the host: answers `fallback` when no callback is set.
    VstIntPtr callHost(VstIntPtr fallback, VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0,
                       void* ptr = nullptr, float opt = 0.0f);
    void setFlag(VstInt32 flag, bool state);

    audioMasterCallback hostCallback;
    AEffEditor* editor = nullptr;  // owned
    float sampleRate = 44100.0f;   // Hz
    VstInt32 blockSize = 1024;     // frames
    VstInt32 numPrograms;
    VstInt32 numParams;
    VstInt32 curProgram = 0;
    AEffect effectRecord;

private:
    static VstIntPtr VSTCALLBACK dispatchEntry(AEffect* e, VstInt32 opcode, VstInt32 index, VstIntPtr value,
                                               void* ptr, float opt);
    static void VSTCALLBACK processEntry(AEffect* e, float** inputs, float** outputs, VstInt32 sampleFrames);
    static void VSTCALLBACK setParameterEntry(AEffect* e, VstInt32 index, float value);
    static float VSTCALLBACK getParameterEntry(AEffect* e, VstInt32 index);
    static void VSTCALLBACK processReplacingEntry(AEffect* e, float** inputs, float** outputs,
                                                  VstInt32 sampleFrames);
    static void VSTCALLBACK processDoubleReplacingEntry(AEffect* e, double** inputs, double** outputs,
                                                        VstInt32 sampleFrames);
};

// Defined by the effect: creates one instance, or answers null when
// allocation fails. Called by the module's entry point.
AudioEffect* createEffect(audioMasterCallback hostCallback);
