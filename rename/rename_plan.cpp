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
#include <map>
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

struct ViewHash {
    using is_transparent = void;
    size_t operator()(QStringView key) const { return qHash(key); }
};
struct ViewEqual {
    using is_transparent = void;
    bool operator()(QStringView a, QStringView b) const { return a == b; }
};

/// The disk as the run would leave it row by row, without touching it: the real disk seen
/// through the renames played so far. Each folder moved is recorded under the path it now has
/// (holding the path it has on the real disk), each place left under its path (holding
/// nothing); a path is found by its longest recorded ancestor. Paths end with the separator
/// here; keys are case-folded where the file system ignores case.
class ModelDisk : public RunDisk {
  public:
    ModelDisk(const RenamePlatform& platform, bool foldCase)
        : m_platform(platform),
          m_foldCase(foldCase),
          m_fowner(HoldsFowner()),
          m_euid(::geteuid()) {}

    EntryState Examine(const QString& path) override {
        // The run examines a row's folder and then renames it: the second look is remembered.
        if (path == m_lastPath) return m_lastState;
        const std::optional<QString> real = RealPath(path + kSeparator);
        m_lastPath = path;
        m_lastState = real ? m_platform.examine(WithoutSeparator(*real)) : EntryState{ENOENT};
        return m_lastState;
    }

    std::optional<QString> Refuse(const QString& oldPath) override {
        if (!m_platform.refuse) return std::nullopt;
        // Judged where the folder is on the real disk now, which is where the run finds it.
        return m_platform.refuse(RealPath(WithSeparator(oldPath)).value_or(oldPath));
    }

    FolderRenameResult Rename(const QString& from, const QString& to) override {
        // The checks in the order the kernel makes them, so that the error predicted is the
        // one the run meets first.
        const EntryState folder = Examine(from);
        if (!folder.IsFolder()) return {folder.error != 0 ? folder.error : ENOTDIR, {}};
        if (QFile::encodeName(to).size() >= PATH_MAX) return {ENAMETOOLONG, {}};
        const qsizetype nameStart = from.lastIndexOf(kSeparator) + 1;
        const std::optional<QString> parent = RealPath(from.left(nameStart));
        if (!parent) return {ENOENT, {}};
        const ParentFacts& facts = FactsOf(*parent);
        if (facts.readOnly) return {EROFS, {}};
        if (facts.nameMax >= 0 && QFile::encodeName(to.mid(nameStart)).size() > facts.nameMax) {
            return {ENAMETOOLONG, {}};
        }
        const EntryState target = Examine(to);
        const bool sameEntry = Key(from + kSeparator) == Key(to + kSeparator);
        if (target.error == 0 && !sameEntry) return {EEXIST, {}};
        if (target.error != 0 && target.error != ENOENT) return {target.error, {}};
        if (facts.writeError != 0) return {facts.writeError, {}};
        if (facts.sticky && !m_fowner && m_euid != facts.owner && m_euid != folder.owner) {
            return {EPERM, {}};
        }
        if (folder.kind == Occupant::Folder && folder.device != facts.device) return {EBUSY, {}};
        Move(from + kSeparator, to + kSeparator);
        return {0, {}};
    }

  private:
    struct Place {
        bool present = false;
        QString real;  ///< where the folder is on the real disk, when present
    };
    using Places = std::unordered_map<QString, Place, ViewHash, ViewEqual>;

    QString Key(const QString& path) const { return m_foldCase ? path.toCaseFolded() : path; }

    /// Where the model's `path` lies on the real disk, or nothing when the run has moved away
    /// what stood there. O(depth) hash look-ups.
    std::optional<QString> RealPath(const QString& path) const {
        if (m_places.empty()) return path;
        const QString key = Key(path);
        for (qsizetype end = key.size(); end > 0; end = key.lastIndexOf(kSeparator, end - 2) + 1) {
            const auto it = m_places.find(QStringView(key).left(end));
            if (it != m_places.end()) {
                if (!it->second.present) return std::nullopt;
                return it->second.real + path.mid(end);
            }
            if (end == 1) break;
        }
        return path;
    }

    /// Records the move of the folder at `from` to `to` (both ending with the separator), with
    /// every recorded place below it. O((k + 1) log n) for k places below.
    void Move(const QString& from, const QString& to) {
        m_lastPath.clear();
        const std::optional<QString> real = RealPath(from);
        if (!real) return;
        const QString fromKey = Key(from);
        const QString toKey = Key(to);
        if (fromKey != toKey) {
            std::vector<std::pair<QString, Place>> below;
            for (auto it = m_sorted.upper_bound(fromKey);
                 it != m_sorted.end() && it->first.startsWith(fromKey);) {
                below.emplace_back(toKey + it->first.mid(fromKey.size()),
                                   std::move(m_places.find(it->first)->second));
                m_places.erase(m_places.find(it->first));
                it = m_sorted.erase(it);
            }
            for (auto& [key, place] : below) Record(key, std::move(place));
            Record(fromKey, Place{false, {}});
        }
        Record(toKey, Place{true, *real});
    }

    void Record(const QString& key, Place place) {
        m_places.insert_or_assign(key, std::move(place));
        m_sorted.insert_or_assign(key, true);
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
    Places m_places;
    std::map<QString, bool> m_sorted;  ///< the keys of m_places, for the places below a folder
    QHash<QString, ParentFacts> m_facts;
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
        plan.finalPaths.push_back(WithSeparator(played[i].current));
    }
    return plan;
}

}  // namespace trellisane
