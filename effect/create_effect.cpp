// The factory the module's entry point calls for every new instance.
#include <new>

#include "effect/vexobit.h"

AudioEffect* createEffect(audioMasterCallback hostCallback) { return new (std::nothrow) Vexobit(hostCallback); }
