// Every dispatcher opcode a host can send, with harmless arguments.
#include <algorithm>
#include <cstring>
#include <map>
#include <vector>

#include "tests/conformance/conformance_host.h"

namespace conformance {
namespace {

constexpr VstInt32 kFirstOpcode = -1;
constexpr VstInt32 kLastOpcode = 100;
// Larger than any record or text an opcode passes by pointer.
constexpr std::size_t kScratchBytes = 64 * 1024;
// No request writes further into a host buffer than this: the longest text
// limit of the standard is 64 characters and its terminator, the records
// passed by pointer are smaller.
constexpr std::size_t kWriteLimit = 512;

// Documented answers that differ from 0 (all other opcodes answer 0 with
// these arguments; effClose is left to the Plugin's destruction).
const std::map<VstInt32, VstIntPtr> kNonZeroAnswers = {
    {effIdentify, fourCharCode('N', 'v', 'E', 'f')},
    {effCanBeAutomated, 1},
    {effGetEffectName, 1},
    {effGetVendorString, 1},
    {effGetVendorVersion, 1000},
    {effGetVstVersion, 2400},
    {effGetCurrentMidiProgram, -1},
};

// Opcodes whose `value` carries a pointer: they get zeroed memory there too.
bool valueIsPointer(VstInt32 opcode) {
    return opcode == effSetSpeakerArrangement || opcode == effGetSpeakerArrangement;
}

bool allZero(const std::vector<unsigned char>& bytes, std::size_t from) {
    return std::all_of(bytes.begin() + static_cast<std::ptrdiff_t>(from), bytes.end(),
                       [](unsigned char b) { return b == 0; });
}

using DispatcherTest = ConformanceTest;

TEST_F(DispatcherTest, EveryOpcodeAnswersAsDocumentedAndLeavesTheEffectWorking) {
    Plugin plugin;
    ASSERT_NE(plugin.record(), nullptr);
    for (VstInt32 opcode = kFirstOpcode; opcode <= kLastOpcode; ++opcode) {
        if (opcode == effClose) continue;
        SCOPED_TRACE(::testing::Message() << "opcode " << opcode);
        std::vector<unsigned char> ptrBytes(kScratchBytes, 0);
        std::vector<unsigned char> valueBytes(kScratchBytes, 0);
        const VstIntPtr value = valueIsPointer(opcode) ? reinterpret_cast<VstIntPtr>(valueBytes.data()) : 0;
        const VstIntPtr answer = plugin.dispatch(opcode, 0, value, ptrBytes.data(), 0.0f);
        const auto documented = kNonZeroAnswers.find(opcode);
        EXPECT_EQ(answer, documented == kNonZeroAnswers.end() ? 0 : documented->second);
        EXPECT_TRUE(allZero(ptrBytes, kWriteLimit)) << "wrote far into the host's buffer";
        EXPECT_TRUE(allZero(valueBytes, kWriteLimit)) << "wrote far into the host's buffer";
    }
    // The sweep sent sample rate 0 and block size 0 among everything else;
    // the effect must still process sanely.
    const std::vector<float> signal = makeSignal(4096, seed());
    StereoBuffer out(signal.size());
    std::vector<float> input = signal;
    float* inputs[2] = {input.data(), input.data()};
    plugin.process(inputs, out.channels(), static_cast<VstInt32>(signal.size()));
    EXPECT_TRUE(finiteWithin(out.channel(0), out.frames(), 1.0f));
    EXPECT_TRUE(out.guardsIntact());
}

TEST_F(DispatcherTest, SweepWithOddIndicesAndValuesDoesNoHarm) {
    // Indices and values a confused host might send with any opcode.
    const VstInt32 indices[] = {-1, 3, 1000, INT32_MIN, INT32_MAX};
    const VstIntPtr values[] = {-1, 1, 7, INT32_MAX};
    Plugin plugin;
    ASSERT_NE(plugin.record(), nullptr);
    for (VstInt32 index : indices) {
        for (VstIntPtr value : values) {
            for (VstInt32 opcode = kFirstOpcode; opcode <= kLastOpcode; ++opcode) {
                if (opcode == effClose || valueIsPointer(opcode)) continue;
                SCOPED_TRACE(::testing::Message() << "opcode " << opcode << " index " << index << " value " << value);
                std::vector<unsigned char> ptrBytes(kScratchBytes, 0);
                plugin.dispatch(opcode, index, value, ptrBytes.data(), 1.0f);
                EXPECT_TRUE(allZero(ptrBytes, kWriteLimit)) << "wrote far into the host's buffer";
            }
        }
    }
    plugin.dispatch(effSetSampleRate, 0, 0, nullptr, Plugin::kSampleRate);
    std::vector<float> input = makeSignal(2048, seed() + 1);
    StereoBuffer out(input.size());
    float* inputs[2] = {input.data(), input.data()};
    plugin.process(inputs, out.channels(), static_cast<VstInt32>(input.size()));
    EXPECT_TRUE(finiteWithin(out.channel(0), out.frames(), 1.0f));
}

TEST_F(DispatcherTest, TextRequestsWriteATerminatedTextWithinTheLimit) {
    constexpr unsigned char kCanary = 0x7F;
    constexpr std::size_t kTextLimit = 65;  // 64 characters and the terminator
    const VstInt32 textOpcodes[] = {effGetProgramName, effGetParamLabel, effGetParamDisplay, effGetParamName,
                                    effGetEffectName,  effGetVendorString, effGetProductString,
                                    effGetProgramNameIndexed};
    Plugin plugin;
    ASSERT_NE(plugin.record(), nullptr);
    for (VstInt32 opcode : textOpcodes) {
        for (VstInt32 index : {-1, 0, 1, 2, 3}) {
            SCOPED_TRACE(::testing::Message() << "opcode " << opcode << " index " << index);
            std::vector<unsigned char> text(1024, kCanary);
            plugin.dispatch(opcode, index, 0, text.data(), 0.0f);
            if (text[0] != kCanary) {
                const auto end = std::find(text.begin(), text.begin() + kTextLimit, 0);
                EXPECT_NE(end, text.begin() + kTextLimit) << "no terminator within " << kTextLimit << " bytes";
            }
            EXPECT_TRUE(std::all_of(text.begin() + kTextLimit, text.end(), [](unsigned char b) { return b == kCanary; }))
                << "wrote past the longest text a host buffer holds";
        }
    }
}

// The texts a host shows, as a fresh instance answers them; on every
// platform, since each C runtime formats numbers itself.
TEST_F(DispatcherTest, FreshInstanceAnswersItsTexts) {
    struct Case {
        VstInt32 opcode;
        VstInt32 index;
        const char* text;
        VstIntPtr answer;
    };
    const Case cases[] = {
        {effGetEffectName, 0, "Vexobit", 1},
        {effGetVendorString, 0, "v0.1 07.05.18 Dorvi", 1},
        {effGetProgramName, 0, "Default", 0},
        {effGetParamName, 0, "Input gain", 0},
        {effGetParamName, 1, "Sample rate", 0},
        {effGetParamName, 2, "Output gain", 0},
        {effGetParamLabel, 0, "dB", 0},
        {effGetParamLabel, 1, "Hz", 0},
        {effGetParamLabel, 2, "dB", 0},
        {effGetParamDisplay, 0, "0.00", 0},
        {effGetParamDisplay, 1, "NTSC $F - 33143.90", 0},
        {effGetParamDisplay, 2, "0.00", 0},
    };
    Plugin plugin;
    ASSERT_NE(plugin.record(), nullptr);
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << "opcode " << c.opcode << " index " << c.index);
        char text[256] = {};
        EXPECT_EQ(plugin.dispatch(c.opcode, c.index, 0, text, 0.0f), c.answer);
        EXPECT_STREQ(text, c.text);
    }
    plugin.setParameter(1, 0.0f);
    char rate[256] = {};
    plugin.dispatch(effGetParamDisplay, 1, 0, rate, 0.0f);
    EXPECT_STREQ(rate, "PAL $0 - 4177.40");
    char product[64];
    std::memset(product, 0x7F, sizeof product);
    EXPECT_EQ(plugin.dispatch(effGetProductString, 0, 0, product, 0.0f), 0);
    EXPECT_TRUE(std::all_of(std::begin(product), std::end(product), [](char b) { return b == 0x7F; }));
}

TEST_F(DispatcherTest, EntriesThatDoNothingLeaveTheOutputsAlone) {
    Plugin plugin;
    ASSERT_NE(plugin.record(), nullptr);
    AEffect* e = plugin.record();
    std::vector<float> input = makeSignal(256, seed());
    StereoBuffer out(input.size());
    out.fill(0.25f);
    float* inputs[2] = {input.data(), input.data()};
    e->process(e, inputs, out.channels(), static_cast<VstInt32>(input.size()));
    for (int c = 0; c < 2; ++c) {
        EXPECT_TRUE(std::all_of(out.channel(c), out.channel(c) + out.frames(), [](float s) { return s == 0.25f; }));
    }
    std::vector<double> in64(256, 0.5), left(256, 0.25), right(256, 0.25);
    double* inputs64[2] = {in64.data(), in64.data()};
    double* outputs64[2] = {left.data(), right.data()};
    e->processDoubleReplacing(e, inputs64, outputs64, 256);
    EXPECT_TRUE(std::all_of(left.begin(), left.end(), [](double s) { return s == 0.25; }));
    EXPECT_TRUE(std::all_of(right.begin(), right.end(), [](double s) { return s == 0.25; }));
}

}  // namespace
}  // namespace conformance
