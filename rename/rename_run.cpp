#include "rename/rename_run.h"

#include <algorithm>

#include "folders/folder_list.h"
#include "folders/path_separator.h"
#include "rename/path_index.h"
#include "rename/run_player.h"

namespace trellisane {

namespace {

/// The real disk, through the operations of one platform, for a run over `rows`.
class PlatformDisk : public RunDisk {
  public:
    PlatformDisk(const RenamePlatform& platform, const std::vector<FolderRow>& rows)
        : m_platform(platform), m_rows(rows) {}
    EntryState Examine(const QString& path) override { return m_platform.examine(path); }
    std::optional<QString> Refuse(const QString& oldPath) override {
        return m_platform.refuse ? m_platform.refuse(oldPath) : std::nullopt;
    }
    std::optional<QString> RefuseName(const QString& from, const QString& to) override {
        if (!m_platform.refuseName) return std::nullopt;
        // `to` lies in the parent of `from`.
        return m_platform.refuseName(SplitPath(from).parent, SplitPath(to).name.toString());
    }
    FolderRenameResult Rename(const QString& from, const QString& to) override {
        const int refused = TellAboutToRename(m_platform, m_rows, from, to);
        if (refused != 0) return FolderRenameResult{refused, {}};
        FolderRenameResult result = RenameFolder(from, to, m_platform);
        TellRenamed(m_platform, from, to, result);
        return result;
    }

  private:
    const RenamePlatform& m_platform;
    const std::vector<FolderRow>& m_rows;
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
    if (run.outcomes.size() == rows.size()) return run;

    // Stopped: a row tried has nothing left to do; a row not reached keeps its new path.
    for (size_t i = 0; i < run.outcomes.size(); ++i) rows[i].newPath = rows[i].current;
    for (size_t i = run.outcomes.size(); i < rows.size(); ++i) {
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
    FolderList::BulkChange bulk(list);
    const qsizetype count = std::min(list.Count(), static_cast<qsizetype>(rows.size()));
    for (qsizetype position = 1; position <= count; ++position) {
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
