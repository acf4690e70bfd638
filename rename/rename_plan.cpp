// The prediction of a run: the run's own loop, played on a model of the disk.

#include "rename/rename_plan.h"

#include <fcntl.h>
#include <linux/capability.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <QByteArrayView>
#include <QFile>
#include <QHash>
#include <algorithm>
#include <array>
#include <cerrno>
#include <climits>
#include <cstring>
#include <optional>
#include <unordered_map>

#include "folders/folder_entries.h"
#include "rename/naming_rules.h"
#include "rename/overlay_layers.h"
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

/// Whether `function` holds exactly the plain function `pointer`: a real disk operation, which
/// the plan may then answer in a cheaper way of its own with the same result. A replaced one
/// (a test's) is always asked as it is.
template <typename Signature, typename Pointer>
bool Holds(const std::function<Signature>& function, Pointer pointer) {
    const Pointer* held = function.template target<Pointer>();
    return held != nullptr && *held == pointer;
}

/// A few parent folders held open with O_PATH (searching them is all it takes, so a folder
/// that may be searched but not read works too), so that what stands in one is looked up by
/// its name instead of walking the whole path again. Rows of one parent come together, so
/// four are plenty; the least recently used is closed for a new one.
class ParentDescriptors {
  public:
    ParentDescriptors() = default;
    ~ParentDescriptors() {
        for (const Entry& entry : m_open) {
            if (entry.fd >= 0) ::close(entry.fd);
        }
    }
    ParentDescriptors(const ParentDescriptors&) = delete;
    ParentDescriptors& operator=(const ParentDescriptors&) = delete;

    /// A descriptor of the folder at `parent` (the file system's bytes), or -1 when it cannot
    /// be opened as a folder.
    int Of(QByteArrayView parent) {
        for (Entry& entry : m_open) {
            if (entry.fd >= 0 && QByteArrayView(entry.path) == parent) {
                entry.used = ++m_clock;
                return entry.fd;
            }
        }
        Entry& slot =
            *std::min_element(m_open.begin(), m_open.end(),
                              [](const Entry& a, const Entry& b) { return a.used < b.used; });
        if (slot.fd >= 0) ::close(slot.fd);
        slot.path = parent.toByteArray();
        slot.fd = ::open(slot.path.constData(), O_PATH | O_DIRECTORY | O_CLOEXEC);
        slot.used = ++m_clock;
        return slot.fd;
    }

  private:
    struct Entry {
        QByteArray path;
        int fd = -1;
        quint64 used = 0;
    };
    std::array<Entry, 4> m_open;
    quint64 m_clock = 0;
};

/// A path split for a look-up by name in its parent's descriptor: the parent's descriptor and
/// the name, in the path's own encoding.
struct InParent {
    int parent = -1;
    QByteArray encoded;  ///< the whole path, the file system's bytes
    qsizetype nameAt = 0;

    const char* Name() const { return encoded.constData() + nameAt; }
};

/// `path` split as InParent, or nothing where a descriptor cannot answer exactly as a look-up of
/// the whole path would (no parent, a parent that cannot be opened, "." or "..", a path too long
/// for the kernel, an empty path).
std::optional<InParent> SplitInParent(ParentDescriptors& parents, const QString& path) {
    if (path.isEmpty()) return std::nullopt;
    InParent split;
    split.encoded = QFile::encodeName(path);
    const qsizetype slash = split.encoded.lastIndexOf('/');
    if (slash <= 0 || slash + 1 >= split.encoded.size() || split.encoded.size() >= PATH_MAX ||
        split.encoded.contains('\0')) {
        return std::nullopt;
    }
    split.nameAt = slash + 1;
    if (std::strcmp(split.Name(), ".") == 0 || std::strcmp(split.Name(), "..") == 0) {
        return std::nullopt;
    }
    split.parent = parents.Of(QByteArrayView(split.encoded.constData(), slash));
    if (split.parent < 0) return std::nullopt;
    return split;
}

/// ExamineEntry's answer for `path`, found by name in its parent's descriptor where
/// SplitInParent allows, else by the whole path.
EntryState ExamineInParent(ParentDescriptors& parents, const QString& path) {
    const std::optional<InParent> split = SplitInParent(parents, path);
    if (!split) return ExamineEntry(path);
    EntryState state;
    struct stat status {};
    if (::fstatat(split->parent, split->Name(), &status, AT_SYMLINK_NOFOLLOW) != 0) {
        state.error = errno;
        return state;
    }
    state = EntryStateOf(status);
    if (state.kind == Occupant::Link) {
        struct stat target {};
        state.linkToFolder =
            ::fstatat(split->parent, split->Name(), &target, 0) == 0 && S_ISDIR(target.st_mode);
    }
    return state;
}

/// LookAtEntry's answer for `path`, found by name in its parent's descriptor where
/// SplitInParent allows, else by the whole path.
EntryLook LookInParent(ParentDescriptors& parents, const QString& path) {
    const std::optional<InParent> split = SplitInParent(parents, path);
    if (!split) return LookAtEntry(path);
    return LookAtEntryIn(split->parent, split->Name(), path);
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
        : m_platform(platform),
          m_foldCase(foldCase),
          m_fowner(HoldsFowner()),
          m_euid(::geteuid()),
          m_realExamine(Holds(platform.examine, &ExamineEntry)),
          m_systemRefusal(platform.refuse.target<SystemRefusal>()),
          m_realNamingRules(Holds(platform.refuseName, &NamingRuleRefusalAt)),
          m_realOverlays(Holds(platform.overlayVerdict, &OverlayRenameVerdict)) {
        m_nodes.push_back(Node{QString(), true});  // the root, above the first separator
    }

    EntryState Examine(const QString& path) override {
        // The run examines a row's folder and then renames it: the second look is remembered.
        if (path == m_lastPath) return m_lastState;
        const std::optional<QString> real = RealPath(path);
        m_lastPath = path;
        if (!real) {
            m_lastState = EntryState{ENOENT};
        } else if (m_realExamine) {
            m_lastState = ExamineInParent(m_parents, *real);
        } else {
            m_lastState = m_platform.examine(*real);
        }
        return m_lastState;
    }

    std::optional<QString> Refuse(const QString& oldPath) override {
        if (!m_platform.refuse) return std::nullopt;
        // Judged where the folder is on the real disk now, which is where the run finds it.
        const QString from = WithoutSeparator(oldPath);
        const std::optional<QString> real = RealPath(from);
        if (m_systemRefusal == nullptr || !m_realExamine || !real ||
            WithoutTrailingSeparators(*real) != *real) {
            return m_platform.refuse(real.value_or(oldPath));
        }
        // One look answers the check and then Examine, which the run asks next.
        const EntryLook look = LookInParent(m_parents, *real);
        m_lastPath = from;
        m_lastState = look.entry;
        return m_systemRefusal->Judge(*real, look);
    }

    std::optional<QString> RefuseName(const QString& from, const QString& to) override {
        if (!m_platform.refuseName) return std::nullopt;
        // Judged on the real disk where the parent is now: the file system does not move.
        const qsizetype nameStart = from.lastIndexOf(kSeparator) + 1;
        QString parent = RealPath(from.left(nameStart - 1)).value_or(from.left(nameStart - 1));
        if (parent.isEmpty()) parent = QStringLiteral("/");
        if (!m_realNamingRules) return m_platform.refuseName(parent, to.mid(nameStart));
        // The rules are the file system's: read once for the rows of one parent.
        if (!m_rulesKnown || parent != m_rulesParent) {
            m_rules = NamingRulesAt(parent);
            m_rulesParent = parent;
            m_rulesKnown = true;
        }
        if (!m_rules) return std::nullopt;
        return NamingRuleRefusal(*m_rules, QStringView(to).mid(nameStart));
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
        const QString parentReal = parent->isEmpty() ? QStringLiteral("/") : *parent;
        const ParentFacts facts = FactsOf(parentReal);
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
        if (m_platform.overlayVerdict && OverlayMayMatter(parentReal, folder, facts)) {
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
        // The remembered parent itself.
        if (m_parentKnown && path == m_parentPath) return m_parentReal;
        // The rows of one parent come together and ask about it several times each: the
        // parent is resolved once, and each row's own name looked up below it.
        const qsizetype slash = path.lastIndexOf(kSeparator);
        // Only the plain case: a name after a parent that does not end with the separator.
        if (slash > 0 && slash + 1 < path.size() && path[slash - 1] != kSeparator) {
            const QStringView parent = QStringView(path).left(slash);
            if (!m_parentKnown || parent != QStringView(m_parentPath)) {
                m_parentPath = parent.toString();
                m_parentNode = -1;
                m_parentReal = ResolveWhole(m_parentPath, m_parentNode);
                m_parentKnown = true;
            }
            if (!m_parentReal) return std::nullopt;
            const QStringView name = QStringView(path).mid(slash + 1);
            if (m_parentNode >= 0) {
                if (const std::optional<qint32> child = Child(m_parentNode, name)) {
                    if (!m_nodes[*child].present) return std::nullopt;
                    return m_nodes[*child].real;
                }
            }
            QString real;
            real.reserve(m_parentReal->size() + 1 + name.size());
            real.append(*m_parentReal).append(kSeparator).append(name);
            return real;
        }
        qint32 unused = -1;
        return ResolveWhole(path, unused);
    }

    /// RealPath without the parent's memory; `node` receives the node the whole path ends on,
    /// or -1 when it leaves the model's nodes before its end.
    std::optional<QString> ResolveWhole(const QString& path, qint32& node) const {
        node = 0;
        qsizetype start = path.startsWith(kSeparator) ? 1 : 0;
        while (start < path.size()) {
            qsizetype end = path.indexOf(kSeparator, start);
            if (end < 0) end = path.size();
            const std::optional<qint32> child =
                Child(node, QStringView(path).mid(start, end - start));
            if (!child) {
                QString real = m_nodes[node].real + kSeparator + path.mid(start);
                node = -1;
                return real;
            }
            node = *child;
            if (!m_nodes[node].present) {
                node = -1;
                return std::nullopt;
            }
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
            node = ChildOrNew(node, QStringView(path).mid(start, end - start));
            start = end + 1;
        }
        return node;
    }

    /// The child of `node` named `name`, made where missing.
    qint32 ChildOrNew(qint32 node, QStringView name) {
        if (const std::optional<qint32> child = Child(node, name)) return *child;
        const auto made = static_cast<qint32>(m_nodes.size());
        m_nodes.push_back(Node{m_nodes[node].real + kSeparator + name.toString(), true});
        m_edges.emplace(Edge{node, Key(name)}, made);
        return made;
    }

    /// Files the folder at `from` under the new name of `to` in the same parent; its old name
    /// is left holding nothing. O(depth).
    void Move(const QString& from, qsizetype nameStart, const QString& to) {
        m_lastPath.clear();
        const QString parentPath = from.left(nameStart - 1);
        // The parent RealPath has just resolved is that node already.
        const bool remembered = m_parentKnown && m_parentNode >= 0 && m_parentPath == parentPath;
        const qint32 parent = remembered ? m_parentNode : NodeOf(parentPath);
        // The remembered parent: when it is the folder's parent, it is now that node (whose
        // children change); below it (through the old name or the new one) it may resolve
        // elsewhere; under folded case other spellings reach it too, so it is forgotten.
        if (m_foldCase || (m_parentPath.size() > parentPath.size() &&
                           m_parentPath.startsWith(QStringView(from).left(nameStart)))) {
            m_parentKnown = false;
        } else if (m_parentKnown && m_parentPath == parentPath) {
            m_parentNode = parent;
        }
        const bool plain = parentPath.isEmpty() || !parentPath.endsWith(kSeparator);
        const qint32 folder =
            plain ? ChildOrNew(parent, QStringView(from).mid(nameStart)) : NodeOf(from);
        const QString oldKey = Key(QStringView(from).mid(nameStart));
        const QString newKey = Key(QStringView(to).mid(nameStart));
        if (oldKey == newKey) return;  // a case-only change where case is ignored
        const auto left = static_cast<qint32>(m_nodes.size());
        m_nodes.push_back(Node{QString(), false});
        m_edges.insert_or_assign(Edge{parent, oldKey}, left);
        m_edges.insert_or_assign(Edge{parent, newKey}, folder);
    }

    ParentFacts FactsOf(const QString& parent) {
        if (m_lastFactsKnown && parent == m_lastFactsParent) return m_lastFacts;
        auto it = m_facts.find(parent);
        if (it == m_facts.end()) it = m_facts.insert(parent, ReadParentFacts(parent));
        m_lastFactsParent = parent;
        m_lastFacts = *it;
        m_lastFactsKnown = true;
        return m_lastFacts;
    }

    /// Whether the overlay verdict must be asked for a folder in `parent`: always for a
    /// replaced verdict; for the real one only where the parent lies on an overlay, or the
    /// folder on another device than its parent (no overlay shares its device with another
    /// file system), since a folder that is no mount point lies on its parent's mount.
    bool OverlayMayMatter(const QString& parent, const EntryState& folder,
                          const ParentFacts& facts) {
        if (!m_realOverlays || folder.device != facts.device) return true;
        if (!m_overlayKnown || parent != m_overlayParent) {
            const std::optional<MountFacts> mount = MountOf(parent);
            m_overlayParent = parent;
            m_parentOnOverlay = !mount || mount->type == u"overlay";
            m_overlayKnown = true;
        }
        return m_parentOnOverlay;
    }

    const RenamePlatform& m_platform;
    const bool m_foldCase;
    const bool m_fowner;
    const uid_t m_euid;
    std::vector<Node> m_nodes;
    std::unordered_map<Edge, qint32, EdgeHash, EdgeEqual> m_edges;
    QHash<QString, ParentFacts> m_facts;
    QString m_lastFactsParent;
    ParentFacts m_lastFacts;
    bool m_lastFactsKnown = false;
    QHash<QString, QString> m_cautions;
    const bool m_realExamine;
    const SystemRefusal* const m_systemRefusal;
    const bool m_realNamingRules;
    const bool m_realOverlays;
    ParentDescriptors m_parents;
    QString m_rulesParent;
    std::optional<NamingRules> m_rules;
    bool m_rulesKnown = false;
    QString m_overlayParent;
    bool m_parentOnOverlay = true;
    bool m_overlayKnown = false;
    QString m_lastPath;
    EntryState m_lastState;
    // RealPath's memory of the last parent asked about: its model path, the node it ends on
    // (-1: below the nodes), and its real path (nothing: moved away).
    mutable bool m_parentKnown = false;
    mutable QString m_parentPath;
    mutable qint32 m_parentNode = -1;
    mutable std::optional<QString> m_parentReal;
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
    // The plan changes nothing, so the real paths it resolves hold for all of it.
    const RealPathSnapshot snapshot;
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
