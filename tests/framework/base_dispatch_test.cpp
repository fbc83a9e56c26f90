// The base effect class: the record it builds, the dispatch of requests 0 to
// 24, and its record-field and flag setters.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "framework/audio_effect.h"
#include "tests/support/recording_host.h"

namespace {

// Records which operation the dispatcher reached and with what.
class ProbeEffect : public AudioEffect {
public:
    explicit ProbeEffect(audioMasterCallback host = nullptr, VstInt32 programs = 4) : AudioEffect(host, programs, 3) {}

    std::string reached;
    VstIntPtr argInt = 0;
    float argFloat = 0;
    void* argPtr = nullptr;
    bool argBool = false;
    int* destroyed = nullptr;

    ~ProbeEffect() override {
        if (destroyed) ++*destroyed;
    }

    void processReplacing(float**, float**, VstInt32) override {}
    void open() override { reached = "open"; }
    void close() override { reached = "close"; }
    void suspend() override { reached = "suspend"; }
    void resume() override { reached = "resume"; }
    void setSampleRate(float rate) override { reached = "setSampleRate"; argFloat = rate; }
    void setBlockSize(VstInt32 size) override { reached = "setBlockSize"; argInt = size; }
    void setProgram(VstInt32 program) override { reached = "setProgram"; argInt = program; }
    VstInt32 getProgram() override { reached = "getProgram"; return 3; }
    void setProgramName(char* name) override { reached = "setProgramName"; argPtr = name; }
    void getProgramName(char* name) override { reached = "getProgramName"; argPtr = name; }
    void getParameterLabel(VstInt32 i, char* t) override { reached = "getParameterLabel"; argInt = i; argPtr = t; }
    void getParameterDisplay(VstInt32 i, char* t) override { reached = "getParameterDisplay"; argInt = i; argPtr = t; }
    void getParameterName(VstInt32 i, char* t) override { reached = "getParameterName"; argInt = i; argPtr = t; }
    VstInt32 getChunk(void** data, bool isPreset) override {
        reached = "getChunk"; argPtr = data; argBool = isPreset; return 77;
    }
    VstInt32 setChunk(void* data, VstInt32 size, bool isPreset) override {
        reached = "setChunk"; argPtr = data; argInt = size; argBool = isPreset; return 55;
    }

    using AudioEffect::curProgram;
    using AudioEffect::editor;
};

char buffer[64];

struct DispatchCase {
    const char* name;
    VstInt32 opcode;
    VstInt32 index;
    VstIntPtr value;
    void* ptr;
    float opt;
    VstIntPtr answer;
    std::string reached;  // empty: no operation is called
    VstIntPtr argInt;
    float argFloat;
    void* argPtr;
    bool argBool;
};

const DispatchCase dispatchCases[] = {
    {"open", effOpen, 0, 0, nullptr, 0, 0, "open", 0, 0, nullptr, false},
    {"close", effClose, 0, 0, nullptr, 0, 0, "close", 0, 0, nullptr, false},
    {"program in range", effSetProgram, 0, 2, nullptr, 0, 0, "setProgram", 2, 0, nullptr, false},
    {"program equal to count", effSetProgram, 0, 4, nullptr, 0, 0, "", 0, 0, nullptr, false},
    {"negative program passes", effSetProgram, 0, -5, nullptr, 0, 0, "setProgram", -5, 0, nullptr, false},
    {"get program", effGetProgram, 0, 0, nullptr, 0, 3, "getProgram", 0, 0, nullptr, false},
    {"set program name", effSetProgramName, 0, 0, buffer, 0, 0, "setProgramName", 0, 0, buffer, false},
    {"get program name", effGetProgramName, 0, 0, buffer, 0, 0, "getProgramName", 0, 0, buffer, false},
    {"label", effGetParamLabel, 2, 0, buffer, 0, 0, "getParameterLabel", 2, 0, buffer, false},
    {"display", effGetParamDisplay, 1, 0, buffer, 0, 0, "getParameterDisplay", 1, 0, buffer, false},
    {"name", effGetParamName, 7, 0, buffer, 0, 0, "getParameterName", 7, 0, buffer, false},
    {"vu", effGetVu, 0, 0, nullptr, 0, 0, "", 0, 0, nullptr, false},
    {"sample rate", effSetSampleRate, 0, 0, nullptr, 48000.0f, 0, "setSampleRate", 0, 48000.0f, nullptr, false},
    {"block size", effSetBlockSize, 0, 256, nullptr, 0, 0, "setBlockSize", 256, 0, nullptr, false},
    {"mains off", effMainsChanged, 0, 0, nullptr, 0, 0, "suspend", 0, 0, nullptr, false},
    {"mains on", effMainsChanged, 0, 1, nullptr, 0, 0, "resume", 0, 0, nullptr, false},
    {"mains any nonzero", effMainsChanged, 0, -7, nullptr, 0, 0, "resume", 0, 0, nullptr, false},
    {"edit rect, no editor", effEditGetRect, 0, 0, buffer, 0, 0, "", 0, 0, nullptr, false},
    {"edit open, no editor", effEditOpen, 0, 0, buffer, 0, 0, "", 0, 0, nullptr, false},
    {"edit close, no editor", effEditClose, 0, 0, nullptr, 0, 0, "", 0, 0, nullptr, false},
    {"edit draw", effEditDraw, 0, 0, nullptr, 0, 0, "", 0, 0, nullptr, false},
    {"edit mouse", effEditMouse, 0, 0, nullptr, 0, 0, "", 0, 0, nullptr, false},
    {"edit key", effEditKey, 0, 0, nullptr, 0, 0, "", 0, 0, nullptr, false},
    {"edit idle, no editor", effEditIdle, 0, 0, nullptr, 0, 0, "", 0, 0, nullptr, false},
    {"edit top", effEditTop, 0, 0, nullptr, 0, 0, "", 0, 0, nullptr, false},
    {"edit sleep", effEditSleep, 0, 0, nullptr, 0, 0, "", 0, 0, nullptr, false},
    {"identify", effIdentify, 0, 0, nullptr, 0, fourCharCode('N', 'v', 'E', 'f'), "", 0, 0, nullptr, false},
    {"get chunk, bank", effGetChunk, 0, 0, buffer, 0, 77, "getChunk", 0, 0, buffer, false},
    {"get chunk, preset", effGetChunk, 9, 0, buffer, 0, 77, "getChunk", 0, 0, buffer, true},
    {"set chunk", effSetChunk, 1, 123, buffer, 0, 55, "setChunk", 123, 0, buffer, true},
    {"unknown opcode", 100, 0, 0, nullptr, 0, 0, "", 0, 0, nullptr, false},
    {"negative opcode", -1, 0, 0, nullptr, 0, 0, "", 0, 0, nullptr, false},
};

TEST(BaseDispatch, EachOpcodeReachesItsOperationWithConvertedArguments) {
    for (const auto& c : dispatchCases) {
        SCOPED_TRACE(c.name);
        ProbeEffect effect;
        EXPECT_EQ(effect.dispatcher(c.opcode, c.index, c.value, c.ptr, c.opt), c.answer);
        EXPECT_EQ(effect.reached, c.reached);
        EXPECT_EQ(effect.argInt, c.argInt);
        EXPECT_EQ(effect.argFloat, c.argFloat);
        EXPECT_EQ(effect.argPtr, c.argPtr);
        EXPECT_EQ(effect.argBool, c.argBool);
    }
}

// Bare base class: the default operations behind the dispatcher.
class BareEffect : public AudioEffect {
public:
    BareEffect() : AudioEffect(nullptr, 2, 5) {}
    void processReplacing(float**, float**, VstInt32) override {}
};

TEST(BaseDispatch, DefaultsStoreStateAndWriteOneZeroByte) {
    BareEffect effect;
    effect.dispatcher(effSetSampleRate, 0, 0, nullptr, 96000.0f);
    effect.dispatcher(effSetBlockSize, 0, 64, nullptr, 0);
    effect.dispatcher(effSetProgram, 0, 1, nullptr, 0);
    EXPECT_EQ(effect.getSampleRate(), 96000.0f);
    EXPECT_EQ(effect.getBlockSize(), 64);
    EXPECT_EQ(effect.dispatcher(effGetProgram, 0, 0, nullptr, 0), 1);
    EXPECT_EQ(effect.getParameter(0), 0.0f);

    for (VstInt32 opcode : {effGetProgramName, effGetParamLabel, effGetParamDisplay, effGetParamName}) {
        SCOPED_TRACE(opcode);
        char text[8];
        std::memset(text, 'x', sizeof text);
        effect.dispatcher(opcode, 0, 0, text, 0);
        EXPECT_EQ(text[0], 0);
        EXPECT_EQ(std::string(text + 1, 7), std::string(7, 'x'));
        // A host passing no buffer gets nothing written, not a crash.
        effect.dispatcher(opcode, 0, 0, nullptr, 0);
    }
}

TEST(BaseRecord, ConstructionFillsEveryField) {
    BareEffect effect;
    const AEffect& e = *effect.getAeffect();
    EXPECT_EQ(e.magic, 0x56737450);
    EXPECT_EQ(e.numPrograms, 2);
    EXPECT_EQ(e.numParams, 5);
    EXPECT_EQ(e.numInputs, 1);
    EXPECT_EQ(e.numOutputs, 2);
    EXPECT_EQ(e.flags, effFlagsCanReplacing);
    EXPECT_EQ(e.resvd1, 0);
    EXPECT_EQ(e.resvd2, 0);
    EXPECT_EQ(e.initialDelay, 0);
    EXPECT_EQ(e.ioRatio, 1.0f);
    EXPECT_EQ(e.object, static_cast<void*>(&effect));
    EXPECT_EQ(e.user, nullptr);
    EXPECT_EQ(e.uniqueID, 0x4E6F4566);
    EXPECT_EQ(e.version, 1);
    for (auto entry : {reinterpret_cast<void*>(e.dispatcher), reinterpret_cast<void*>(e.process),
                       reinterpret_cast<void*>(e.setParameter), reinterpret_cast<void*>(e.getParameter),
                       reinterpret_cast<void*>(e.processReplacing),
                       reinterpret_cast<void*>(e.processDoubleReplacing)})
        EXPECT_NE(entry, nullptr);
    EXPECT_EQ(std::string(e.future, sizeof e.future), std::string(sizeof e.future, '\0'));
}

TEST(BaseRecord, SettersChangeFieldsAndFlags) {
    BareEffect effect;
    const AEffect& e = *effect.getAeffect();
    effect.setUniqueID(1234);
    effect.setNumInputs(6);
    effect.setNumOutputs(8);
    effect.setInitialDelay(32);
    effect.setRealtimeQualities(3);
    effect.setOfflineQualities(4);
    EXPECT_EQ(e.uniqueID, 1234);
    EXPECT_EQ(e.numInputs, 6);
    EXPECT_EQ(e.numOutputs, 8);
    EXPECT_EQ(e.initialDelay, 32);
    EXPECT_EQ(e.realQualities, 3);
    EXPECT_EQ(e.offQualities, 4);

    struct FlagSetter {
        void (AudioEffect::*set)(bool);
        VstInt32 flag;
    };
    const FlagSetter setters[] = {
        {&AudioEffect::canProcessReplacing, effFlagsCanReplacing},
        {&AudioEffect::canDoubleReplacing, effFlagsCanDoubleReplacing},
        {&AudioEffect::programsAreChunks, effFlagsProgramChunks},
        {&AudioEffect::hasVu, effFlagsHasVu},
        {&AudioEffect::hasClip, effFlagsHasClip},
        {&AudioEffect::canMono, effFlagsCanMono},
    };
    for (const auto& s : setters) {
        SCOPED_TRACE(s.flag);
        const VstInt32 others = e.flags & ~s.flag;
        (effect.*s.set)(true);
        EXPECT_EQ(e.flags, others | s.flag);
        (effect.*s.set)(false);
        EXPECT_EQ(e.flags, others);
    }
}

TEST(BaseEntries, RecordEntriesReachTheObject) {
    ProbeEffect effect;
    AEffect* e = effect.getAeffect();
    EXPECT_EQ(e->dispatcher(e, effGetProgram, 0, 0, nullptr, 0), 3);
    EXPECT_EQ(effect.reached, "getProgram");
    e->dispatcher(e, effSetSampleRate, 0, 0, nullptr, 22050.0f);
    EXPECT_EQ(effect.argFloat, 22050.0f);

    // The accumulating and double-precision entries do nothing by default.
    float in[4] = {1, 2, 3, 4}, out[4] = {9, 9, 9, 9};
    float* ins[] = {in, in};
    float* outs[] = {out, out};
    e->process(e, ins, outs, 4);
    double din[4] = {1, 2, 3, 4}, dout[4] = {9, 9, 9, 9};
    double* dins[] = {din, din};
    double* douts[] = {dout, dout};
    e->processDoubleReplacing(e, dins, douts, 4);
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(out[i], 9.0f);
        EXPECT_EQ(dout[i], 9.0);
    }
}

TEST(BaseEntries, CloseAnswersOneAndDestroysTheObject) {
    int destroyed = 0;
    auto* effect = new ProbeEffect;
    effect->destroyed = &destroyed;
    AEffect* e = effect->getAeffect();
    EXPECT_EQ(e->dispatcher(e, effClose, 0, 0, nullptr, 0), 1);
    EXPECT_EQ(destroyed, 1);
}

// An editor that counts what the dispatcher asks of it and its destruction.
class CountingEditor : public AEffEditor {
public:
    explicit CountingEditor(std::vector<std::string>& log) : log(log) {}
    ~CountingEditor() override { log.push_back("destroyed"); }
    bool getRect(ERect** rect) override { log.push_back("getRect"); *rect = nullptr; return true; }
    bool open(void*) override { log.push_back("open"); return false; }
    void close() override { log.push_back("close"); }
    void idle() override { log.push_back("idle"); }
    bool onKeyDown(VstKeyCode&) override { return false; }
    bool onKeyUp(VstKeyCode&) override { return false; }
    bool setKnobMode(VstInt32) override { return false; }

private:
    std::vector<std::string>& log;
};

TEST(BaseDispatch, EditorRequestsReachAnEditorAndItDiesWithTheEffect) {
    std::vector<std::string> log;
    auto* effect = new ProbeEffect;
    effect->editor = new CountingEditor(log);
    ERect* rect = nullptr;
    EXPECT_EQ(effect->dispatcher(effEditGetRect, 0, 0, &rect, 0), 1);
    EXPECT_EQ(effect->dispatcher(effEditOpen, 0, 0, nullptr, 0), 0);
    EXPECT_EQ(effect->dispatcher(effEditIdle, 0, 0, nullptr, 0), 0);
    EXPECT_EQ(effect->dispatcher(effEditClose, 0, 0, nullptr, 0), 0);
    AEffect* e = effect->getAeffect();
    e->dispatcher(e, effClose, 0, 0, nullptr, 0);
    EXPECT_EQ(log, (std::vector<std::string>{"getRect", "open", "idle", "close", "destroyed"}));
}

}  // namespace
