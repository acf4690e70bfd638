#include <cstdio>

#include "cli/cli.h"

int main(int argc, char** argv) { return trellisane::RunCli(argc, argv, stdout, stderr); }
