#pragma once

#include <sys/types.h>

#include <QByteArray>
#include <QStringList>
#include <functional>
#include <optional>

namespace trellisane::testing {

/// Runs `body` in a forked child that has given up the power to read past permissions
/// (CAP_DAC_OVERRIDE and CAP_DAC_READ_SEARCH), as the tests otherwise run as root in CI.
/// Returns what `body` returned, or nothing when the child could not drop the power or died.
/// `body` must not use GoogleTest assertions: they would be lost with the child.
std::optional<QByteArray> RunWithoutReadPower(const std::function<QByteArray()>& body);

/// Runs `body` in a forked child that has become the user `uid` with group `gid` and no
/// supplementary groups, so it has none of root's powers. Returns what `body` returned, or
/// nothing when the child could not become that user or died. Same rules for `body`.
std::optional<QByteArray> RunAsUser(unsigned uid, unsigned gid,
                                    const std::function<QByteArray()>& body);

/// Whether the user `uid` (group `gid`) can reach `path`: every folder on the way searchable.
/// False on a machine whose own folders shut other users out (a root folder of mode 0700), where
/// a test as that user would fail for a reason of the machine's, not of the code's.
bool UserCanReach(unsigned uid, unsigned gid, const QByteArray& path);

/// Runs `body` in a forked child whose open-file limit is used up, so that opening a folder
/// fails with "Too many open files". Returns what `body` returned, or nothing on failure.
std::optional<QByteArray> RunWithoutFreeFiles(const std::function<QByteArray()>& body);

/// Runs `body` in a forked child whose open-file limit leaves at most `free` descriptors to
/// open. Same rules for `body`.
std::optional<QByteArray> RunWithFreeFiles(int free, const std::function<QByteArray()>& body);

/// A recursive walk of `folders` as text a child can hand back: each report as
/// "description@line", one a line, then the folders the walk left, one a line.
QByteArray WalkAsText(QStringList folders);

}  // namespace trellisane::testing
