// The prediction of a run: the run's own loop, played on a model of the disk.

#include "rename/rename_plan.h"

#include <fcntl.h>
#include <linux/capability.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <QFile>
#include <QHash>
#include <cerrno>
#include <climits>
#include <optional>
#include <unordered_map>

#include "rename/path_index.h"
#include "rename/run_player.h"

namespace trellisane {

namespace {

constexpr QChar kSeparator = kPathSeparator;

/// Whether this process may ignore the sticky bit of a folder it does not own.
bool HoldsFowner() {
    __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct data[_LINUX_CAPABILITY_U32S_3] = {};
    if (::syscall(SYS_capget, &header, data) != 0) return ::geteuid() == 0;
    return (data[0].effective & (1u << CAP_FOWNER)) != 0;
}

/// What a rename in one parent folder depends on, read once per folder.
struct ParentFacts {
    int writeError = 0;     ///< 0 when entries may be renamed in it, else errno
    bool readOnly = false;  ///< on a file system mounted read-only
    bool sticky = false;
    uid_t owner = 0;
    dev_t device = 0;
    long nameMax = -1;  ///< the longest name in bytes; -1 for no limit
};

ParentFacts ReadParentFacts(const QString& parent) {
    ParentFacts facts;
    const QByteArray encoded = QFile::encodeName(parent);
    struct stat status {};
    if (::stat(encoded.constData(), &status) == 0) {
        facts.sticky = (status.st_mode & S_ISVTX) != 0;
        facts.owner = status.st_uid;
        facts.device = status.st_dev;
    }
    struct statvfs system {};
    facts.readOnly = ::statvfs(encoded.constData(), &system) == 0 && (system.f_flag & ST_RDONLY);
    if (::faccessat(AT_FDCWD, encoded.constData(), W_OK | X_OK, AT_EACCESS) != 0) {
        facts.writeError = errno;
    }
    errno = 0;
    facts.nameMax = ::pathconf(encoded.constData(), _PC_NAME_MAX);
    return facts;
}

/// The disk as the run would leave it row by row, without touching it: the real disk seen
/// through the renames played so far. The folders the run touches form a tree of nodes, each
/// child found under its parent by name (case-folded where the file system ignores case); a
/// node knows where its folder lies on the real disk, or that the run has moved away what
/// stood there. A path below the deepest node reached lies on the real disk as it is. A
/// rename re-files one node under its new name, so the folders inside it follow for nothing.
class ModelDisk : public RunDisk {
  public:
    ModelDisk(const RenamePlatform& platform, bool foldCase)
        : m_platform(platform), m_foldCase(foldCase), m_fowner(HoldsFowner()), m_euid(::geteuid()) {
        m_nodes.push_back(Node{QString(), true});  // the root, above the first separator
    }

    EntryState Examine(const QString& path) override {
        // The run examines a row's folder and then renames it: the second look is remembered.
        if (path == m_lastPath) return m_lastState;
        const std::optional<QString> real = RealPath(path);
        m_lastPath = path;
        m_lastState = real ? m_platform.examine(*real) : EntryState{ENOENT};
        return m_lastState;
    }

    std::optional<QString> Refuse(const QString& oldPath) override {
        if (!m_platform.refuse) return std::nullopt;
        // Judged where the folder is on the real disk now, which is where the run finds it.
        return m_platform.refuse(RealPath(WithoutSeparator(oldPath)).value_or(oldPath));
    }

    std::optional<QString> RefuseName(const QString& from, const QString& to) override {
        if (!m_platform.refuseName) return std::nullopt;
        // Judged on the real disk where the parent is now: the file system does not move.
        const qsizetype nameStart = from.lastIndexOf(kSeparator) + 1;
        const QString parent =
            RealPath(from.left(nameStart - 1)).value_or(from.left(nameStart - 1));
        return m_platform.refuseName(parent.isEmpty() ? QStringLiteral("/") : parent,
                                     to.mid(nameStart));
    }

    FolderRenameResult Rename(const QString& from, const QString& to) override {
        // The checks in the order the kernel makes them, so that the error predicted is the
        // one the run meets first.
        const EntryState folder = Examine(from);
        if (!folder.IsFolder()) return {folder.error != 0 ? folder.error : ENOTDIR, {}};
        if (QFile::encodeName(to).size() >= PATH_MAX) return {ENAMETOOLONG, {}};
        const qsizetype nameStart = from.lastIndexOf(kSeparator) + 1;
        const std::optional<QString> parent = RealPath(from.left(nameStart - 1));
        if (!parent) return {ENOENT, {}};
        const ParentFacts& facts = FactsOf(parent->isEmpty() ? QStringLiteral("/") : *parent);
        if (facts.readOnly) return {EROFS, {}};
        const QStringView newName = QStringView(to).mid(nameStart);
        if (facts.nameMax >= 0 && newName.toUtf8().size() > facts.nameMax) {
            return {ENAMETOOLONG, {}};
        }
        const EntryState target = Examine(to);
        const QStringView oldName = QStringView(from).mid(nameStart);
        if (target.error == 0 && Key(oldName) != Key(newName) && !SameFolder(from, to)) {
            return {EEXIST, {}};
        }
        if (target.error != 0 && target.error != ENOENT) return {target.error, {}};
        if (facts.writeError != 0) return {facts.writeError, {}};
        if (facts.sticky && !m_fowner && m_euid != facts.owner && m_euid != folder.owner) {
            return {EPERM, {}};
        }
        if (folder.kind == Occupant::Folder && folder.device != facts.device) return {EBUSY, {}};
        if (m_platform.overlayVerdict) {
            const OverlayVerdict verdict = m_platform.overlayVerdict(RealPath(from).value_or(from));
            if (verdict.kind != OverlayVerdict::Kind::Moves)
                m_cautions.insert(from, verdict.reason);
            if (verdict.kind == OverlayVerdict::Kind::Fails) return {EXDEV, {}};
        }
        Move(from, nameStart, to);
        return {0, {}};
    }

    /// Why the rename of the folder at a model path (no trailing separator) fails or may
    /// fail where the file system's layers decide, or "".
    QString CautionFor(const QString& path) const { return m_cautions.value(path); }

  private:
    struct Node {
        QString real;  ///< where the folder lies on the real disk, without trailing separator
        bool present;  ///< false: the run has moved away what stood here
    };

    /// A child of one node, by name; stored with its own copy of the name.
    struct Edge {
        qint32 parent;
        QString name;
    };
    struct EdgeView {
        qint32 parent;
        QStringView name;
    };
    struct EdgeHash {
        using is_transparent = void;
        size_t operator()(const Edge& e) const { return (*this)(EdgeView{e.parent, e.name}); }
        size_t operator()(const EdgeView& e) const {
            return qHash(e.name) ^ (static_cast<size_t>(e.parent) * 0x9e3779b97f4a7c15ULL);
        }
    };
    struct EdgeEqual {
        using is_transparent = void;
        template <typename A, typename B>
        bool operator()(const A& a, const B& b) const {
            return a.parent == b.parent && QStringView(a.name) == QStringView(b.name);
        }
    };

    /// Whether the model's `to`, which is there, is the folder at `from` under another
    /// spelling of its name: decided on the real disk, as the run decides it.
    bool SameFolder(const QString& from, const QString& to) const {
        if (!m_platform.sameEntry) return false;
        const std::optional<QString> realFrom = RealPath(from);
        const std::optional<QString> realTo = RealPath(to);
        return realFrom && realTo && m_platform.sameEntry(*realFrom, *realTo);
    }

    /// The name as nodes are filed under it.
    QString Key(QStringView name) const {
        return m_foldCase ? name.toString().toCaseFolded() : name.toString();
    }

    std::optional<qint32> Child(qint32 node, QStringView name) const {
        const auto it = m_foldCase ? m_edges.find(EdgeView{node, QString(Key(name))})
                                   : m_edges.find(EdgeView{node, name});
        if (it == m_edges.end()) return std::nullopt;
        return it->second;
    }

    /// Where the model's `path` (no trailing separator) lies on the real disk, or nothing when
    /// the run has moved away what stood there. O(depth) hash look-ups.
    std::optional<QString> RealPath(const QString& path) const {
        if (m_edges.empty()) return path;
        qint32 node = 0;
        qsizetype start = path.startsWith(kSeparator) ? 1 : 0;
        while (start < path.size()) {
            qsizetype end = path.indexOf(kSeparator, start);
            if (end < 0) end = path.size();
            const std::optional<qint32> child =
                Child(node, QStringView(path).mid(start, end - start));
            if (!child) return m_nodes[node].real + kSeparator + path.mid(start);
            node = *child;
            if (!m_nodes[node].present) return std::nullopt;
            start = end + 1;
        }
        return m_nodes[node].real;
    }

    /// The node of `path` (no trailing separator), made along the way where missing. The path
    /// names an entry that is there.
    qint32 NodeOf(const QString& path) {
        qint32 node = 0;
        qsizetype start = path.startsWith(kSeparator) ? 1 : 0;
        while (start < path.size()) {
            qsizetype end = path.indexOf(kSeparator, start);
            if (end < 0) end = path.size();
            const QStringView name = QStringView(path).mid(start, end - start);
            if (const std::optional<qint32> child = Child(node, name)) {
                node = *child;
            } else {
                const auto made = static_cast<qint32>(m_nodes.size());
                m_nodes.push_back(Node{m_nodes[node].real + kSeparator + name.toString(), true});
                m_edges.emplace(Edge{node, Key(name)}, made);
                node = made;
            }
            start = end + 1;
        }
        return node;
    }

    /// Files the folder at `from` under the new name of `to` in the same parent; its old name
    /// is left holding nothing. O(depth).
    void Move(const QString& from, qsizetype nameStart, const QString& to) {
        m_lastPath.clear();
        const qint32 parent = NodeOf(from.left(nameStart - 1));
        const qint32 folder = NodeOf(from);
        const QString oldKey = Key(QStringView(from).mid(nameStart));
        const QString newKey = Key(QStringView(to).mid(nameStart));
        if (oldKey == newKey) return;  // a case-only change where case is ignored
        const auto left = static_cast<qint32>(m_nodes.size());
        m_nodes.push_back(Node{QString(), false});
        m_edges.insert_or_assign(Edge{parent, oldKey}, left);
        m_edges.insert_or_assign(Edge{parent, newKey}, folder);
    }

    const ParentFacts& FactsOf(const QString& parent) {
        auto it = m_facts.find(parent);
        if (it == m_facts.end()) it = m_facts.insert(parent, ReadParentFacts(parent));
        return *it;
    }

    const RenamePlatform& m_platform;
    const bool m_foldCase;
    const bool m_fowner;
    const uid_t m_euid;
    std::vector<Node> m_nodes;
    std::unordered_map<Edge, qint32, EdgeHash, EdgeEqual> m_edges;
    QHash<QString, ParentFacts> m_facts;
    QHash<QString, QString> m_cautions;
    QString m_lastPath;
    EntryState m_lastState;
};

/// Whether every row's parent lies where names are compared without regard to case; asks
/// until the first that does not.
bool AllFoldCase(const std::vector<FolderRow>& rows, const RenamePlatform& platform) {
    if (rows.empty() || !platform.foldsCase) return false;
    QHash<QString, bool> asked;
    for (const FolderRow& row : rows) {
        const QString path = WithoutSeparator(row.current);
        const QString parent = path.left(path.lastIndexOf(kSeparator) + 1);
        if (parent.isEmpty() || asked.contains(parent)) continue;
        asked.insert(parent, true);
        if (!platform.foldsCase(parent)) return false;
    }
    return !asked.isEmpty();
}

}  // namespace

RenamePlan PlanRenames(const std::vector<FolderRow>& rows, const RenamePlatform& platform,
                       const std::atomic<bool>* cancel) {
    RenamePlan plan;
    // A list spread over file systems that differ in this is modelled with exact names.
    ModelDisk disk(platform, AllFoldCase(rows, platform));
    std::vector<FolderRow> played = rows;
    RenameRun run = PlayRun(played, disk, {}, cancel);
    if (run.outcomes.size() != rows.size()) {
        plan.cancelled = true;
        return plan;
    }
    plan.fates.reserve(rows.size());
    plan.finalPaths.reserve(rows.size());
    for (size_t i = 0; i < rows.size(); ++i) {
        plan.fates.push_back(run.outcomes[i].fate);
        RowFate& fate = plan.fates.back();
        const QString caution = disk.CautionFor(WithoutSeparator(run.outcomes[i].oldPath));
        if (!caution.isEmpty() && fate.status == RowStatus::Renamed) {
            fate.status = RowStatus::MayFail;
            fate.detail = caution;
        } else if (!caution.isEmpty() && fate.status == RowStatus::Failed && fate.error == EXDEV) {
            fate.detail = caution;
        }
        plan.finalPaths.push_back(WithSeparator(played[i].current));
    }
    return plan;
}

}  // namespace trellisane
