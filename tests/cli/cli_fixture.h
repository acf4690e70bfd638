#pragma once

#include <QByteArray>
#include <QByteArrayList>

#include "tests/support/temp_tree.h"

namespace trellisane::testing {

/// What one run of the companion gave.
struct Result {
    int status = -1;  ///< the exit status, or -1 when it did not exit (killed by a signal)
    QByteArray out;
    QByteArray err;
};

/// Runs the built trellisane-cli with `args` (bytes, passed as they are) in `workingDir`.
Result RunBinary(const QByteArrayList& args, const QByteArray& workingDir);

/// A temporary folder to run the companion in, with byte-exact helpers.
class Cli : public TempTree {
  protected:
    QByteArray Root8() const;
    /// Creates a folder from raw bytes below the root; returns its row path.
    QByteArray MakeRaw(const QByteArray& name) const;
    /// Whether `name` below the root exists (a link not followed).
    bool Exists(const QByteArray& name) const;
};

}  // namespace trellisane::testing
