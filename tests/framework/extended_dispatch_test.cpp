// Requests 25 to 79 through AudioEffectX::dispatcher: every opcode against the
// operation it must reach, the arguments that operation receives and the
// answer the host gets back. The test effect records each call, so argument
// conversions (value as a pointer, value != 0, index != 0, key codes) are
// observed rather than assumed.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <initializer_list>
#include <iterator>
#include <limits>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "framework/audio_effect_x.h"

namespace {

struct Call {
    std::string op;
    std::vector<VstIntPtr> ints;      // integer and boolean arguments, in order
    std::vector<const void*> ptrs;    // pointer arguments, in order
    float opt = 0.0f;
};

// The answer every recording operation gives: booleans answer reply != 0.
struct Recorder {
    std::vector<Call> calls;
    VstIntPtr reply = 0;

    VstIntPtr note(const char* op, std::initializer_list<VstIntPtr> ints = {},
                   std::initializer_list<const void*> ptrs = {}, float opt = 0.0f) {
        calls.push_back({op, ints, ptrs, opt});
        return reply;
    }
    bool yes(const char* op, std::initializer_list<VstIntPtr> ints = {},
             std::initializer_list<const void*> ptrs = {}, float opt = 0.0f) {
        return note(op, ints, ptrs, opt) != 0;
    }
    VstInt32 number(const char* op, std::initializer_list<VstIntPtr> ints = {},
                    std::initializer_list<const void*> ptrs = {}) {
        return static_cast<VstInt32>(note(op, ints, ptrs));
    }
};

class RecordingEditor : public AEffEditor {
public:
    explicit RecordingEditor(Recorder& recorder) : log(recorder) {}
    bool getRect(ERect** rect) override { return log.yes("getRect", {}, {rect}); }
    bool open(void* parent) override { return log.yes("editor open", {}, {parent}); }
    void close() override { log.note("editor close"); }
    void idle() override { log.note("editor idle"); }
    bool onKeyDown(VstKeyCode& key) override { return log.yes("onKeyDown", {key.character, key.virt, key.modifier}); }
    bool onKeyUp(VstKeyCode& key) override { return log.yes("onKeyUp", {key.character, key.virt, key.modifier}); }
    bool setKnobMode(VstInt32 mode) override { return log.yes("setKnobMode", {mode}); }

private:
    Recorder& log;
};

// Replaces every operation the extended requests may reach, including those
// of the rows the base answers, so a request wired to the wrong operation
// shows up in the log.
class RecordingEffect : public AudioEffectX {
public:
    RecordingEffect() : AudioEffectX(nullptr, 1, 1) {}
    void installEditor() { editor = new RecordingEditor(log); }

    Recorder log;

    void processReplacing(float**, float**, VstInt32) override {}
    VstInt32 setChunk(void* data, VstInt32 byteSize, bool isPreset) override {
        return log.number("setChunk", {byteSize, isPreset}, {data});
    }

    VstInt32 processEvents(VstEvents* events) override { return log.number("processEvents", {}, {events}); }
    bool canParameterBeAutomated(VstInt32 index) override { return log.yes("canParameterBeAutomated", {index}); }
    bool string2parameter(VstInt32 index, char* text) override {
        return log.yes("string2parameter", {index}, {text});
    }
    bool getProgramNameIndexed(VstInt32 category, VstInt32 index, char* text) override {
        return log.yes("getProgramNameIndexed", {category, index}, {text});
    }
    bool getInputProperties(VstInt32 index, VstPinProperties* properties) override {
        return log.yes("getInputProperties", {index}, {properties});
    }
    bool getOutputProperties(VstInt32 index, VstPinProperties* properties) override {
        return log.yes("getOutputProperties", {index}, {properties});
    }
    VstInt32 getPlugCategory() override { return log.number("getPlugCategory"); }
    bool offlineNotify(VstAudioFile* files, VstInt32 count, bool start) override {
        return log.yes("offlineNotify", {count, start}, {files});
    }
    bool offlinePrepare(VstOfflineTask* offline, VstInt32 count) override {
        return log.yes("offlinePrepare", {count}, {offline});
    }
    bool offlineRun(VstOfflineTask* offline, VstInt32 count) override {
        return log.yes("offlineRun", {count}, {offline});
    }
    bool processVariableIo(VstVariableIo* varIo) override { return log.yes("processVariableIo", {}, {varIo}); }
    bool setSpeakerArrangement(VstSpeakerArrangement* input, VstSpeakerArrangement* output) override {
        return log.yes("setSpeakerArrangement", {}, {input, output});
    }
    bool setBypass(bool onOff) override { return log.yes("setBypass", {onOff}); }
    bool getEffectName(char* name) override { return log.yes("getEffectName", {}, {name}); }
    bool getVendorString(char* text) override { return log.yes("getVendorString", {}, {text}); }
    bool getProductString(char* text) override { return log.yes("getProductString", {}, {text}); }
    VstInt32 getVendorVersion() override { return log.number("getVendorVersion"); }
    VstIntPtr vendorSpecific(VstInt32 index, VstIntPtr value, void* ptr, float opt) override {
        return log.note("vendorSpecific", {index, value}, {ptr}, opt);
    }
    VstInt32 canDo(char* text) override { return log.number("canDo", {}, {text}); }
    VstInt32 getGetTailSize() override { return log.number("getGetTailSize"); }
    bool getParameterProperties(VstInt32 index, VstParameterProperties* properties) override {
        return log.yes("getParameterProperties", {index}, {properties});
    }
    VstInt32 getVstVersion() override { return log.number("getVstVersion"); }
    VstInt32 getMidiProgramName(VstInt32 channel, MidiProgramName* name) override {
        return log.number("getMidiProgramName", {channel}, {name});
    }
    VstInt32 getCurrentMidiProgram(VstInt32 channel, MidiProgramName* name) override {
        return log.number("getCurrentMidiProgram", {channel}, {name});
    }
    VstInt32 getMidiProgramCategory(VstInt32 channel, MidiProgramCategory* category) override {
        return log.number("getMidiProgramCategory", {channel}, {category});
    }
    bool hasMidiProgramsChanged(VstInt32 channel) override { return log.yes("hasMidiProgramsChanged", {channel}); }
    bool getMidiKeyName(VstInt32 channel, MidiKeyName* keyName) override {
        return log.yes("getMidiKeyName", {channel}, {keyName});
    }
    bool beginSetProgram() override { return log.yes("beginSetProgram"); }
    bool endSetProgram() override { return log.yes("endSetProgram"); }
    bool getSpeakerArrangement(VstSpeakerArrangement** input, VstSpeakerArrangement** output) override {
        return log.yes("getSpeakerArrangement", {}, {input, output});
    }
    VstInt32 getNextShellPlugin(char* name) override { return log.number("getNextShellPlugin", {}, {name}); }
    VstInt32 startProcess() override { return log.number("startProcess"); }
    VstInt32 stopProcess() override { return log.number("stopProcess"); }
    VstInt32 setTotalSampleToProcess(VstInt32 value) override {
        return log.number("setTotalSampleToProcess", {value});
    }
    bool setPanLaw(VstInt32 type, float value) override { return log.yes("setPanLaw", {type}, {}, value); }
    VstInt32 beginLoadBank(VstPatchChunkInfo* info) override { return log.number("beginLoadBank", {}, {info}); }
    VstInt32 beginLoadProgram(VstPatchChunkInfo* info) override {
        return log.number("beginLoadProgram", {}, {info});
    }
    bool setProcessPrecision(VstInt32 precision) override { return log.yes("setProcessPrecision", {precision}); }
    VstInt32 getNumMidiInputChannels() override { return log.number("getNumMidiInputChannels"); }
    VstInt32 getNumMidiOutputChannels() override { return log.number("getNumMidiOutputChannels"); }

    // Same-named operations of the requests the base answers; none may be reached.
    VstInt32 getNumCategories() override { return log.number("getNumCategories"); }
    bool copyProgram(VstInt32 destination) override { return log.yes("copyProgram", {destination}); }
    void inputConnected(VstInt32 index, bool state) override { log.note("inputConnected", {index, state}); }
    void outputConnected(VstInt32 index, bool state) override { log.note("outputConnected", {index, state}); }
    VstInt32 reportCurrentPosition() override { return log.number("reportCurrentPosition"); }
    float* reportDestinationBuffer() override {
        log.note("reportDestinationBuffer");
        return nullptr;
    }
    void setBlockSizeAndSampleRate(VstInt32 size, float rate) override {
        log.note("setBlockSizeAndSampleRate", {size}, {}, rate);
    }
    bool getErrorText(char* text) override { return log.yes("getErrorText", {}, {text}); }
    VstInt32 fxIdle() override { return log.number("fxIdle"); }
    void* getIcon() override {
        log.note("getIcon");
        return nullptr;
    }
    bool setViewPosition(VstInt32 x, VstInt32 y) override { return log.yes("setViewPosition", {x, y}); }
    bool keysRequired() override { return log.yes("keysRequired"); }
};

// How an opcode answers.
enum class Kind {
    Bool,    // the operation's bool as 1 or 0
    Answer,  // the operation's answer unchanged
    Editor,  // an editor operation's bool as 1 or 0; 0 without an editor
    Base,    // left to the base: 0, and no operation reached
};

struct Row {
    VstInt32 opcode;
    VstInt32 index;
    VstIntPtr value;
    void* ptr;
    float opt;
    Kind kind;
    const char* op;  // the operation reached; unused for Base rows
    std::vector<VstIntPtr> ints;
    std::vector<const void*> ptrs;
    float receivedOpt;
    VstIntPtr reply;  // what an Answer row's operation answers
};

// Distinct addresses to follow through the dispatcher.
char bufferA[8];
char bufferB[8];
VstIntPtr addressOf(const void* p) { return reinterpret_cast<VstIntPtr>(p); }

// A value that only survives when passed at full pointer width.
const VstIntPtr kWide = sizeof(VstIntPtr) == 8 ? static_cast<VstIntPtr>(0x1234567890abcdefLL) : 0x12345678;

std::vector<Row> rows() {
    void* a = bufferA;
    const void* ca = bufferA;
    const void* cb = bufferB;
    // clang-format off
    return {
        {25, 0, 0, a, 0, Kind::Answer, "processEvents", {}, {ca}, 0, -5},
        {26, 4, 0, nullptr, 0, Kind::Bool, "canParameterBeAutomated", {4}, {}, 0, 0},
        {27, 4, 0, a, 0, Kind::Bool, "string2parameter", {4}, {ca}, 0, 0},
        {28, 4, 9, a, 1.5f, Kind::Base, "", {}, {}, 0, 0},
        // Category from value, program index from index.
        {29, 3, 7, a, 0, Kind::Bool, "getProgramNameIndexed", {7, 3}, {ca}, 0, 0},
        {30, 4, 9, a, 1.5f, Kind::Base, "", {}, {}, 0, 0},
        {31, 4, 9, a, 1.5f, Kind::Base, "", {}, {}, 0, 0},
        {32, 4, 9, a, 1.5f, Kind::Base, "", {}, {}, 0, 0},
        {33, 2, 0, a, 0, Kind::Bool, "getInputProperties", {2}, {ca}, 0, 0},
        {34, 2, 0, a, 0, Kind::Bool, "getOutputProperties", {2}, {ca}, 0, 0},
        {35, 0, 0, nullptr, 0, Kind::Answer, "getPlugCategory", {}, {}, 0, 7},
        {36, 4, 9, a, 1.5f, Kind::Base, "", {}, {}, 0, 0},
        {37, 4, 9, a, 1.5f, Kind::Base, "", {}, {}, 0, 0},
        // Count from value, start = index != 0.
        {38, 5, 9, a, 0, Kind::Bool, "offlineNotify", {9, 1}, {ca}, 0, 0},
        {39, 5, 9, a, 0, Kind::Bool, "offlinePrepare", {9}, {ca}, 0, 0},
        {40, 5, 9, a, 0, Kind::Bool, "offlineRun", {9}, {ca}, 0, 0},
        {41, 0, 0, a, 0, Kind::Bool, "processVariableIo", {}, {ca}, 0, 0},
        // Input arrangement in value, output arrangement in ptr.
        {42, 0, addressOf(bufferB), a, 0, Kind::Bool, "setSpeakerArrangement", {}, {cb, ca}, 0, 0},
        {43, 512, 256, a, 48000.0f, Kind::Base, "", {}, {}, 0, 0},
        {44, 0, 2, nullptr, 0, Kind::Bool, "setBypass", {1}, {}, 0, 0},
        {45, 0, 0, a, 0, Kind::Bool, "getEffectName", {}, {ca}, 0, 0},
        {46, 4, 9, a, 1.5f, Kind::Base, "", {}, {}, 0, 0},
        {47, 0, 0, a, 0, Kind::Bool, "getVendorString", {}, {ca}, 0, 0},
        {48, 0, 0, a, 0, Kind::Bool, "getProductString", {}, {ca}, 0, 0},
        {49, 0, 0, nullptr, 0, Kind::Answer, "getVendorVersion", {}, {}, 0, 1000},
        {50, -3, kWide, a, 0.25f, Kind::Answer, "vendorSpecific", {-3, kWide}, {ca}, 0.25f, kWide},
        {51, 0, 0, a, 0, Kind::Answer, "canDo", {}, {ca}, 0, -1},
        {52, 0, 0, nullptr, 0, Kind::Answer, "getGetTailSize", {}, {}, 0, 44100},
        {53, 4, 9, a, 1.5f, Kind::Base, "", {}, {}, 0, 0},
        {54, 4, 9, a, 1.5f, Kind::Base, "", {}, {}, 0, 0},
        {55, 4, 9, a, 1.5f, Kind::Base, "", {}, {}, 0, 0},
        {56, 6, 0, a, 0, Kind::Bool, "getParameterProperties", {6}, {ca}, 0, 0},
        {57, 4, 9, a, 1.5f, Kind::Base, "", {}, {}, 0, 0},
        {58, 0, 0, nullptr, 0, Kind::Answer, "getVstVersion", {}, {}, 0, 2400},
        // Key code: character = index, virt = low 8 bits of value, modifier = low 8 bits of trunc(opt).
        {59, 'a', 0x1FF, nullptr, 3.9f, Kind::Editor, "onKeyDown", {'a', 0xFF, 3}, {}, 0, 0},
        {60, 'b', 0x102, nullptr, 258.5f, Kind::Editor, "onKeyUp", {'b', 0x02, 2}, {}, 0, 0},
        {61, 0, 2, nullptr, 0, Kind::Editor, "setKnobMode", {2}, {}, 0, 0},
        {62, 15, 0, a, 0, Kind::Answer, "getMidiProgramName", {15}, {ca}, 0, 128},
        {63, 15, 0, a, 0, Kind::Answer, "getCurrentMidiProgram", {15}, {ca}, 0, -1},
        {64, 15, 0, a, 0, Kind::Answer, "getMidiProgramCategory", {15}, {ca}, 0, 3},
        {65, 15, 0, nullptr, 0, Kind::Bool, "hasMidiProgramsChanged", {15}, {}, 0, 0},
        {66, 15, 0, a, 0, Kind::Bool, "getMidiKeyName", {15}, {ca}, 0, 0},
        {67, 0, 0, nullptr, 0, Kind::Bool, "beginSetProgram", {}, {}, 0, 0},
        {68, 0, 0, nullptr, 0, Kind::Bool, "endSetProgram", {}, {}, 0, 0},
        // Pointer to the input arrangement pointer in value, to the output one in ptr.
        {69, 0, addressOf(bufferB), a, 0, Kind::Bool, "getSpeakerArrangement", {}, {cb, ca}, 0, 0},
        {70, 0, 0, a, 0, Kind::Answer, "getNextShellPlugin", {}, {ca}, 0, 0x76786274},
        {71, 0, 0, nullptr, 0, Kind::Answer, "startProcess", {}, {}, 0, 1},
        {72, 0, 0, nullptr, 0, Kind::Answer, "stopProcess", {}, {}, 0, -2},
        {73, 0, 512, nullptr, 0, Kind::Answer, "setTotalSampleToProcess", {512}, {}, 0, 511},
        {74, 0, 1, nullptr, 0.7071f, Kind::Bool, "setPanLaw", {1}, {}, 0.7071f, 0},
        {75, 0, 0, a, 0, Kind::Answer, "beginLoadBank", {}, {ca}, 0, -1},
        {76, 0, 0, a, 0, Kind::Answer, "beginLoadProgram", {}, {ca}, 0, 1},
        {77, 0, 1, nullptr, 0, Kind::Bool, "setProcessPrecision", {1}, {}, 0, 0},
        {78, 0, 0, nullptr, 0, Kind::Answer, "getNumMidiInputChannels", {}, {}, 0, 16},
        {79, 0, 0, nullptr, 0, Kind::Answer, "getNumMidiOutputChannels", {}, {}, 0, 8},
    };
    // clang-format on
}

void expectReached(const Recorder& log, const Row& row) {
    ASSERT_EQ(log.calls.size(), 1u);
    const Call& call = log.calls.front();
    EXPECT_EQ(call.op, row.op);
    EXPECT_EQ(call.ints, row.ints);
    EXPECT_EQ(call.ptrs, row.ptrs);
    EXPECT_EQ(call.opt, row.receivedOpt);
}

TEST(ExtendedDispatch, EveryOpcodeFrom25To79ReachesItsOperationWithConvertedArguments) {
    std::set<VstInt32> covered;
    for (const Row& row : rows()) {
        covered.insert(row.opcode);
        // Bool and editor rows run once answering true and once false;
        // Answer and Base rows once, their operation answering `reply`
        // (Base rows answer 1 if wrongly reached).
        std::vector<VstIntPtr> replies{row.reply};
        if (row.kind == Kind::Bool || row.kind == Kind::Editor) replies = {1, 0};
        if (row.kind == Kind::Base) replies = {1};
        for (const VstIntPtr reply : replies) {
            SCOPED_TRACE(testing::Message() << "opcode " << row.opcode << ", operation answers " << reply);
            RecordingEffect effect;
            if (row.kind == Kind::Editor) effect.installEditor();
            effect.log.reply = reply;
            const VstIntPtr answer = effect.dispatcher(row.opcode, row.index, row.value, row.ptr, row.opt);
            if (row.kind == Kind::Base) {
                EXPECT_EQ(answer, 0);
                EXPECT_TRUE(effect.log.calls.empty()) << "reached " << effect.log.calls.front().op;
                continue;
            }
            expectReached(effect.log, row);
            const VstIntPtr expected = row.kind == Kind::Answer ? reply : (reply != 0 ? 1 : 0);
            EXPECT_EQ(answer, expected);
        }
    }
    // The table itself must leave no request of the range out.
    for (VstInt32 opcode = 25; opcode <= 79; ++opcode) EXPECT_TRUE(covered.count(opcode)) << opcode;
}

TEST(ExtendedDispatch, EditorRequestsAnswerZeroWithoutAnEditor) {
    for (const VstInt32 opcode : {effEditKeyDown, effEditKeyUp, effSetEditKnobMode}) {
        SCOPED_TRACE(opcode);
        RecordingEffect effect;
        effect.log.reply = 1;
        EXPECT_EQ(effect.dispatcher(opcode, 'a', 1, nullptr, 1.0f), 0);
        EXPECT_TRUE(effect.log.calls.empty());
    }
}

TEST(ExtendedDispatch, BlockSizeAndSampleRateRequestLeavesBothUnchanged) {
    RecordingEffect effect;
    effect.dispatcher(effSetBlockSizeAndSampleRate, 512, 256, nullptr, 48000.0f);
    EXPECT_EQ(effect.getBlockSize(), 1024);
    EXPECT_EQ(effect.getSampleRate(), 44100.0f);
}

// The key record's modifier is the low 8 bits of opt truncated toward zero;
// where that truncation has no integer (NaN, infinities) the modifier is 0.
TEST(ExtendedDispatch, KeyCodeTakesLowBitsOfValueAndTruncatedOpt) {
    constexpr float kInf = std::numeric_limits<float>::infinity();
    struct Case {
        VstIntPtr value;
        float opt;
        VstIntPtr virt;
        VstIntPtr modifier;
    };
    const Case cases[] = {
        {0, 0.0f, 0, 0},
        {255, 255.99f, 255, 255},
        {256, 256.0f, 0, 0},
        {-1, -0.9f, 255, 0},     // -0.9 truncates to 0, not -1
        {-2, -1.5f, 254, 255},   // -1 in the low 8 bits
        {0x7F01, 513.25f, 1, 1},
        {0, 1e20f, 0, 0},        // a multiple of 256
        {0, -3e9f, 0, 0},        // below the int range: a multiple of 256
        {0, 16777217.0f, 0, 0},  // rounds to 2^24 as a float
        {0, 16777219.0f, 0, 4},  // 2^24 + 4 as a float
        {0, std::nanf(""), 0, 0},
        {0, kInf, 0, 0},
        {0, -kInf, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "value " << c.value << ", opt " << c.opt);
        RecordingEffect effect;
        effect.installEditor();
        effect.log.reply = 1;
        EXPECT_EQ(effect.dispatcher(effEditKeyDown, 0x263A, c.value, nullptr, c.opt), 1);
        ASSERT_EQ(effect.log.calls.size(), 1u);
        EXPECT_EQ(effect.log.calls[0].ints, (std::vector<VstIntPtr>{0x263A, c.virt, c.modifier}));
    }
}

TEST(ExtendedDispatch, OtherOpcodesReachTheBaseDispatchUnchanged) {
    RecordingEffect effect;
    effect.log.reply = 77;
    char chunk[4]{};
    EXPECT_EQ(effect.dispatcher(effSetChunk, 1, 99, chunk, 0.0f), 77);
    ASSERT_EQ(effect.log.calls.size(), 1u);
    EXPECT_EQ(effect.log.calls[0].op, "setChunk");
    EXPECT_EQ(effect.log.calls[0].ints, (std::vector<VstIntPtr>{99, 1}));
    EXPECT_EQ(effect.log.calls[0].ptrs, (std::vector<const void*>{chunk}));

    EXPECT_EQ(effect.dispatcher(effIdentify, 0, 0, nullptr, 0.0f), fourCharCode('N', 'v', 'E', 'f'));
    effect.log.calls.clear();
    for (const VstInt32 opcode : {-1, 80, 1000}) {
        SCOPED_TRACE(opcode);
        EXPECT_EQ(effect.dispatcher(opcode, 1, 1, chunk, 1.0f), 0);
    }
    EXPECT_TRUE(effect.log.calls.empty());
}

// The defaults an effect gets for the requests it does not answer itself.
class BareEffect : public AudioEffectX {
public:
    BareEffect() : AudioEffectX(nullptr, 1, 1) {}
    void processReplacing(float**, float**, VstInt32) override {}
};

TEST(ExtendedDispatch, BareEffectAnswersTheDefaults) {
    // Every request of the range answers 0 on a bare effect except these.
    // value is 0 (42 and 69 take it as a pointer) but for the total-samples
    // request, which answers it back, and the bypass, which a bare effect refuses.
    const std::map<VstInt32, VstIntPtr> nonzero{
        {effCanBeAutomated, 1},
        {effGetVstVersion, 2400},
        {effGetCurrentMidiProgram, -1},
        {effSetTotalSampleToProcess, 512},
    };
    for (VstInt32 opcode = 25; opcode <= 79; ++opcode) {
        SCOPED_TRACE(opcode);
        BareEffect effect;
        const VstIntPtr value = opcode == effSetTotalSampleToProcess ? 512 : opcode == effSetBypass ? 2 : 0;
        const auto found = nonzero.find(opcode);
        EXPECT_EQ(effect.dispatcher(opcode, 1, value, nullptr, 1.0f), found == nonzero.end() ? 0 : found->second);
    }
}

TEST(ExtendedDispatch, TextDefaultsWriteNothing) {
    for (const VstInt32 opcode : {effGetEffectName, effGetVendorString, effGetProductString, effGetErrorText}) {
        SCOPED_TRACE(opcode);
        BareEffect effect;
        char text[64];
        std::fill(std::begin(text), std::end(text), '#');
        EXPECT_EQ(effect.dispatcher(opcode, 0, 0, text, 0.0f), 0);
        EXPECT_EQ(std::string(text, sizeof text), std::string(sizeof text, '#'));
    }
}

TEST(ExtendedDispatch, GetSpeakerArrangementDefaultClearsBothPointers) {
    BareEffect effect;
    VstSpeakerArrangement dummy{};
    VstSpeakerArrangement* input = &dummy;
    VstSpeakerArrangement* output = &dummy;
    EXPECT_EQ(effect.dispatcher(effGetSpeakerArrangement, 0, addressOf(&input), &output, 0.0f), 0);
    EXPECT_EQ(input, nullptr);
    EXPECT_EQ(output, nullptr);
}

TEST(ExtendedDispatch, PlugCategoryFollowsTheSynthFlag) {
    BareEffect effect;
    effect.isSynth(true);
    EXPECT_EQ(effect.dispatcher(effGetPlugCategory, 0, 0, nullptr, 0.0f), kPlugCategSynth);
    effect.isSynth(false);
    EXPECT_EQ(effect.dispatcher(effGetPlugCategory, 0, 0, nullptr, 0.0f), kPlugCategUnknown);
}

}  // namespace
