#pragma once

#include <cstdio>

namespace trellisane {

/// Runs the command-line companion with `argc`/`argv` as main() got them, writing to `out` and
/// `err`. Returns the exit status: 0 success, 1 some row failed to rename, 2 usage error.
int RunCli(int argc, char** argv, std::FILE* out, std::FILE* err);

}  // namespace trellisane
