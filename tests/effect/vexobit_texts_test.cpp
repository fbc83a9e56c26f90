// Vexobit's parameter names, labels, value displays and program texts, as the
// host asks for them through the dispatcher.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstring>
#include <limits>
#include <string>

#include "effect/rate_table.h"
#include "effect/text_limits.h"
#include "effect/vexobit.h"

namespace {

constexpr unsigned char kSentinel = 0xA5;
constexpr int kBufferBytes = 64;

struct CanaryBuffer {
    std::array<unsigned char, kBufferBytes> bytes;
    CanaryBuffer() { bytes.fill(kSentinel); }
    char* text() { return reinterpret_cast<char*>(bytes.data()); }
    std::string str() const { return std::string(reinterpret_cast<const char*>(bytes.data())); }
    bool untouched() const {
        for (const auto b : bytes)
            if (b != kSentinel) return false;
        return true;
    }
    // True when nothing from byte `from` on was written.
    bool untouchedFrom(std::size_t from) const {
        for (std::size_t i = from; i < bytes.size(); ++i)
            if (bytes[i] != kSentinel) return false;
        return true;
    }
};

class VexobitTexts : public testing::Test {
protected:
    // Through the record's dispatcher entry, as a host calls it.
    VstIntPtr dispatch(VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0, void* ptr = nullptr) {
        AEffect* record = effect.getAeffect();
        return record->dispatcher(record, opcode, index, value, ptr, 0.0f);
    }
    void setParameter(VstInt32 index, float value) {
        AEffect* record = effect.getAeffect();
        record->setParameter(record, index, value);
    }
    // The text of one request, checked against the byte limit it promises.
    std::string request(VstInt32 opcode, VstInt32 index, int limitBytes) {
        CanaryBuffer buffer;
        EXPECT_EQ(dispatch(opcode, index, 0, buffer.text()), 0);
        const std::string text = buffer.str();
        EXPECT_LT(text.size(), static_cast<std::size_t>(limitBytes)) << text;
        EXPECT_TRUE(buffer.untouchedFrom(static_cast<std::size_t>(limitBytes))) << text;
        return text;
    }

    Vexobit effect{nullptr};
};

TEST_F(VexobitTexts, NamesAndLabelsOfTheThreeParameters) {
    struct Case {
        VstInt32 index;
        const char* name;
        const char* label;
    };
    const Case cases[] = {{0, "Input gain", "dB"}, {1, "Sample rate", "Hz"}, {2, "Output gain", "dB"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.index);
        EXPECT_EQ(request(effGetParamName, c.index, vexobit::kParamNameBytes), c.name);
        EXPECT_EQ(request(effGetParamLabel, c.index, vexobit::kParamLabelBytes), c.label);
    }
}

TEST_F(VexobitTexts, DefaultDisplays) {
    EXPECT_EQ(request(effGetParamDisplay, 0, vexobit::kGainDisplayBytes), "0.00");
    EXPECT_EQ(request(effGetParamDisplay, 1, vexobit::kRateDisplayBytes), "NTSC $F - 33143.90");
    EXPECT_EQ(request(effGetParamDisplay, 2, vexobit::kGainDisplayBytes), "0.00");
}

TEST_F(VexobitTexts, OtherIndicesLeaveTheBufferUntouched) {
    for (const VstInt32 opcode : {effGetParamName, effGetParamLabel, effGetParamDisplay}) {
        for (const VstInt32 index : {3, 4, -1, 1000, std::numeric_limits<VstInt32>::min(),
                                     std::numeric_limits<VstInt32>::max()}) {
            SCOPED_TRACE(testing::Message() << "opcode " << opcode << ", index " << index);
            CanaryBuffer buffer;
            EXPECT_EQ(dispatch(opcode, index, 0, buffer.text()), 0);
            EXPECT_TRUE(buffer.untouched());
        }
    }
}

TEST_F(VexobitTexts, NullBuffersAreLeftAlone) {
    for (const VstInt32 opcode :
         {effGetParamName, effGetParamLabel, effGetParamDisplay, effGetProgramName, effSetProgramName}) {
        for (VstInt32 index = 0; index < 4; ++index) EXPECT_EQ(dispatch(opcode, index, 0, nullptr), 0);
    }
    // A null new name keeps the old one.
    EXPECT_EQ(request(effGetProgramName, 0, Vexobit::kProgramNameBytes), "Default");
}

TEST_F(VexobitTexts, GainDisplaysInDecibels) {
    struct Case {
        float gain;
        const char* expected;
    };
    const Case cases[] = {{1.0f, "0.00"},  {0.5f, "-6.0"}, {0.25f, "-12."}, {0.1f, "-20."},
                          {2.0f, "6.02"},  {0.0f, "-oo"},  {-1.0f, "-oo"},  {1e-30f, "-600"},
                          {std::nanf(""), "NaN"}};
    for (const VstInt32 index : {0, 2}) {
        for (const auto& c : cases) {
            SCOPED_TRACE(testing::Message() << "index " << index << ", gain " << c.gain);
            setParameter(index, c.gain);
            EXPECT_EQ(request(effGetParamDisplay, index, vexobit::kGainDisplayBytes), c.expected);
        }
    }
}

TEST_F(VexobitTexts, RateDisplayForEveryEntry) {
    const char* const expected[vexobit::kRateCount] = {
        "PAL $0 - 4177.40",   "PAL $1 - 4696.63",   "PAL $2 - 5261.41",   "PAL $3 - 5579.22",
        "PAL $4 - 6023.94",   "PAL $5 - 7044.94",   "PAL $6 - 7917.18",   "PAL $7 - 8397.01",
        "PAL $8 - 9446.63",   "PAL $9 - 11233.80",  "PAL $A - 12595.50",  "PAL $B - 14089.90",
        "PAL $C - 16965.40",  "PAL $D - 21315.50",  "PAL $E - 25191.00",  "PAL $F - 33252.10",
        "NTSC $0 - 4181.71",  "NTSC $1 - 4709.93",  "NTSC $2 - 5264.04",  "NTSC $3 - 5593.04",
        "NTSC $4 - 6257.95",  "NTSC $5 - 7046.35",  "NTSC $6 - 7919.35",  "NTSC $7 - 8363.42",
        "NTSC $8 - 9419.86",  "NTSC $9 - 11186.10", "NTSC $A - 12604.00", "NTSC $B - 13982.60",
        "NTSC $C - 16884.60", "NTSC $D - 21306.80", "NTSC $E - 24858.00", "NTSC $F - 33143.90",
    };
    for (int entry = 0; entry < vexobit::kRateCount; ++entry) {
        SCOPED_TRACE(entry);
        // The middle of the setting range that selects this entry.
        const float setting = (static_cast<float>(entry) + 0.5f) / 31.999f;
        ASSERT_EQ(vexobit::selectRateEntry(setting), entry);
        setParameter(1, setting);
        EXPECT_EQ(request(effGetParamDisplay, 1, vexobit::kRateDisplayBytes), expected[entry]);
    }
}

TEST_F(VexobitTexts, RateDisplayAtTheEndsOfTheSettingRange) {
    struct Case {
        float setting;
        const char* expected;
    };
    const Case cases[] = {
        {0.0f, "PAL $0 - 4177.40"},     {0.5f, "PAL $F - 33252.10"},
        {0.99f, "NTSC $F - 33143.90"},  {1.0f, "NTSC $F - 33143.90"},
        // Settings a host should not send still name a real rate.
        {-1.0f, "PAL $0 - 4177.40"},    {2.0f, "NTSC $F - 33143.90"},
        {std::nanf(""), "PAL $0 - 4177.40"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.setting);
        setParameter(1, c.setting);
        EXPECT_EQ(request(effGetParamDisplay, 1, vexobit::kRateDisplayBytes), c.expected);
    }
}

TEST_F(VexobitTexts, ProgramNameStartsAsDefaultAndKeeps31Characters) {
    EXPECT_EQ(request(effGetProgramName, 0, Vexobit::kProgramNameBytes), "Default");

    const std::string forty = "0123456789abcdefghijABCDEFGHIJ!@#$%^&*()";
    ASSERT_EQ(forty.size(), 40u);
    std::string name = forty;
    EXPECT_EQ(dispatch(effSetProgramName, 0, 0, name.data()), 0);
    EXPECT_EQ(name, forty) << "the host's name is only read";
    EXPECT_EQ(request(effGetProgramName, 0, Vexobit::kProgramNameBytes), forty.substr(0, 31));

    // A shorter name replaces the whole of the long one.
    char shorter[] = "Lead";
    dispatch(effSetProgramName, 0, 0, shorter);
    EXPECT_EQ(request(effGetProgramName, 0, Vexobit::kProgramNameBytes), "Lead");

    char empty[] = "";
    dispatch(effSetProgramName, 0, 0, empty);
    EXPECT_EQ(request(effGetProgramName, 0, Vexobit::kProgramNameBytes), "");
}

TEST_F(VexobitTexts, TheOnlyProgramStaysCurrent) {
    EXPECT_EQ(dispatch(effGetProgram), 0);
    for (const VstIntPtr program : {VstIntPtr{0}, VstIntPtr{1}, VstIntPtr{5}, VstIntPtr{-1}, VstIntPtr{-1000}}) {
        SCOPED_TRACE(program);
        EXPECT_EQ(dispatch(effSetProgram, 0, program), 0);
        EXPECT_EQ(dispatch(effGetProgram), 0);
        EXPECT_EQ(effect.getProgram(), 0);
    }
    // Changing programs leaves the name alone.
    EXPECT_EQ(request(effGetProgramName, 0, Vexobit::kProgramNameBytes), "Default");
}

}  // namespace
