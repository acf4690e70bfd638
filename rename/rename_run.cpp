#include "rename/rename_run.h"

#include <algorithm>
#include <chrono>
#include <memory>

#include "folders/folder_list.h"
#include "folders/path_separator.h"
#include "rename/path_index.h"
#include "rename/run_player.h"

namespace trellisane {

namespace {

/// Whether `function` holds exactly the plain function `pointer`: a real disk operation, which
/// the run may then answer in a cheaper way of its own with the same result.
template <typename Signature, typename Pointer>
bool Holds(const std::function<Signature>& function, Pointer pointer) {
    const Pointer* held = function.template target<Pointer>();
    return held != nullptr && *held == pointer;
}

/// The real disk, through the operations of one platform, for a run over `rows`.
///
/// Where the platform's operations are the real ones, a row's folder is looked at once
/// (LookAtEntry) for the system folders' check, for what stands there and for the mount whose
/// naming rules apply, and a parent's naming rules are read once for its rows (which come
/// together): kept while its rows' folders lie on the mount the rules were read for, and for a
/// second at most, as NamingRulesAt keeps them. Nothing else is kept from one row to the next,
/// so what another program changes meanwhile is met as before.
class PlatformDisk : public RunDisk {
  public:
    PlatformDisk(const RenamePlatform& platform, const std::vector<FolderRow>& rows)
        : m_platform(platform),
          m_rows(rows),
          m_systemRefusal(platform.refuse.target<SystemRefusal>()),
          m_realExamine(Holds(platform.examine, &ExamineEntry)),
          m_realNamingRules(Holds(platform.refuseName, &NamingRuleRefusalAt)),
          // A second thread only where nothing needs to see the renames one by one, and every
          // operation is the real one, safe to call from two threads at once.
          m_twins(platform.observers.empty() && Holds(platform.renameNoReplace, &RenameNoReplace) &&
                  Holds(platform.sameEntry, &SameEntry) && m_realExamine &&
                  (!platform.refuse || m_systemRefusal != nullptr) &&
                  (!platform.refuseName || m_realNamingRules)) {}

    std::unique_ptr<RunDisk> Twin() override {
        if (!m_twins) return nullptr;
        return std::make_unique<PlatformDisk>(m_platform, m_rows);
    }

    std::optional<FolderIdentity> ParentIdentity(const QString& parent) override {
        if (!m_twins) return std::nullopt;
        return PlainFolderIdentity(parent);
    }

    EntryState Examine(const QString& path) override {
        if (m_looked && path == m_lookedAt) return m_look.entry;
        return m_platform.examine(path);
    }

    std::optional<QString> Refuse(const QString& oldPath) override {
        m_looked = false;
        if (m_systemRefusal == nullptr) {
            return m_platform.refuse ? m_platform.refuse(oldPath) : std::nullopt;
        }
        m_lookedAt = WithoutTrailingSeparators(oldPath);
        m_look = LookAtEntry(m_lookedAt);
        // The look answers Examine only where the platform examines the real disk.
        m_looked = m_realExamine;
        return m_systemRefusal->Judge(oldPath, m_look);
    }

    std::optional<QString> RefuseName(const QString& from, const QString& to) override {
        if (!m_platform.refuseName) return std::nullopt;
        // `to` lies in the parent of `from`.
        const PathSplit split = SplitPath(from);
        const QStringView name = SplitPath(to).name;
        if (!m_realNamingRules || !m_looked || from != m_lookedAt || !m_look.mount.known ||
            m_look.mount.mountRoot) {
            return m_platform.refuseName(split.parent, name.toString());
        }
        // The folder lies on its parent's mount: the rules read for the parent hold while
        // the rows of that parent lie on the same mount.
        const auto now = std::chrono::steady_clock::now();
        if (!m_rulesKnown || split.parent != m_rulesParent ||
            m_look.mount.mountId != m_rulesMount || now - m_rulesRead >= std::chrono::seconds(1)) {
            m_rules = NamingRulesAt(split.parent);
            m_rulesParent = split.parent;
            m_rulesMount = m_look.mount.mountId;
            m_rulesRead = now;
            m_rulesKnown = true;
        }
        if (!m_rules) return std::nullopt;
        return NamingRuleRefusal(*m_rules, name);
    }

    FolderRenameResult Rename(const QString& from, const QString& to) override {
        m_looked = false;  // the disk changes now
        const int refused = TellAboutToRename(m_platform, m_rows, from, to);
        if (refused != 0) return FolderRenameResult{refused, {}};
        FolderRenameResult result = RenameFolder(from, to, m_platform);
        TellRenamed(m_platform, from, to, result);
        return result;
    }

  private:
    const RenamePlatform& m_platform;
    const std::vector<FolderRow>& m_rows;
    const SystemRefusal* const m_systemRefusal;
    const bool m_realExamine;
    const bool m_realNamingRules;
    const bool m_twins;
    // The look at the row's folder made for its system folders' check.
    bool m_looked = false;
    QString m_lookedAt;
    EntryLook m_look;
    // The naming rules of the last parent asked about.
    bool m_rulesKnown = false;
    QString m_rulesParent;
    quint64 m_rulesMount = 0;
    std::chrono::steady_clock::time_point m_rulesRead;
    std::optional<NamingRules> m_rules;
};

}  // namespace

QString RowOutcome::NewName() const { return NewNameOf(oldPath, newPath); }

QString RowOutcome::Report() const {
    return DescribeFailure(fate, WithoutSeparator(oldPath), NewName());
}

RenameRun ApplyRenames(FolderList& list, const std::function<void(const RowOutcome&)>& onFailure) {
    return ApplyRenames(list, onFailure, DefaultRenamePlatform());
}

RenameRun ApplyRenames(FolderList& list, const std::function<void(const RowOutcome&)>& onFailure,
                       const RenamePlatform& platform, const RunControl& control) {
    std::vector<FolderRow> rows = list.Rows();
    RenameRun run = ApplyRenames(rows, onFailure, platform, control);
    AdoptRows(list, rows);
    return run;
}

RenameRun ApplyRenames(std::vector<FolderRow>& rows,
                       const std::function<void(const RowOutcome&)>& onFailure,
                       const RenamePlatform& platform, const RunControl& control) {
    PlatformDisk disk(platform, rows);
    RenameRun run = PlayRun(rows, disk, onFailure, nullptr, control);
    const auto tried = static_cast<size_t>(run.tried);
    if (tried == rows.size()) return run;

    // Stopped: a row tried has nothing left to do; a row not reached keeps its new path.
    for (size_t i = 0; i < tried; ++i) rows[i].newPath = rows[i].current;
    if (!control.keepsOutcomes) return run;
    for (size_t i = tried; i < rows.size(); ++i) {
        RowOutcome outcome;
        outcome.position = static_cast<qsizetype>(i) + 1;
        outcome.oldPath = rows[i].current;
        outcome.newPath = rows[i].newPath;
        outcome.fate.status = RowStatus::NotTried;
        run.outcomes.push_back(std::move(outcome));
    }
    return run;
}

void AdoptRows(FolderList& list, const std::vector<FolderRow>& rows) {
    AdoptRows(list, rows, 1, std::min(list.Count(), static_cast<qsizetype>(rows.size())));
}

void AdoptRows(FolderList& list, const std::vector<FolderRow>& rows, qsizetype first,
               qsizetype last) {
    FolderList::BulkChange bulk(list);
    for (qsizetype position = first; position <= last; ++position) {
        const FolderRow& row = rows[static_cast<size_t>(position - 1)];
        list.SetCurrent(position, row.current);
        list.SetNewPath(position, row.newPath, row.newPath.isEmpty() ? 0 : row.pass);
    }
}

void CarryThroughMoves(QStringList& paths, const std::vector<PathMove>& moves) {
    if (paths.isEmpty() || moves.empty()) return;
    PathIndex index;
    for (qsizetype i = 0; i < paths.size(); ++i) index.Add(WithSeparator(paths[i]), i);
    for (const PathMove& move : moves) {
        if (move.from.isEmpty()) continue;  // no folder: it would take every path along
        index.Move(WithSeparator(move.from), WithSeparator(move.to),
                   [&](qsizetype i, const QString& now) {
                       // A path keeps its own form, with or without the trailing separator.
                       paths[i] = paths[i].endsWith(kPathSeparator) ? now : now.chopped(1);
                   });
    }
}

}  // namespace trellisane
