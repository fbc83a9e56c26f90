// Usage: conformance_host MODULE-FILE [GoogleTest options]
// Loads the module file and runs every conformance test against it.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>

#include "tests/conformance/conformance_host.h"
#include "tests/conformance/heap_probe.h"

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    if (GTEST_FLAG_GET(list_tests)) return RUN_ALL_TESTS();

    const char* path = argc > 1 ? argv[1] : std::getenv("VEXOBIT_MODULE");
    if (!path) {
        std::fprintf(stderr, "usage: %s MODULE-FILE [GoogleTest options]\n", argv[0]);
        return 2;
    }
    conformance::openModule(path);
    if (!conformance::module().loaded()) {
        std::fprintf(stderr, "cannot load %s: %s\n", path, conformance::module().error().c_str());
        return 1;
    }
    const char* why = "";
    if (!conformance::heap::install(conformance::module().nativeHandle(), &why)) {
        std::fprintf(stderr, "cannot watch the heap: %s\n", why);
        return 1;
    }
    std::printf("module %s\nheap watched by %s\nseed %u (set VEXOBIT_CONFORMANCE_SEED to repeat)\n", path,
                conformance::heap::mechanism(), static_cast<unsigned>(conformance::seed()));
    const int result = RUN_ALL_TESTS();
    conformance::closeModule();
    return result;
}
