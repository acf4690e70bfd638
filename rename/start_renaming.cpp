#include "rename/start_renaming.h"

#include "engine/dialogs.h"
#include "engine/error_report.h"
#include "folders/folder_list.h"
#include "rename/path_index.h"
#include "rename/run_player.h"

namespace trellisane {

namespace {

/// The real disk, through the operations of one platform.
class PlatformDisk : public RunDisk {
  public:
    explicit PlatformDisk(const RenamePlatform& platform) : m_platform(platform) {}
    EntryState Examine(const QString& path) override { return m_platform.examine(path); }
    FolderRenameResult Rename(const QString& from, const QString& to) override {
        return RenameFolder(from, to, m_platform);
    }

  private:
    const RenamePlatform& m_platform;
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
                       const RenamePlatform& platform) {
    std::vector<FolderRow> rows = list.Rows();
    PlatformDisk disk(platform);
    RenameRun run = PlayRun(rows, disk, onFailure);

    FolderList::BulkChange bulk(list);
    for (qsizetype position = 1; position <= list.Count(); ++position) {
        const FolderRow& row = rows[static_cast<size_t>(position - 1)];
        list.SetCurrent(position, row.current);
        list.SetNewPath(position, QString());
    }
    return run;
}

RenameRun StartRenaming(FolderList& list, Dialogs& dialogs, const QString& title,
                        const std::function<void()>& disableStartRenaming) {
    // The handler's numbered statements; an error report names the last one reached.
    //   100  count the rows
    //   102  an empty list: "No folders added.", and the handler ends
    //   104  the rename pass, first row to last
    //   106    rename one row's folder: a failed rename is reported at this line
    //   108  "Done.", whatever failed
    //   110  disable Start Renaming
    ErrorTrap trap(dialogs, QString::fromLatin1(kStartRenamingLocation));
    RenameRun run;

    qsizetype count = 0;
    trap.Step(100, [&] { count = list.Count(); });
    if (count == 0) {
        trap.Step(102, [&] {
            dialogs.ShowMessage(QStringLiteral("No folders added."), title, DialogIcon::None,
                                DialogButtons::Ok);
        });
        return run;
    }

    trap.Step(104, [&] {
        run = ApplyRenames(list, [&](const RowOutcome& failed) {
            trap.Reach(106);
            trap.Fail(failed.Report());
        });
    });
    trap.Step(108, [&] {
        dialogs.ShowMessage(QStringLiteral("Done."), title, DialogIcon::None, DialogButtons::Ok);
    });
    trap.Step(110, [&] {
        if (disableStartRenaming) disableStartRenaming();
    });
    return run;
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
