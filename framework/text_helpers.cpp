// Value-to-text helpers of AudioEffect.
#include <cmath>
#include <cstdint>

#include "framework/audio_effect.h"
#include "framework/bounded_text.h"

namespace {

// float2string's texts are eight characters before the caller's limit.
constexpr int kFloatTextChars = 8;
// Pieces are built right to left from the end of this scratch buffer.
constexpr int kFloatScratchBytes = 32;
static_assert(kFloatScratchBytes > kFloatTextChars + 1);

// Largest magnitudes whose integer digits still fit the budget next to the
// point (and the sign): seven digits when positive, six when negative. The
// integer loop stops at the budget, so anything larger would lose its leading
// digits; those values read "Huge!" instead.
constexpr double kPositiveIntegerLimit = 1e7;
constexpr double kNegativeIntegerLimit = 1e6;

// int2string starts at the ten-digit position so that every VstInt32
// magnitude, 2147483648 included, gets proper digits.
constexpr std::uint32_t kLargestDivisor = 1000000000u;
constexpr VstInt32 kIntegerLimit = 100000000;  // from here on "Huge!"

constexpr char kHugeText[] = "Huge!";
constexpr char kNaNText[] = "NaN";
constexpr char kMinusInfinityText[] = "-oo";

// The decimal digit of the integer part of x modulo 10; x is finite and >= 0.
char decimalDigit(double x) { return static_cast<char>('0' + static_cast<int>(std::fmod(x, 10.0))); }

}  // namespace

void AudioEffect::dB2string(float value, char* text, VstInt32 maxLen) {
    if (!vsttext::writable(text, maxLen)) return;
    if (value <= 0.0f) {
        vsttext::copy(text, kMinusInfinityText, maxLen);
        return;
    }
    // The logarithm and the product are each rounded to single precision, so
    // a gain of 0.1 reads exactly -20.
    const auto logarithm = static_cast<float>(std::log10(static_cast<double>(value)));
    const float decibels = 20.0f * logarithm;
    float2string(decibels, text, maxLen);
}

void AudioEffect::Hz2string(float samples, char* text, VstInt32 maxLen) {
    if (!vsttext::writable(text, maxLen)) return;
    if (samples == 0.0f) {
        float2string(0.0f, text, maxLen);
        return;
    }
    const float hertz = getSampleRate() / samples;
    float2string(hertz, text, maxLen);
}

void AudioEffect::ms2string(float samples, char* text, VstInt32 maxLen) {
    if (!vsttext::writable(text, maxLen)) return;
    // A zero sample rate gives an infinity ("Huge!") or, for 0 samples, NaN.
    const float milliseconds = samples * 1000.0f / getSampleRate();
    float2string(milliseconds, text, maxLen);
}

void AudioEffect::float2string(float value, char* text, VstInt32 maxLen) {
    if (!vsttext::writable(text, maxLen)) return;
    if (std::isnan(value)) {
        vsttext::copy(text, kNaNText, maxLen);
        return;
    }

    double v = value;
    bool negative = false;
    int count = 0;  // characters of the eight used so far
    if (v < 0.0) {
        negative = true;
        v = -v;
        count = 1;
    }
    // Infinities land here too.
    if (v >= (negative ? kNegativeIntegerLimit : kPositiveIntegerLimit)) {
        vsttext::copy(text, kHugeText, maxLen);
        return;
    }

    // Sign, integer digits and the point.
    char scratch[kFloatScratchBytes];
    char* const end = scratch + kFloatScratchBytes;
    char* piece = end;
    *--piece = 0;
    *--piece = '.';
    ++count;
    double integ = std::floor(v);
    *--piece = decimalDigit(integ);
    integ /= 10.0;
    ++count;
    while (integ >= 1.0 && count < kFloatTextChars) {
        *--piece = decimalDigit(integ);
        integ /= 10.0;
        ++count;
    }
    if (negative) *--piece = '-';
    vsttext::copy(text, piece, maxLen);
    if (count >= kFloatTextChars) return;

    // Fraction digits fill the rest of the budget; cut, never rounded.
    const int fractionDigits = kFloatTextChars - count;
    double m = std::fmod(v, 1.0) * std::pow(10.0, fractionDigits);
    piece = end;
    *--piece = 0;
    for (int i = 0; i < fractionDigits; ++i) {
        if (m <= 0.0) {
            *--piece = '0';
        } else {
            *--piece = decimalDigit(m);
            m /= 10.0;
        }
    }
    vsttext::append(text, piece, maxLen);
}

void AudioEffect::int2string(VstInt32 value, char* text, VstInt32 maxLen) {
    if (!vsttext::writable(text, maxLen)) return;
    if (value >= kIntegerLimit) {
        vsttext::copy(text, kHugeText, maxLen);
        return;
    }
    // Negated in unsigned arithmetic: the most negative value has no positive
    // counterpart in VstInt32.
    std::uint32_t magnitude = static_cast<std::uint32_t>(value);
    if (value < 0) {
        vsttext::copy(text, "-", maxLen);
        magnitude = 0u - magnitude;
    } else {
        vsttext::copy(text, "", maxLen);
    }
    bool started = false;
    for (std::uint32_t divisor = kLargestDivisor; divisor != 0; divisor /= 10) {
        const std::uint32_t digit = magnitude / divisor;
        magnitude %= divisor;
        if (digit != 0 || started || divisor == 1) {
            started = true;
            const char piece[2] = {static_cast<char>('0' + digit), 0};
            vsttext::append(text, piece, maxLen);
        }
    }
}
