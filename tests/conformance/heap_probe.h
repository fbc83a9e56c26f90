// Counts calls into the heap (allocations and releases) made by anyone in the
// process, the loaded module included, while the probe is armed.
//
// How the heap is watched depends on the build:
// - Linux: this program defines malloc, free and their siblings itself; the
//   dynamic linker resolves the module's (and libstdc++'s) heap calls to
//   them, and they forward to glibc's allocator.
// - AddressSanitizer or ThreadSanitizer: the sanitizer owns the allocator and
//   reports every allocation and release to installed hooks.
// - Windows: the module's import table entries for the C runtime's and the
//   system's heap functions are redirected to counting wrappers.
#pragma once

namespace conformance::heap {

// Prepares the probe for `module` (a ModuleFile's native handle). Answers
// false, with a reason in `why`, when the heap cannot be watched.
bool install(void* module, const char** why);
// Which of the mechanisms above is in use.
const char* mechanism();

void arm();
void disarm();
// Heap calls seen while armed since the last reset.
long count();
void reset();

// Counts the heap calls of one scope.
class Watch {
public:
    Watch() { arm(); }
    ~Watch() { disarm(); }
    Watch(const Watch&) = delete;
    Watch& operator=(const Watch&) = delete;
};

}  // namespace conformance::heap
