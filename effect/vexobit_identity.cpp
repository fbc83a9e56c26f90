// Vexobit's identity answers.
#include "effect/vexobit.h"

bool Vexobit::getEffectName(char* /*name*/) { return false; }
bool Vexobit::getVendorString(char* /*text*/) { return false; }
VstInt32 Vexobit::getVendorVersion() { return 0; }
