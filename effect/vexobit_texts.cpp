// Vexobit's parameter and program texts. Requests for an index other than
// 0..2, or with a null buffer, write nothing.
#include <array>
#include <cstdio>
#include <string_view>

#include "effect/rate_table.h"
#include "effect/text_limits.h"
#include "effect/vexobit.h"
#include "framework/bounded_text.h"

namespace {

using vexobit::DeltaModulator;

constexpr std::array<std::string_view, Vexobit::kNumParams> kParameterNames = {"Input gain", "Sample rate",
                                                                               "Output gain"};
constexpr std::array<std::string_view, Vexobit::kNumParams> kParameterLabels = {"dB", "Hz", "dB"};

constexpr bool allFit(const std::array<std::string_view, Vexobit::kNumParams>& texts, int bytes) {
    for (const auto text : texts)
        if (static_cast<int>(text.size()) + 1 > bytes) return false;
    return true;
}
static_assert(allFit(kParameterNames, vexobit::kParamNameBytes));
static_assert(allFit(kParameterLabels, vexobit::kParamLabelBytes));

constexpr bool knownIndex(VstInt32 index) { return index >= 0 && index < Vexobit::kNumParams; }

// Writes a whole text of at most bytes - 1 characters and its terminator,
// nothing after it.
void writeText(char* text, std::string_view source, int bytes) {
    vsttext::copyString(text, source.data(), bytes - 1);
}

}  // namespace

void Vexobit::getParameterName(VstInt32 index, char* text) {
    if (!text || !knownIndex(index)) return;
    writeText(text, kParameterNames[index], vexobit::kParamNameBytes);
}

void Vexobit::getParameterLabel(VstInt32 index, char* label) {
    if (!label || !knownIndex(index)) return;
    writeText(label, kParameterLabels[index], vexobit::kParamLabelBytes);
}

void Vexobit::getParameterDisplay(VstInt32 index, char* text) {
    if (!text) return;
    switch (index) {
    case DeltaModulator::kInputGain:
    case DeltaModulator::kOutputGain:
        dB2string(modulator.getParameter(index), text, vexobit::kGainDisplayChars);
        return;
    case DeltaModulator::kRateSetting: {
        const int entry = vexobit::selectRateEntry(modulator.getParameter(index));
        const char* const chip = entry < vexobit::kRatesPerChip ? "PAL" : "NTSC";
        const auto rateNumber = static_cast<unsigned>(entry % vexobit::kRatesPerChip);
        char scratch[vexobit::kRateScratchBytes];
        std::snprintf(scratch, sizeof scratch, "%s $%X - %5.2f", chip, rateNumber,
                      vexobit::rateTable[static_cast<std::size_t>(entry)]);
        vsttext::copyString(text, scratch, vexobit::kRateDisplayBytes - 1);
        return;
    }
    default: return;
    }
}

VstInt32 Vexobit::getProgram() { return 0; }

// The only program is always current.
void Vexobit::setProgram(VstInt32 /*program*/) {}

void Vexobit::setProgramName(char* name) {
    if (!name) return;
    // At most 31 characters; the rest of the field is zero.
    vsttext::copy(programName, name, kProgramNameBytes - 1);
}

void Vexobit::getProgramName(char* name) {
    if (!name) return;
    vsttext::copyString(name, programName, kProgramNameBytes - 1);
}
