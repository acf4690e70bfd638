#pragma once

// Seams at the system calls, for failures a real file system on this machine cannot be made to
// produce on demand. Linking syscall_seams.cpp into a test executable replaces renameat2,
// openat, opendir, readdir, getdents64, close, closedir, stat, lstat and fstatat for the whole
// executable; each passes straight through to the C library unless a test has armed it, and
// only for what the test named. A call by name in a folder's descriptor is matched by the whole
// path it names (read from /proc/self/fd only while a seam is armed).

#include <QByteArray>
#include <QString>

namespace trellisane::testing {

/// While alive, every renameat2 call fails with `error` without reaching the kernel, as on a
/// file system that refuses the call or has no room. Not thread-safe; one at a time.
class RenameAt2Fails {
  public:
    explicit RenameAt2Fails(int error);
    ~RenameAt2Fails();
    RenameAt2Fails(const RenameAt2Fails&) = delete;
    RenameAt2Fails& operator=(const RenameAt2Fails&) = delete;
    /// The number of calls refused so far.
    int Calls() const;
};

/// While alive, opening the folder `path` for listing fails with `error`, whether it is opened
/// by its whole path (opendir, openat) or by its name in its parent's descriptor (openat
/// without O_PATH); trailing separators do not count. One at a time.
class ListingFails {
  public:
    ListingFails(const QString& path, int error);
    ~ListingFails();
    ListingFails(const ListingFails&) = delete;
    ListingFails& operator=(const ListingFails&) = delete;
};

/// While alive, every listing of the folder `parent` ends with one more entry, a folder named
/// `name` (which may be longer than any real file system allows), and stat of that entry's
/// path (or fstatat of its name in `parent`'s descriptor) answers as for `parent`. One at a
/// time.
class ExtraFolderEntry {
  public:
    ExtraFolderEntry(const QString& parent, const QByteArray& name);
    ~ExtraFolderEntry();
    ExtraFolderEntry(const ExtraFolderEntry&) = delete;
    ExtraFolderEntry& operator=(const ExtraFolderEntry&) = delete;
};

/// While alive, every other getdents64 call fails with EINTR before reading anything, as on a
/// FUSE or network file system when a signal arrives: each listing's first read, and each read
/// after one that succeeded. One at a time.
class ListingsInterrupted {
  public:
    ListingsInterrupted();
    ~ListingsInterrupted();
    ListingsInterrupted(const ListingsInterrupted&) = delete;
    ListingsInterrupted& operator=(const ListingsInterrupted&) = delete;
};

/// While alive, the folder `folder` answers names as exfat-fuse does: a name that is not there
/// but matches an entry when case is ignored (ASCII letters) is looked up (lstat, stat) as that
/// entry, with an inode number of its own for each spelling, and renameat2 onto such a name
/// fails with EEXIST, even for the entry itself. Nothing else changes. One at a time.
class SpellingsOfOneName {
  public:
    explicit SpellingsOfOneName(const QString& folder);
    ~SpellingsOfOneName();
    SpellingsOfOneName(const SpellingsOfOneName&) = delete;
    SpellingsOfOneName& operator=(const SpellingsOfOneName&) = delete;
};

}  // namespace trellisane::testing
