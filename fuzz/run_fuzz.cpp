// libFuzzer target: a rename run's row rebasing on a modelled disk, and CarryThroughMoves,
// against the plain quadratic model of tests/properties.

#include <cstdio>
#include <cstdlib>

#include "tests/properties/invariants.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace trellisane::testing;
    const RunInput input = RunInputFromBytes(data, size);
    std::string broken = CheckRunInvariants(input.folders, input.rows);
    if (broken.empty()) broken = CheckCarryInvariants(input.carryPaths, input.carryMoves);
    if (!broken.empty()) {
        std::fprintf(stderr, "invariant broken: %s\n", broken.c_str());
        std::abort();
    }
    return 0;
}
