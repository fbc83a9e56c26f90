// How many bytes each text Vexobit writes into a host buffer takes at most,
// terminator included. The plug-in interface passes no buffer sizes, so these
// are the promises hosts rely on; every write is bounded by one of them.
// The program name's size, Vexobit::kProgramNameBytes (32), sits next to the
// field it sizes.
#pragma once

namespace vexobit {

// "Sample rate", "Output gain": 11 characters.
constexpr int kParamNameBytes = 12;
// "dB", "Hz".
constexpr int kParamLabelBytes = 3;
// Gains read in decibels cut to four characters: "0.00", "-6.0", "-oo".
constexpr int kGainDisplayChars = 4;
constexpr int kGainDisplayBytes = kGainDisplayChars + 1;
// "NTSC $F - 33143.90": chip, rate number, rate in Hz; 18 characters.
constexpr int kRateDisplayBytes = 19;
// The rate display is formatted here before it is copied to the host.
constexpr int kRateScratchBytes = 256;

}  // namespace vexobit
