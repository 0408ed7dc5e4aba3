// Entry of every benchmark program: the toolkit offscreen and the platform's test double on,
// so a benchmark that opens the viewer's screens never waits for a person.
#include <benchmark/benchmark.h>

#include <cstdlib>

#include "platform/platform.h"
#include "platform/test_double.h"

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    PlatformInit(0, nullptr);
    TestModeEnable(1);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    PlatformShutdown();
    return 0;
}
