// libFuzzer target: MatchOperation, TransformName and BuildNewPath over arbitrary texts, with
// the invariants of tests/properties. A broken invariant aborts with its description.

#include <cstdio>
#include <cstdlib>

#include "tests/properties/invariants.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace trellisane::testing;
    const EngineInput input = EngineInputFromBytes(data, size);
    const std::string broken = CheckEngineInvariants(input.selectorText, input.answers, input.path);
    if (!broken.empty()) {
        std::fprintf(stderr, "invariant broken: %s\n", broken.c_str());
        std::abort();
    }
    return 0;
}
