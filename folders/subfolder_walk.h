#pragma once

#include <QString>
#include <QStringList>
#include <functional>
#include <vector>

#include "folder_tree.h"

namespace trellisane {

/// The location text of the walk's error reports.
inline constexpr char kWalkLocation[] =
    "in VantelleTitle2021/08/31.AddFolder.GetSubDirectories2016 ";

/// What the walk needs from its caller. Every member may be empty.
struct WalkHooks {
    /// Polled at every point where the walk would yield; true stops the walk as soon as
    /// possible (the result is then incomplete and should be dropped).
    std::function<bool()> cancelled;
    /// A failure other than permission denied or path not found: shows the application error
    /// report (description and line) and returns when the person has pressed OK.
    std::function<void(const QString& description, int line)> report;
    /// Told of each folder the walk leaves out by its naming rule (a name of 260
    /// characters or more, or with a character outside the single-byte set, a '?' or a control
    /// character), with everything beneath it: its path as the file system's bytes, with a
    /// trailing separator. Only the folder at the top of each left-out subtree is told. Called
    /// on the walk's thread; may be empty.
    std::function<void(const QByteArray& path)> skipped;
};

/// Appends to `folders` every folder beneath its entries, level by level (each entry ends with
/// the separator). Leaves out names of 260 characters or more, names with an unusable
/// character or '?', "." and ".."; walks a folder only while its path is shorter than 260
/// characters and it passes the attribute test; a symbolic link to a folder is listed but never
/// walked into. A folder whose listing fails with permission denied or path not found is
/// removed (its first equal entry). Reads the file system only; may run on any thread.
/// O(folders in the tree).
void GetSubDirectories2016(QStringList& folders, bool recursive, const WalkHooks& hooks = {});

/// The same walk over nodes of `tree`: `folders` holds the entries' nodes, and every folder
/// found is filed in the tree as a child of its parent's node, so no whole path is kept. Each
/// folder below the entries is opened by its name in its parent's descriptor, which is opened
/// once for its run of siblings (at most two descriptors open at a time); a whole path is built
/// only for an entry, a parent, a report or the skipped hook. Same rules, order, bounds, reports and
/// hooks as the walk of paths; an entry given as an open node (without a trailing separator)
/// has its sub-folders filed under the closed node of the same name. Returns false, leaving
/// `folders` as it was, when the walk was cancelled. O(folders in the tree).
bool GetSubDirectories2016(FolderTree& tree, std::vector<FolderTree::NodeId>& folders,
                           bool recursive, const WalkHooks& hooks = {});

/// True when `path` is a folder (or a link to one); false on any failure.
bool IsExistingFolder(const QString& path);

/// True when any character of `name`, in Windows-1252, is below 32, 127 to 159, 63 ('?'), or
/// not representable (above 255). "" has none. O(n).
bool HasUnusableCharacters(const QString& name);

/// The attribute test: false for a folder on which one of the kernel's virtual file systems is
/// mounted (they stand for Windows' hidden system folders); true otherwise, and for the root.
bool PassesAttributeTest(const QString& path);

}  // namespace trellisane
