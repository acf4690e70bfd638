#include "subfolder_walk.h"

#include <dirent.h>
#include <fcntl.h>
#include <linux/magic.h>
#include <string.h>
#include <sys/stat.h>
#include <sys/statfs.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <QFile>
#include <QHash>
#include <algorithm>
#include <memory>
#include <cerrno>
#include <optional>
#include <utility>
#include <vector>

#include "folder_entries.h"
#include "folder_tree.h"
#include "path_separator.h"
#include "shell/error_text.h"

namespace trellisane {

// Line numbers of the walk's statements, as its error reports name them. Several statements
// may share one; a report names the last one reached.
//
//   100  set up `found` and the file-system state
//   102  for each entry of `folders`
//   104      existence test
//   106      length test
//   108      open the folder, yield
//   110      attribute test
//   112      list the sub-folders
//   114          yield, take the name, filter it, append to `found`
//   116      drop the entry whose listing was refused or whose folder vanished
//   118  walk `found` one level further down
//   120  for each entry of `found`
//   122      existence test, yield
//   124      attribute test
//   126      append to `folders`
//
// Only 110/124 (the file system cannot be examined) and 112 (a listing failure other than
// permission denied or path not found) can fail here; the other steps are kept so the table
// matches the walk's shape.
namespace {

constexpr int kLineAttributeTest = 110;
constexpr int kLineListing = 112;
constexpr int kLineFinalAttributeTest = 124;

/// Paths and names must stay shorter than this many UTF-16 code units.
constexpr qsizetype kLengthBound = 260;

/// Permission denied and path not found: the listing failures that drop the folder silently.
bool DropsTheFolder(int error) {
    return error == EACCES || error == EPERM || error == ENOENT || error == ENOTDIR;
}

/// The kernel's virtual file systems, which stand for Windows' hidden system folders. devtmpfs
/// shares tmpfs' magic number and is told apart through the mount table.
bool IsVirtualFileSystemType(__fsword_t type) {
    switch (static_cast<unsigned long>(type)) {
        case PROC_SUPER_MAGIC:
        case SYSFS_MAGIC:
        case DEVPTS_SUPER_MAGIC:
        case CGROUP_SUPER_MAGIC:
        case CGROUP2_SUPER_MAGIC:
        case SECURITYFS_MAGIC:
        case DEBUGFS_MAGIC:
        case TRACEFS_MAGIC:
        case 0x62656570:  // configfs
        case BPF_FS_MAGIC:
        case PSTOREFS_MAGIC:
        case 0x19800202:  // mqueue
        case HUGETLBFS_MAGIC:
        case BINFMTFS_MAGIC:
        case AUTOFS_SUPER_MAGIC:
        case 0x65735543:  // fusectl
        case EFIVARFS_MAGIC:
        case SELINUX_MAGIC:
        case SMACK_MAGIC:
        case NSFS_MAGIC:
        case RDTGROUP_SUPER_MAGIC:
        case BINDERFS_SUPER_MAGIC:
        case USBDEVICE_SUPER_MAGIC:
        case OPENPROM_SUPER_MAGIC:
        case AAFS_MAGIC:
        case XENFS_SUPER_MAGIC:
            return true;
        default:
            return false;
    }
}

/// True for a path made of separators only: the root, whatever number of separators spell it.
bool IsRoot(const QString& path) {
    return !path.isEmpty() &&
           std::all_of(path.cbegin(), path.cend(), [](QChar c) { return c == kPathSeparator; });
}

/// The devices on which devtmpfs is mounted, from the mount table; empty when it cannot be read.
std::vector<dev_t> DevtmpfsDevices() {
    std::vector<dev_t> devices;
    QFile table(QStringLiteral("/proc/self/mountinfo"));
    if (!table.open(QIODevice::ReadOnly)) return devices;
    // Each line: id parent major:minor root mount-point options [optional...] - type source ...
    for (const QByteArray& line : table.readAll().split('\n')) {
        const qsizetype dash = line.indexOf(" - ");
        if (dash < 0 || !line.mid(dash + 3).startsWith("devtmpfs ")) continue;
        const QList<QByteArray> fields = line.left(dash).split(' ');
        if (fields.size() < 3) continue;
        const QList<QByteArray> numbers = fields[2].split(':');
        if (numbers.size() != 2) continue;
        devices.push_back(makedev(numbers[0].toUInt(), numbers[1].toUInt()));
    }
    return devices;
}

/// Answers the attribute test, remembering the answer per device: a file system's type is the
/// same for every folder on it, so one statfs per device suffices. Owned by one walk.
class FileSystems {
  public:
    /// The outcome for a folder that exists with device `device` (`root`: the root folder,
    /// which always passes). `statFs(info)` examines the folder's file system, only for a
    /// device not seen before, and gives 0 or the errno; `error` is set (and the folder passes)
    /// when it fails.
    template <typename StatFs>
    bool Passes(bool root, dev_t device, StatFs&& statFs, int& error) {
        error = 0;
        if (root) return true;
        for (const auto& [known, passes] : m_known) {
            if (known == device) return passes;
        }
        struct statfs info;
        error = statFs(info);
        if (error != 0) return true;
        bool passes = !IsVirtualFileSystemType(info.f_type);
        if (passes && static_cast<unsigned long>(info.f_type) == TMPFS_MAGIC) {
            if (!m_devtmpfs) m_devtmpfs = DevtmpfsDevices();
            passes = std::find(m_devtmpfs->begin(), m_devtmpfs->end(), device) == m_devtmpfs->end();
        }
        m_known.emplace_back(device, passes);
        return passes;
    }

    /// Passes for a folder known by its path.
    bool Passes(const QString& path, const QByteArray& native, dev_t device, int& error) {
        return Passes(IsRoot(path), device, [&native](struct statfs& info) {
            return statfs(native.constData(), &info) == 0 ? 0 : errno;
        }, error);
    }

  private:
    std::vector<std::pair<dev_t, bool>> m_known;
    std::optional<std::vector<dev_t>> m_devtmpfs;
};

/// One open descriptor, closed with its owner.
class Descriptor {
  public:
    explicit Descriptor(int fd = -1) : m_fd(fd) {}
    ~Descriptor() { Reset(); }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;

    int Get() const { return m_fd; }
    /// Gives the descriptor up to the caller, who closes it.
    int Release() { return std::exchange(m_fd, -1); }
    void Reset(int fd = -1) {
        if (m_fd >= 0) ::close(m_fd);
        m_fd = fd;
    }

  private:
    int m_fd;
};

/// Where a folder of a level is looked up: by its name in its parent's descriptor, or, for a
/// folder of the caller's own or one whose parent could not be opened, by its whole path.
struct Place {
    int dir = AT_FDCWD;
    QByteArray name;         ///< the name in `dir` (the file system's bytes), or the whole path
    qsizetype pathSize = 0;  ///< of the whole path, in UTF-16 code units
};

/// The parent of a run of siblings in a level (the folders a listing found are filed one
/// parent after another). Its descriptor is opened once for the run, by the parent's whole
/// path, so each run looks the parent up afresh as a look-up by whole path would, and is
/// closed when the next run begins: one descriptor is held, whatever the shape of the tree.
/// O_PATH: a parent that may be searched but not read still serves.
class ParentFolder {
  public:
    /// The place of `node` (a folder found by a listing) below its parent.
    Place PlaceOf(const FolderTree& tree, FolderTree::NodeId node) {
        const FolderTree::NodeId parent = tree.Parent(node);
        if (parent != m_node) {
            m_node = parent;
            const QString path = tree.PathOf(parent);
            m_pathSize = path.size();
            m_fd.Reset(::openat(AT_FDCWD, QFile::encodeName(path).constData(),
                                O_PATH | O_DIRECTORY | O_CLOEXEC));
        }
        const QStringView name = tree.Name(node);
        const qsizetype pathSize = m_pathSize + name.size() + 1;
        // Without the parent's descriptor (gone meanwhile, or no descriptor to be had) the
        // folder is looked up by its whole path, as each one was before descriptors.
        if (m_fd.Get() < 0) return Place{AT_FDCWD, QFile::encodeName(tree.PathOf(node)), pathSize};
        return Place{m_fd.Get(), name.toLocal8Bit(), pathSize};
    }

  private:
    FolderTree::NodeId m_node = FolderTree::kNone;
    Descriptor m_fd;
    qsizetype m_pathSize = 0;
};

/// One folder of a level: a node of the walk's tree. Its whole path is built only where one
/// is needed: to look up a folder of the caller's own or the parent of a run of siblings, for a
/// report, or for the skipped hook.
struct Node {
    FolderTree::NodeId node = FolderTree::kNone;
    bool link = false;  ///< a gathered symbolic link to a folder: listed, never walked
    bool kept = true;   ///< exists as a folder and passes the attribute test
};

/// A node's path as text and as the file system's bytes (for the tests of a walk that is not
/// recursive).
struct NodePath {
    QString path;
    QByteArray native;
};

/// One call of the walk with everything it owns; nothing is shared with other walks.
class Walker {
  public:
    Walker(FolderTree& tree, const WalkHooks& hooks) : m_tree(tree), m_hooks(hooks) {}

    /// The walk of one level. `top` marks the caller's own entries, which stay whatever their
    /// tests say (only their walk depends on them) and are walked even when they are links:
    /// the person chose them, and links below them are still not followed. On return `folders`
    /// holds its entries less those whose listing was refused, then every deeper folder that
    /// passed, level by level. Entries of a level below the top are tested once, here; the level
    /// above then keeps or drops them by `kept`, which on an unchanging disk is what testing them
    /// again would give.
    void Level(std::vector<Node>& folders, bool top, bool recursive);

    bool WasCancelled() const { return m_cancelled; }

  private:
    /// The yield points: polls the caller's cancel flag.
    bool Cancelled() {
        if (!m_cancelled && m_hooks.cancelled && m_hooks.cancelled()) m_cancelled = true;
        return m_cancelled;
    }
    void Report(int error, int line) {
        if (m_hooks.report) m_hooks.report(DescribeError(error), line);
    }
    NodePath PathOf(const Node& node) const {
        NodePath built{m_tree.PathOf(node.node), {}};
        built.native = QFile::encodeName(built.path);
        return built;
    }
    /// Files the usable sub-folders of `folder`, open as `fd` (which it closes; `info` is its
    /// stat), in the tree and appends them to `found`; 0 or the errno of the failure.
    int List(const Node& folder, int fd, const struct stat& info, std::vector<Node>& found);
    /// The tests of step 4 for entries that are not walked themselves (a walk that is not
    /// recursive).
    void TestOnly(std::vector<Node>& found);
    /// Existence test: stat follows links, so a dangling link is no folder.
    static bool Exists(const NodePath& at, struct stat& info) { return IsFolder(at.native, info); }
    /// The attribute test; a link always passes (the link itself lies on its parent's file
    /// system, which passed). Reports a file system that cannot be examined at `line`.
    bool Passes(const Node& node, const NodePath& at, const struct stat& info, int line) {
        if (node.link) return true;
        int error = 0;
        const bool passes = m_fileSystems.Passes(at.path, at.native, info.st_dev, error);
        if (error != 0) Report(error, line);
        return passes;
    }
    /// The attribute test of a folder of a level, at `at`: through `fd` where it is open, else
    /// through its path (built only for a file system not seen before).
    bool Passes(const Node& node, const Place& at, int fd, const struct stat& info, int line) {
        if (node.link) return true;
        const bool root = at.dir == AT_FDCWD && !at.name.isEmpty() &&
                          std::all_of(at.name.cbegin(), at.name.cend(),
                                      [](char c) { return c == '/'; });
        int error = 0;
        const bool passes = m_fileSystems.Passes(
            root, info.st_dev,
            [&](struct statfs& out) {
                if (fd >= 0) return fstatfs(fd, &out) == 0 ? 0 : errno;
                const QByteArray path =
                    at.dir == AT_FDCWD ? at.name : QFile::encodeName(m_tree.PathOf(node.node));
                return statfs(path.constData(), &out) == 0 ? 0 : errno;
            },
            error);
        if (error != 0) Report(error, line);
        return passes;
    }

    FolderTree& m_tree;
    const WalkHooks& m_hooks;
    FileSystems m_fileSystems;
    /// The listings' buffer, one for the whole walk.
    std::vector<char> m_entries;
    bool m_cancelled = false;
};

void Walker::Level(std::vector<Node>& folders, bool top, bool recursive) {
    // 100
    std::vector<Node> found;
    // node -> number of its first entries to drop; one text is one node
    QHash<FolderTree::NodeId, qsizetype> refused;

    // Closed when the level's tests end, before the walk goes a level further down, so the
    // descriptors held do not grow with the depth of the tree.
    auto parent = std::make_unique<ParentFolder>();

    for (Node& folder : folders) {  // 102
        // The caller's own entries by their whole paths; a level below, each by its name in its
        // parent's descriptor.
        const Place at = top ? Place{AT_FDCWD, QFile::encodeName(m_tree.PathOf(folder.node)),
                                     m_tree.PathSize(folder.node)}
                             : parent->PlaceOf(m_tree, folder.node);
        // 106: a path that is too long is not walked; a gathered one still needs its attribute
        // test below, to be kept or dropped by the level above. A gathered link is never walked.
        bool walked = at.pathSize < kLengthBound && !folder.link;
        if (!walked && top) continue;
        // 104, 112: a folder to be walked is opened for listing at once, and the open
        // descriptor answers the existence test; only when it cannot be opened is it looked up
        // again (stat follows links, so a dangling link is no folder) to tell a folder that
        // cannot be listed from one that is not there.
        Descriptor listing;
        int openError = 0;
        if (walked) {
            // Below the caller's own entries a link is never followed: one put where a listed
            // folder was is kept as the link it now is, and not walked.
            const int noFollow = top ? 0 : O_NOFOLLOW;
            listing.Reset(::openat(at.dir, at.name.constData(),
                                   O_RDONLY | O_DIRECTORY | O_CLOEXEC | noFollow));
            if (listing.Get() < 0) openError = errno;
            struct stat self;
            if (!top && (openError == ENOTDIR || openError == ELOOP) &&
                ::fstatat(at.dir, at.name.constData(), &self, AT_SYMLINK_NOFOLLOW) == 0 &&
                S_ISLNK(self.st_mode)) {
                folder.link = true;
                walked = false;
            }
        }
        struct stat info;
        const bool exists = listing.Get() >= 0
                                ? ::fstat(listing.Get(), &info) == 0
                                : ::fstatat(at.dir, at.name.constData(), &info, 0) == 0 &&
                                      S_ISDIR(info.st_mode);
        if (!exists) {  // 104
            folder.kept = false;
            continue;
        }
        if (Cancelled()) return;  // 108
        if (!Passes(folder, at, listing.Get(), info,
                    walked ? kLineAttributeTest : kLineFinalAttributeTest)) {
            folder.kept = false;  // 110
            continue;
        }
        if (!walked) continue;
        const int error =
            listing.Get() >= 0 ? List(folder, listing.Release(), info, found) : openError;  // 112, 114
        if (m_cancelled) return;
        if (error == 0) continue;
        if (DropsTheFolder(error)) {
            ++refused[folder.node];  // 116
        } else {
            // Any other failure keeps the folder; it is reported, so that a tree that was
            // only partly read does not pass for a whole one.
            Report(error, kLineListing);
        }
    }

    parent.reset();

    // 116: dropping the first equal entries all at once keeps this linear in the level.
    if (!refused.isEmpty()) {
        std::vector<Node> remaining;
        remaining.reserve(folders.size());
        for (const Node& folder : folders) {
            auto it = refused.find(folder.node);
            if (it != refused.end() && it.value() > 0) {
                --it.value();
                continue;
            }
            remaining.push_back(folder);
        }
        folders = std::move(remaining);
    }

    if (found.empty()) return;
    if (recursive) {
        Level(found, false, true);  // 118
    } else {
        TestOnly(found);
    }
    if (m_cancelled) return;

    folders.reserve(folders.size() + found.size());
    for (const Node& node : found) {             // 120
        if (node.kept) folders.push_back(node);  // 126
    }
}

void Walker::TestOnly(std::vector<Node>& found) {
    for (Node& node : found) {  // 120
        const NodePath at = PathOf(node);
        struct stat info;
        node.kept = Exists(at, info);  // 122
        if (Cancelled()) return;
        if (node.kept) node.kept = Passes(node, at, info, kLineFinalAttributeTest);  // 124
    }
}

int Walker::List(const Node& folder, int fd, const struct stat& info, std::vector<Node>& found) {
    const Descriptor open(fd);
    // The caller promises a trailing separator; one is added if it is missing, so a child's
    // path never runs into its parent's last name: the children of an open node are filed
    // under the closed node of the same name.
    FolderTree::NodeId parent = folder.node;
    if (m_tree.IsOpen(parent)) {
        parent = m_tree.ChildOrNew(m_tree.Parent(parent), m_tree.Name(parent));
    } else if (parent == FolderTree::kTop) {
        parent = m_tree.ChildOrNew(FolderTree::kTop, QStringView());
    }

    return ForEachEntryOf(fd, m_entries, info.st_blksize, [&](const char* entryName, unsigned char type) {
        const EntryKind kind = KindOf(fd, entryName, type);
        if (kind == EntryKind::NotFolder) return true;
        if (Cancelled()) return false;  // 114
        // A name that is not valid UTF-8 decodes with U+FFFD, which is above 255 and so
        // unusable: such a folder is skipped rather than listed under a name it does not have.
        // Read up to the NUL, not to the end of the declared array: a file system whose names
        // may take more than 255 bytes in UTF-8 (NTFS, CIFS) hands longer ones, and a name cut
        // at 256 bytes would name no folder.
        const QString name = QString::fromUtf8(entryName, -1);
        if (name.size() >= kLengthBound || HasUnusableCharacters(name)) {
            if (m_hooks.skipped) {
                QByteArray path = QFile::encodeName(m_tree.PathOf(folder.node));
                if (!path.endsWith('/')) path += '/';
                m_hooks.skipped(path + QByteArray(entryName) + '/');
            }
            return true;
        }
        found.push_back(
            Node{m_tree.ChildOrNew(parent, name), kind == EntryKind::LinkToFolder, true});
        return true;
    });
}

}  // namespace

bool GetSubDirectories2016(FolderTree& tree, std::vector<FolderTree::NodeId>& folders,
                           bool recursive, const WalkHooks& hooks) {
    std::vector<Node> level;
    level.reserve(folders.size());
    for (const FolderTree::NodeId node : folders) level.push_back(Node{node});

    Walker walker(tree, hooks);
    walker.Level(level, true, recursive);
    // A cancelled walk leaves the caller's list as it was: a half-gathered tree is of no use.
    if (walker.WasCancelled()) return false;

    folders.clear();
    folders.reserve(level.size());
    for (const Node& node : level) folders.push_back(node.node);
    return true;
}

void GetSubDirectories2016(QStringList& folders, bool recursive, const WalkHooks& hooks) {
    FolderTree tree(kPathSeparator);
    std::vector<FolderTree::NodeId> nodes;
    nodes.reserve(static_cast<std::size_t>(folders.size()));
    for (const QString& path : folders) nodes.push_back(tree.Add(path));
    if (!GetSubDirectories2016(tree, nodes, recursive, hooks)) return;

    QStringList result;
    result.reserve(static_cast<qsizetype>(nodes.size()));
    for (const FolderTree::NodeId node : nodes) result.push_back(tree.PathOf(node));
    folders = std::move(result);
}

bool IsExistingFolder(const QString& path) {
    return !path.isEmpty() && IsFolder(QFile::encodeName(path));
}

bool HasUnusableCharacters(const QString& name) {
    // Windows-1252 gives the same answer as Latin-1 here: its extra characters sit at
    // 128 to 159, which are unusable either way, and everything above 255 (including each half
    // of a surrogate pair) cannot be represented and comes back as '?'.
    return std::any_of(name.cbegin(), name.cend(), [](QChar c) {
        const char16_t code = c.unicode();
        return code < 32 || (code >= 127 && code <= 159) || code == u'?' || code > 255;
    });
}

bool PassesAttributeTest(const QString& path) {
    if (IsRoot(path)) return true;
    const QByteArray native = QFile::encodeName(path);
    struct stat info;
    if (stat(native.constData(), &info) != 0) return true;
    int error = 0;
    return FileSystems().Passes(path, native, info.st_dev, error);
}

}  // namespace trellisane
