#pragma once

#include <QByteArray>
#include <cstdio>

namespace trellisane {

/// Runs the command-line companion with `argc`/`argv` as main() got them, writing to `out` and
/// `err`. Returns the exit status: 0 success, 1 some row failed to rename, 2 usage error.
int RunCli(int argc, char** argv, std::FILE* out, std::FILE* err);

/// `text` (UTF-8, or any bytes) made safe to print as one line on a terminal: the backslash
/// and every control character (U+0000 to U+001F, U+007F to U+009F) are written as escapes
/// ("\\", "\n", "\t", "\r", "\a", "\b", "\v", "\f", otherwise "\x1b" and the like);
/// when `text` is not valid UTF-8, every byte from 0x80 up is written as "\xHH" as well.
/// Everything else is unchanged. O(n).
QByteArray EscapeLine(const QByteArray& text);

}  // namespace trellisane
