#include "cli/cli.h"

namespace trellisane {

int RunCli(int, char**, std::FILE* out, std::FILE*) {
    std::fputs("trellisane-cli: not built yet\n", out);
    return 0;
}

}  // namespace trellisane
