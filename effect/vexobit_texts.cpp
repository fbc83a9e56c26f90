// Vexobit's parameter and program texts.
#include "effect/vexobit.h"

void Vexobit::getParameterName(VstInt32 index, char* text) { AudioEffectX::getParameterName(index, text); }
void Vexobit::getParameterLabel(VstInt32 index, char* label) { AudioEffectX::getParameterLabel(index, label); }
void Vexobit::getParameterDisplay(VstInt32 index, char* text) { AudioEffectX::getParameterDisplay(index, text); }
VstInt32 Vexobit::getProgram() { return 0; }
void Vexobit::setProgram(VstInt32 /*program*/) {}
void Vexobit::setProgramName(char* /*name*/) {}
void Vexobit::getProgramName(char* name) { AudioEffectX::getProgramName(name); }
