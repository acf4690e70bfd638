#pragma once

#include <sys/types.h>

#include <QByteArray>
#include <functional>
#include <optional>

namespace trellisane::testing {

/// Runs `body` in a forked child that has given up the power to read past permissions
/// (CAP_DAC_OVERRIDE and CAP_DAC_READ_SEARCH), as the tests otherwise run as root in CI.
/// Returns what `body` returned, or nothing when the child could not drop the power or died.
/// `body` must not use GoogleTest assertions: they would be lost with the child.
std::optional<QByteArray> RunWithoutReadPower(const std::function<QByteArray()>& body);

/// Runs `body` in a forked child that has become the user `uid` of group `gid`, with no
/// supplementary groups and no capabilities left. Returns what `body` returned, or nothing
/// when the child could not change user or died. The same rules for `body` as above.
std::optional<QByteArray> RunAsUser(uid_t uid, gid_t gid, const std::function<QByteArray()>& body);

/// Runs `body` in a forked child whose open-file limit is used up, so that opening a folder
/// fails with "Too many open files". Returns what `body` returned, or nothing on failure.
std::optional<QByteArray> RunWithoutFreeFiles(const std::function<QByteArray()>& body);

}  // namespace trellisane::testing
