#pragma once

#include <QString>
#include <optional>

namespace trellisane {

/// What one file-system driver does with a new name beyond what every Linux file system
/// refuses (an empty name, "." and "..", a separator, a NUL). Plain data.
struct NamingRules {
    QString driver;                  ///< how a reason names it, e.g. "NTFS (Windows' naming rules)"
    QString forbidden;               ///< characters it refuses in a name
    bool controls = false;           ///< refuses the control characters U+0001 to U+001F
    bool trailingBlank = false;      ///< refuses a name that ends with a blank
    bool trailingDot = false;        ///< refuses a name that ends with a dot
    bool dropsTrailingDots = false;  ///< silently drops the dots a name ends with
    bool reservedDeviceNames =
        false;  ///< refuses CON, PRN, AUX, NUL, COM1-9, LPT1-9 (any extension)
};

/// The rules of a mount, from its type and super options as /proc/self/mountinfo gives them
/// and, for a FUSE block mount ("fuseblk"), the file system found on its device
/// (`deviceType`: "ntfs", "exfat", ... or ""). NTFS through FUSE is held to Windows' naming
/// rules whatever its options (desktops mount it with windows_names); kernel ntfs3 only with
/// windows_names; exFAT through exfat-fuse refuses the characters exFAT forbids; the kernel's
/// vfat and exfat drivers refuse them too and drop trailing dots. Nothing for every other
/// driver. Pure; O(1).
std::optional<NamingRules> NamingRulesOf(const QString& type, const QString& superOptions,
                                         const QString& deviceType);

/// Nothing when a driver with `rules` takes `name` as it is; else the one sentence that says
/// what it would refuse or change, naming the driver. O(length of name).
std::optional<QString> NamingRuleRefusal(const NamingRules& rules, QStringView name);

/// The rules of the file system `folder` lies on (NamingRulesOf), found from its mount in
/// /proc/self/mountinfo and, for a FUSE block mount, from udev's ID_FS_TYPE of its device or
/// the device's first bytes. Kept per mount, so a run asks the system once per mount. Nothing
/// where it cannot be told. A statx per call, and a read of mountinfo for each new mount.
std::optional<NamingRules> NamingRulesAt(const QString& folder);

/// One mount as /proc/self/mountinfo lists it, its escapes (\040 for a blank) undone.
struct MountFacts {
    QString type;          ///< "ext4", "fuseblk", "overlay", ...
    QString source;        ///< the device, "overlay", "user@host:/path", ...
    QString superOptions;  ///< the file system's own options, comma-separated
    QString mountPoint;    ///< where it is mounted
    QString root;          ///< the folder of the file system mounted there ("/" but for binds)
};

/// The mount the entry at `path` lies on (a mount point: the one mounted there), or nothing
/// when it cannot be told. A statx and a read of /proc/self/mountinfo.
std::optional<MountFacts> MountOf(const QString& path);

/// A file system as it can be recognised after it has been unmounted and mounted again,
/// perhaps through another device node (a stick in another port).
struct FileSystemIdentity {
    /// "uuid:" and the file system's UUID for a block device (blkid); "TYPE:SOURCE" for the
    /// others (sshfs "fuse.sshfs:user@host:/path", an overlay by its layers); "" when unknown.
    QByteArray key;
    /// Whether it keeps inode numbers across mounts (ext4, xfs, btrfs, NTFS...; not FAT,
    /// exFAT, most FUSE drivers, overlays).
    bool stableInodes = false;
    /// The mount's id, unique while the system runs (statx STATX_MNT_ID_UNIQUE); 0: unknown.
    quint64 mount = 0;
};

/// The identity of the file system the entry at `path` lies on (a final symbolic link not
/// followed). Kept per mount for a second; a blkid for each block device asked anew.
FileSystemIdentity IdentityOf(const QString& path);

/// NamingRuleRefusal for the new name `name` of a folder in `folder` (NamingRulesAt): what
/// RenamePlatform::refuseName does on the real disk.
std::optional<QString> NamingRuleRefusalAt(const QString& folder, const QString& name);

}  // namespace trellisane
