// The five value-to-text helpers of AudioEffect: the texts they build, how
// they cut to maxLen, and that nothing lands outside text[0..maxLen].
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <functional>
#include <limits>
#include <string>
#include <vector>

#include "framework/audio_effect.h"

namespace {

constexpr float kInfinity = std::numeric_limits<float>::infinity();
constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
constexpr VstInt32 kInt32Min = std::numeric_limits<VstInt32>::min();
constexpr VstInt32 kInt32Max = std::numeric_limits<VstInt32>::max();

// The smallest concrete effect: the helpers need nothing else.
class TextEffect : public AudioEffect {
public:
    TextEffect() : AudioEffect(nullptr, 1, 1) {}
    void processReplacing(float**, float**, VstInt32) override {}
};

constexpr unsigned char kSentinel = 0xA5;
constexpr int kGuardBytes = 16;
constexpr int kBufferBytes = 96;

// A buffer full of sentinel bytes; text() starts after a guard band so that
// writes before the text are caught as well.
struct CanaryBuffer {
    std::array<unsigned char, kBufferBytes> bytes;
    CanaryBuffer() { bytes.fill(kSentinel); }
    char* text() { return reinterpret_cast<char*>(bytes.data() + kGuardBytes); }
    unsigned char at(int offsetFromText) const { return bytes[static_cast<std::size_t>(kGuardBytes + offsetFromText)]; }
    bool untouched() const {
        for (const auto b : bytes)
            if (b != kSentinel) return false;
        return true;
    }
};

// Calls one helper with a fixed argument and a limit.
using Format = std::function<void(AudioEffect&, char*, VstInt32)>;

std::string formatted(const Format& format, VstInt32 maxLen, float sampleRate = 44100.0f) {
    TextEffect effect;
    effect.setSampleRate(sampleRate);
    CanaryBuffer buffer;
    format(effect, buffer.text(), maxLen);
    return buffer.text();
}

struct FloatCase {
    float value;
    VstInt32 maxLen;
    const char* expected;
};

void checkFloatCases(const std::vector<FloatCase>& cases,
                     void (AudioEffect::*helper)(float, char*, VstInt32), float sampleRate = 44100.0f) {
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "value " << c.value << ", maxLen " << c.maxLen);
        const Format format = [&](AudioEffect& e, char* text, VstInt32 maxLen) { (e.*helper)(c.value, text, maxLen); };
        EXPECT_EQ(formatted(format, c.maxLen, sampleRate), c.expected);
    }
}

TEST(DB2string, DecibelsOfLinearGains) {
    checkFloatCases(
        {
            // Four characters, as gain displays use them.
            {1.0f, 4, "0.00"},
            {0.5f, 4, "-6.0"},
            {0.25f, 4, "-12."},
            {0.1f, 4, "-20."},  // log10 rounds to exactly -1 in single precision
            {2.0f, 4, "6.02"},
            {0.0f, 4, "-oo"},
            {-0.0f, 4, "-oo"},
            {-0.5f, 4, "-oo"},
            {-kInfinity, 4, "-oo"},
            // The full eight characters: digits cut from the single-precision
            // product (-6.0206003..., -12.0412006..., 6.0206003...).
            {0.5f, 8, "-6.02060"},
            {0.25f, 8, "-12.0412"},
            {2.0f, 8, "6.020600"},
            {1e-30f, 8, "-600.000"},
            {kInfinity, 8, "Huge!"},
            {kNaN, 8, "NaN"},
            {0.0f, 2, "-o"},
        },
        &AudioEffect::dB2string);
}

TEST(Float2string, EightCharactersCutNotRounded) {
    checkFloatCases(
        {
            {1234567.0f, 16, "1234567."},  // seven digits use up the budget
            {9999999.0f, 16, "9999999."},
            {0.5f, 16, "0.500000"},
            {0.0f, 16, "0.000000"},
            {-0.0f, 16, "0.000000"},
            {0.7f, 16, "0.699999"},   // the float lies just below 0.7
            {-6.02f, 16, "-6.01999"}, // the float lies just nearer zero
            {-0.5f, 16, "-0.50000"},
            {1.5f, 16, "1.500000"},
            {10.0f, 16, "10.00000"},
            {123.456f, 16, "123.4560"},
            {1e-7f, 16, "0.000000"},
            {-999999.0f, 16, "-999999."},  // six digits after the sign use up the budget
            {0.7f, 4, "0.69"},
            {-6.02f, 3, "-6."},
            {0.5f, 0, ""},
        },
        &AudioEffect::float2string);
}

TEST(Float2string, HugeWhenTheIntegerPartDoesNotFit) {
    checkFloatCases(
        {
            {10000000.0f, 16, "Huge!"},  // eight digits and the point: nine characters
            {99999999.0f, 16, "Huge!"},
            {100000000.0f, 16, "Huge!"},
            {1e30f, 16, "Huge!"},
            {kInfinity, 16, "Huge!"},
            {-1000000.0f, 16, "Huge!"},  // sign, seven digits and the point
            {-9999999.0f, 16, "Huge!"},
            {-10000000.0f, 16, "Huge!"},
            {-kInfinity, 16, "Huge!"},
            {1e30f, 3, "Hug"},
        },
        &AudioEffect::float2string);
}

TEST(Float2string, NaNReadsNaN) {
    checkFloatCases({{kNaN, 16, "NaN"}, {-kNaN, 16, "NaN"}, {kNaN, 2, "Na"}, {kNaN, 0, ""}},
                    &AudioEffect::float2string);
}

TEST(Hz2string, FrequencyOfAPeriodAtTheSampleRate) {
    checkFloatCases(
        {
            {0.0f, 16, "0.000000"},  // no division by zero samples
            {0.0f, 4, "0.00"},
            {100.0f, 16, "441.0000"},
            {44100.0f, 16, "1.000000"},
            {-100.0f, 16, "-441.000"},
            {0.001f, 16, "Huge!"},
        },
        &AudioEffect::Hz2string);
}

TEST(Ms2string, MillisecondsAtTheSampleRate) {
    checkFloatCases({{44100.0f, 16, "1000.000"}, {441.0f, 16, "10.00000"}, {0.0f, 16, "0.000000"}},
                    &AudioEffect::ms2string);
}

TEST(Ms2string, ZeroSampleRateGivesHonestTexts) {
    checkFloatCases({{1.0f, 16, "Huge!"}, {0.0f, 16, "NaN"}}, &AudioEffect::ms2string, 0.0f);
}

TEST(Int2string, DigitsWithoutLeadingZeros) {
    struct Case {
        VstInt32 value;
        VstInt32 maxLen;
        const char* expected;
    };
    const Case cases[] = {
        {0, 16, "0"},
        {7, 16, "7"},
        {-42, 16, "-42"},
        {10, 16, "10"},
        {1000005, 16, "1000005"},
        {99999999, 16, "99999999"},
        {100000000, 16, "Huge!"},
        {kInt32Max, 16, "Huge!"},
        {-99999999, 16, "-99999999"},
        {-123456789, 16, "-123456789"},  // no lower limit: nine digits in full
        {-1000000000, 16, "-1000000000"},
        {-2147483647, 16, "-2147483647"},
        {kInt32Min, 16, "-2147483648"},
        {-42, 2, "-4"},
        {12345, 3, "123"},
        {100000000, 2, "Hu"},
        {7, 0, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "value " << c.value << ", maxLen " << c.maxLen);
        const Format format = [&](AudioEffect& e, char* text, VstInt32 maxLen) { e.int2string(c.value, text, maxLen); };
        EXPECT_EQ(formatted(format, c.maxLen), c.expected);
    }
}

// Every helper with inputs that take each of its paths.
struct NamedFormat {
    std::string name;
    Format format;
};

std::vector<NamedFormat> everyFormatter() {
    std::vector<NamedFormat> all;
    const auto addFloat = [&](const char* name, void (AudioEffect::*helper)(float, char*, VstInt32),
                              std::initializer_list<float> values) {
        for (const float v : values)
            all.push_back({std::string(name) + "(" + std::to_string(v) + ")",
                           [=](AudioEffect& e, char* text, VstInt32 maxLen) { (e.*helper)(v, text, maxLen); }});
    };
    addFloat("dB2string", &AudioEffect::dB2string, {1.0f, 0.5f, 0.0f, 1e-30f, kInfinity, kNaN});
    addFloat("Hz2string", &AudioEffect::Hz2string, {0.0f, 100.0f, -100.0f, 0.001f});
    addFloat("ms2string", &AudioEffect::ms2string, {44100.0f, 1.0f});
    addFloat("float2string", &AudioEffect::float2string,
             {0.0f, 0.7f, -6.02f, 1234567.0f, -999999.0f, 99999999.0f, -kInfinity, kNaN});
    for (const VstInt32 v : {0, -42, 99999999, 100000000, kInt32Min})
        all.push_back({"int2string(" + std::to_string(v) + ")",
                       [=](AudioEffect& e, char* text, VstInt32 maxLen) { e.int2string(v, text, maxLen); }});
    return all;
}

TEST(TextHelpers, WriteOnlyTextUpToMaxLenAndCutTheFullText) {
    constexpr VstInt32 kFullLen = 40;
    for (const auto& [name, format] : everyFormatter()) {
        const std::string full = formatted(format, kFullLen);
        for (const VstInt32 maxLen : {0, 1, 2, 3, 4, 5, 7, 8, 9, 12, 16}) {
            SCOPED_TRACE(name + ", maxLen " + std::to_string(maxLen));
            TextEffect effect;
            CanaryBuffer buffer;
            format(effect, buffer.text(), maxLen);

            for (int i = -kGuardBytes; i < 0; ++i) ASSERT_EQ(buffer.at(i), kSentinel) << "byte " << i;
            ASSERT_EQ(buffer.at(maxLen), 0) << "terminator at text[maxLen]";
            for (int i = maxLen + 1; i < kBufferBytes - kGuardBytes; ++i)
                ASSERT_EQ(buffer.at(i), kSentinel) << "byte " << i;

            const std::string text = buffer.text();
            EXPECT_EQ(text, full.substr(0, static_cast<std::size_t>(maxLen)));
            // The bounded copy zero-fills behind the text up to maxLen.
            for (int i = static_cast<int>(text.size()); i < maxLen; ++i) EXPECT_EQ(buffer.at(i), 0) << "byte " << i;
        }
    }
}

TEST(TextHelpers, NegativeMaxLenOrNullTextWritesNothing) {
    for (const auto& [name, format] : everyFormatter()) {
        SCOPED_TRACE(name);
        TextEffect effect;
        for (const VstInt32 maxLen : {-1, -2, -100, kInt32Min}) {
            CanaryBuffer buffer;
            format(effect, buffer.text(), maxLen);
            EXPECT_TRUE(buffer.untouched()) << "maxLen " << maxLen;
        }
        // A null text must be left alone, not dereferenced.
        format(effect, nullptr, 8);
        format(effect, nullptr, 0);
    }
}

// The decibel, frequency and millisecond texts are built by float2string
// through the table of virtual operations, so an effect that replaces it
// changes all four.
TEST(TextHelpers, RealValuedHelpersGoThroughTheVirtualFloat2string) {
    class Recorder : public TextEffect {
    public:
        std::vector<float> values;
        void float2string(float value, char* text, VstInt32 maxLen) override {
            values.push_back(value);
            AudioEffect::float2string(value, text, maxLen);
        }
    };
    Recorder effect;
    effect.setSampleRate(1000.0f);
    char text[16];
    effect.dB2string(0.1f, text, 8);
    effect.Hz2string(4.0f, text, 8);
    effect.Hz2string(0.0f, text, 8);
    effect.ms2string(500.0f, text, 8);
    EXPECT_EQ(effect.values, (std::vector<float>{-20.0f, 250.0f, 0.0f, 500.0f}));
}

}  // namespace
