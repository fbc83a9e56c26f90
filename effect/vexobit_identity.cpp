// Vexobit's identity answers: the name and vendor hosts list it by.
#include <cstring>

#include "effect/vexobit.h"

namespace {
constexpr char kEffectName[] = "Vexobit";
constexpr char kVendorString[] = "v0.1 07.05.18 Dorvi";
constexpr VstInt32 kVendorVersion = 1000;

static_assert(sizeof kEffectName <= AudioEffectX::kEffectNameBytes);
static_assert(sizeof kVendorString <= AudioEffectX::kVendorStringBytes);

// Copies a text that fits the host's buffer, terminator included; a null
// buffer gets nothing and answers false.
template <std::size_t N>
bool writeText(char* out, const char (&text)[N]) {
    if (!out) return false;
    std::memcpy(out, text, N);
    return true;
}
}  // namespace

bool Vexobit::getEffectName(char* name) { return writeText(name, kEffectName); }

bool Vexobit::getVendorString(char* text) { return writeText(text, kVendorString); }

VstInt32 Vexobit::getVendorVersion() { return kVendorVersion; }
