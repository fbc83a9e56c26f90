#include "tests/conformance/heap_probe.h"

#include <atomic>
#include <cstddef>
#include <cstdint>

namespace conformance::heap {

namespace {
// Plain globals, no thread_local: on some platforms thread-local storage is
// itself allocated on first use. Only the thread that armed the probe is
// watched; other threads (a starting thread's runtime set-up, say) may use
// the heap meanwhile.
std::atomic<bool> armed{false};
std::atomic<std::uintptr_t> armedThread{0};
std::atomic<long> calls{0};

std::uintptr_t currentThread();

inline void note() {
    if (armed.load(std::memory_order_relaxed) && armedThread.load(std::memory_order_relaxed) == currentThread()) {
        calls.fetch_add(1, std::memory_order_relaxed);
    }
}
}  // namespace

void arm() {
    armedThread.store(currentThread());
    armed.store(true);
}
void disarm() { armed.store(false); }
long count() { return calls.load(); }
void reset() { calls.store(0); }

}  // namespace conformance::heap

#if defined(_WIN32)
#include <windows.h>
namespace conformance::heap {
namespace {
std::uintptr_t currentThread() { return GetCurrentThreadId(); }
}  // namespace
}  // namespace conformance::heap
#else
#include <pthread.h>
namespace conformance::heap {
namespace {
std::uintptr_t currentThread() { return static_cast<std::uintptr_t>(pthread_self()); }
}  // namespace
}  // namespace conformance::heap
#endif

#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)

// The sanitizer runtime's allocator interface (GCC ships no header for it).
extern "C" int __sanitizer_install_malloc_and_free_hooks(void (*onAllocate)(const volatile void*, std::size_t),
                                                         void (*onRelease)(const volatile void*));

namespace conformance::heap {
namespace {
void onAllocate(const volatile void* /*block*/, std::size_t /*size*/) { note(); }
void onRelease(const volatile void* /*block*/) { note(); }
}  // namespace

bool install(void* /*module*/, const char** why) {
    if (__sanitizer_install_malloc_and_free_hooks(onAllocate, onRelease) == 0) {
        *why = "the sanitizer refused the allocator hooks";
        return false;
    }
    return true;
}

const char* mechanism() { return "sanitizer allocator hooks"; }
}  // namespace conformance::heap

#elif defined(_WIN32)

#include <windows.h>

#include <cstring>

namespace conformance::heap {
namespace {

using MallocFn = void*(__cdecl*)(std::size_t);
using CallocFn = void*(__cdecl*)(std::size_t, std::size_t);
using ReallocFn = void*(__cdecl*)(void*, std::size_t);
using FreeFn = void(__cdecl*)(void*);
using AlignedMallocFn = void*(__cdecl*)(std::size_t, std::size_t);
using AlignedReallocFn = void*(__cdecl*)(void*, std::size_t, std::size_t);
using HeapAllocFn = LPVOID(WINAPI*)(HANDLE, DWORD, SIZE_T);
using HeapReAllocFn = LPVOID(WINAPI*)(HANDLE, DWORD, LPVOID, SIZE_T);
using HeapFreeFn = BOOL(WINAPI*)(HANDLE, DWORD, LPVOID);
using VirtualAllocFn = LPVOID(WINAPI*)(LPVOID, SIZE_T, DWORD, DWORD);
using LocalAllocFn = HLOCAL(WINAPI*)(UINT, SIZE_T);

// The originals, taken from the module's import table before redirecting it.
MallocFn realMalloc;
CallocFn realCalloc;
ReallocFn realRealloc;
FreeFn realFree;
AlignedMallocFn realAlignedMalloc;
AlignedReallocFn realAlignedRealloc;
FreeFn realAlignedFree;
HeapAllocFn realHeapAlloc;
HeapReAllocFn realHeapReAlloc;
HeapFreeFn realHeapFree;
VirtualAllocFn realVirtualAlloc;
LocalAllocFn realLocalAlloc;
LocalAllocFn realGlobalAlloc;

void* __cdecl countedMalloc(std::size_t size) { note(); return realMalloc(size); }
void* __cdecl countedCalloc(std::size_t count, std::size_t size) { note(); return realCalloc(count, size); }
void* __cdecl countedRealloc(void* block, std::size_t size) { note(); return realRealloc(block, size); }
void __cdecl countedFree(void* block) { note(); realFree(block); }
void* __cdecl countedAlignedMalloc(std::size_t size, std::size_t alignment) {
    note();
    return realAlignedMalloc(size, alignment);
}
void* __cdecl countedAlignedRealloc(void* block, std::size_t size, std::size_t alignment) {
    note();
    return realAlignedRealloc(block, size, alignment);
}
void __cdecl countedAlignedFree(void* block) { note(); realAlignedFree(block); }
LPVOID WINAPI countedHeapAlloc(HANDLE heap, DWORD flags, SIZE_T size) {
    note();
    return realHeapAlloc(heap, flags, size);
}
LPVOID WINAPI countedHeapReAlloc(HANDLE heap, DWORD flags, LPVOID block, SIZE_T size) {
    note();
    return realHeapReAlloc(heap, flags, block, size);
}
BOOL WINAPI countedHeapFree(HANDLE heap, DWORD flags, LPVOID block) {
    note();
    return realHeapFree(heap, flags, block);
}
LPVOID WINAPI countedVirtualAlloc(LPVOID address, SIZE_T size, DWORD type, DWORD protect) {
    note();
    return realVirtualAlloc(address, size, type, protect);
}
HLOCAL WINAPI countedLocalAlloc(UINT flags, SIZE_T size) { note(); return realLocalAlloc(flags, size); }
HLOCAL WINAPI countedGlobalAlloc(UINT flags, SIZE_T size) { note(); return realGlobalAlloc(flags, size); }

// An import slot holds a code address; these move it in and out of the
// typed function pointers.
template <typename Fn>
std::uintptr_t addressOf(Fn function) {
    return reinterpret_cast<std::uintptr_t>(function);
}
template <typename Fn>
void keep(Fn& original, std::uintptr_t address) {
    if (!original) original = reinterpret_cast<Fn>(address);
}

struct Redirect {
    const char* name;
    std::uintptr_t replacement;
    void (*keepOriginal)(std::uintptr_t);
};

const Redirect redirects[] = {
    {"malloc", addressOf(countedMalloc), [](std::uintptr_t a) { keep(realMalloc, a); }},
    {"calloc", addressOf(countedCalloc), [](std::uintptr_t a) { keep(realCalloc, a); }},
    {"realloc", addressOf(countedRealloc), [](std::uintptr_t a) { keep(realRealloc, a); }},
    {"free", addressOf(countedFree), [](std::uintptr_t a) { keep(realFree, a); }},
    {"_aligned_malloc", addressOf(countedAlignedMalloc), [](std::uintptr_t a) { keep(realAlignedMalloc, a); }},
    {"_aligned_realloc", addressOf(countedAlignedRealloc), [](std::uintptr_t a) { keep(realAlignedRealloc, a); }},
    {"_aligned_free", addressOf(countedAlignedFree), [](std::uintptr_t a) { keep(realAlignedFree, a); }},
    {"HeapAlloc", addressOf(countedHeapAlloc), [](std::uintptr_t a) { keep(realHeapAlloc, a); }},
    {"HeapReAlloc", addressOf(countedHeapReAlloc), [](std::uintptr_t a) { keep(realHeapReAlloc, a); }},
    {"HeapFree", addressOf(countedHeapFree), [](std::uintptr_t a) { keep(realHeapFree, a); }},
    {"VirtualAlloc", addressOf(countedVirtualAlloc), [](std::uintptr_t a) { keep(realVirtualAlloc, a); }},
    {"LocalAlloc", addressOf(countedLocalAlloc), [](std::uintptr_t a) { keep(realLocalAlloc, a); }},
    {"GlobalAlloc", addressOf(countedGlobalAlloc), [](std::uintptr_t a) { keep(realGlobalAlloc, a); }},
};

template <typename Slot>
bool writeSlot(Slot* slot, std::uintptr_t value) {
    DWORD previous = 0;
    if (!VirtualProtect(slot, sizeof *slot, PAGE_READWRITE, &previous)) return false;
    *slot = static_cast<Slot>(value);
    VirtualProtect(slot, sizeof *slot, previous, &previous);
    return true;
}

}  // namespace

bool install(void* module, const char** why) {
    auto* base = static_cast<BYTE*>(module);
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    const IMAGE_DATA_DIRECTORY& imports = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    if (imports.VirtualAddress == 0) {
        *why = "the module has no import table";
        return false;
    }
    int redirected = 0;
    for (auto* library = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + imports.VirtualAddress);
         library->Name != 0; ++library) {
        if (library->OriginalFirstThunk == 0) continue;  // no names to match against
        auto* names = reinterpret_cast<IMAGE_THUNK_DATA*>(base + library->OriginalFirstThunk);
        auto* slots = reinterpret_cast<IMAGE_THUNK_DATA*>(base + library->FirstThunk);
        for (; names->u1.AddressOfData != 0; ++names, ++slots) {
            if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal)) continue;
            const auto* byName = reinterpret_cast<const IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData);
            const char* imported = reinterpret_cast<const char*>(byName->Name);
            for (const Redirect& redirect : redirects) {
                if (std::strcmp(imported, redirect.name) != 0) continue;
                redirect.keepOriginal(slots->u1.Function);
                if (!writeSlot(&slots->u1.Function, redirect.replacement)) {
                    *why = "VirtualProtect refused to open the import table";
                    return false;
                }
                ++redirected;
            }
        }
    }
    if (redirected == 0) {
        *why = "the module imports none of the heap functions";
        return false;
    }
    return true;
}

const char* mechanism() { return "redirected heap imports of the module"; }
}  // namespace conformance::heap

#elif defined(__GLIBC__)

#include <algorithm>
#include <cerrno>
#include <new>

// glibc's allocator under its internal names.
extern "C" {
void* __libc_malloc(std::size_t size);
void* __libc_calloc(std::size_t count, std::size_t size);
void* __libc_realloc(void* block, std::size_t size);
void* __libc_memalign(std::size_t alignment, std::size_t size);
void __libc_free(void* block);
}

// Defined in the program, these take precedence over glibc's for every
// shared object in the process.
extern "C" {
void* malloc(std::size_t size) {
    conformance::heap::note();
    return __libc_malloc(size);
}
void* calloc(std::size_t count, std::size_t size) {
    conformance::heap::note();
    return __libc_calloc(count, size);
}
void* realloc(void* block, std::size_t size) {
    conformance::heap::note();
    return __libc_realloc(block, size);
}
void free(void* block) {
    conformance::heap::note();
    __libc_free(block);
}
void* memalign(std::size_t alignment, std::size_t size) {
    conformance::heap::note();
    return __libc_memalign(alignment, size);
}
void* aligned_alloc(std::size_t alignment, std::size_t size) {
    conformance::heap::note();
    return __libc_memalign(alignment, size);
}
int posix_memalign(void** block, std::size_t alignment, std::size_t size) {
    conformance::heap::note();
    if (alignment < sizeof(void*) || (alignment & (alignment - 1)) != 0) return EINVAL;
    void* allocated = __libc_memalign(alignment, size);
    if (!allocated && size != 0) return ENOMEM;
    *block = allocated;
    return 0;
}
}

// operator new and delete too: a memory checker such as valgrind replaces
// libstdc++'s own, which would then never reach malloc above.
namespace {
void* allocateOrThrow(std::size_t size) {
    if (void* block = malloc(size == 0 ? 1 : size)) return block;
    throw std::bad_alloc();
}
void* allocateAlignedOrThrow(std::size_t size, std::align_val_t alignment) {
    void* block = nullptr;
    if (posix_memalign(&block, std::max(sizeof(void*), static_cast<std::size_t>(alignment)), size == 0 ? 1 : size) == 0)
        return block;
    throw std::bad_alloc();
}
}  // namespace

void* operator new(std::size_t size) { return allocateOrThrow(size); }
void* operator new[](std::size_t size) { return allocateOrThrow(size); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept { return malloc(size == 0 ? 1 : size); }
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept { return malloc(size == 0 ? 1 : size); }
void* operator new(std::size_t size, std::align_val_t alignment) { return allocateAlignedOrThrow(size, alignment); }
void* operator new[](std::size_t size, std::align_val_t alignment) { return allocateAlignedOrThrow(size, alignment); }
void operator delete(void* block) noexcept { free(block); }
void operator delete[](void* block) noexcept { free(block); }
void operator delete(void* block, std::size_t) noexcept { free(block); }
void operator delete[](void* block, std::size_t) noexcept { free(block); }
void operator delete(void* block, const std::nothrow_t&) noexcept { free(block); }
void operator delete[](void* block, const std::nothrow_t&) noexcept { free(block); }
void operator delete(void* block, std::align_val_t) noexcept { free(block); }
void operator delete[](void* block, std::align_val_t) noexcept { free(block); }
void operator delete(void* block, std::size_t, std::align_val_t) noexcept { free(block); }
void operator delete[](void* block, std::size_t, std::align_val_t) noexcept { free(block); }

namespace conformance::heap {
bool install(void* /*module*/, const char** /*why*/) { return true; }
const char* mechanism() { return "interposed malloc family and operator new"; }
}  // namespace conformance::heap

#else

namespace conformance::heap {
bool install(void* /*module*/, const char** why) {
    *why = "no way to watch the heap on this platform";
    return false;
}
const char* mechanism() { return "none"; }
}  // namespace conformance::heap

#endif
