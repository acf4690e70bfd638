#include "rename/start_renaming.h"

#include <optional>
#include <utility>

#include "engine/error_report.h"
#include "folders/folder_entries.h"
#include "folders/folder_list.h"
#include "folders/path_separator.h"
#include "rename/path_index.h"
#include "shell/dialogs.h"

namespace trellisane {

namespace {

constexpr QChar kSeparator = kPathSeparator;

/// Why the row's rename must not reach the disk, or nothing. `from` and `to` receive the
/// paths to hand the platform. `oldPath` and `newPath` differ and `newPath` is not empty.
std::optional<QString> Refusal(const QString& oldPath, const QString& newPath, QString& from,
                               QString& to) {
    from = WithoutSeparator(oldPath);
    to = WithoutSeparator(newPath);
    const QChar nul(u'\0');
    if (from.contains(nul)) return QStringLiteral("The folder's path holds a NUL character.");
    const qsizetype nameStart = from.lastIndexOf(kSeparator) + 1;
    if (nameStart >= from.size()) return QStringLiteral("The folder has no name to change.");
    // Compared as text: the parent part of the new path is the old one, character for
    // character, or the row would move its folder elsewhere.
    if (!to.startsWith(QStringView(from).left(nameStart))) {
        return QStringLiteral("The new path is not in the folder's own parent folder.");
    }
    const QStringView name = QStringView(to).mid(nameStart);
    if (name.isEmpty()) return QStringLiteral("The new name is empty.");
    if (name == u"." || name == u"..") {
        return QStringLiteral("The new name \"%1\" is not a folder name.").arg(name);
    }
    if (name.contains(kSeparator)) {
        return QStringLiteral("The new name \"%1\" holds a path separator.").arg(name);
    }
    if (name.contains(nul)) return QStringLiteral("The new name holds a NUL character.");
    return std::nullopt;
}

}  // namespace

RenameRun ApplyRenames(FolderList& list, const std::function<void(const RowOutcome&)>& onFailure) {
    return ApplyRenames(list, onFailure, DefaultRenamePlatform());
}

RenameRun ApplyRenames(FolderList& list, const std::function<void(const RowOutcome&)>& onFailure,
                       const RenamePlatform& platform) {
    RenameRun run;
    const qsizetype count = list.Count();
    run.outcomes.reserve(static_cast<size_t>(count));
    FolderList::BulkChange bulk(list);

    // Every row is filed under its current path, so the rows inside a folder that has just
    // been renamed are found without looking at the others.
    PathIndex index;
    for (qsizetype position = 1; position <= count; ++position) {
        index.Add(WithSeparator(list.Row(position).current), position);
    }

    // The rows of the folder moved from `from` to `to`, and of everything inside it, follow
    // it: earlier rows (already renamed) and later rows (before their turn) alike. A row of
    // another folder keeps its new path, even one naming the place `from` has just left.
    const auto follow = [&](const QString& from, const QString& to) {
        index.Move(from, to, [&](qsizetype position, const QString& now) {
            const QString& newPath = list.Row(position).newPath;
            if (newPath.startsWith(from)) {
                list.SetNewPath(position, to + newPath.mid(from.size()));
            }
            list.SetCurrent(position, now);
        });
        run.moves.push_back(PathMove{from, to});
    };

    for (qsizetype position = 1; position <= count; ++position) {
        RowOutcome outcome;
        outcome.position = position;
        outcome.oldPath = list.Row(position).current;
        outcome.newPath = list.Row(position).newPath;

        QString from;
        QString to;
        if (outcome.newPath.isEmpty()) {
            outcome.description = QStringLiteral("No new name: the row has not been previewed.");
        } else if (WithSeparator(outcome.newPath) == WithSeparator(outcome.oldPath)) {
            outcome.ok = true;  // nothing to do, and nothing for the disk to refuse
        } else if (auto refused =
                       platform.refuse ? platform.refuse(outcome.oldPath) : std::nullopt) {
            outcome.description = *refused;
        } else if (auto refusal = Refusal(outcome.oldPath, outcome.newPath, from, to)) {
            outcome.description = *refusal;
        } else {
            const int refused =
                platform.aboutToRename ? platform.aboutToRename(position, from, to) : 0;
            const FolderRenameResult result =
                refused != 0 ? FolderRenameResult{refused, {}} : RenameFolder(from, to, platform);
            if (refused == 0 && platform.renamed) platform.renamed(position, from, to, result);
            if (result.error == 0) {
                outcome.ok = true;
                follow(WithSeparator(outcome.oldPath), to + kSeparator);
            } else {
                outcome.description = DescribeError(result.error);
                if (!result.strandedAt.isEmpty()) {
                    follow(WithSeparator(outcome.oldPath), result.strandedAt + kSeparator);
                }
            }
        }

        list.SetNewPath(position, QString());
        run.outcomes.push_back(std::move(outcome));
        if (!run.outcomes.back().ok && onFailure) onFailure(run.outcomes.back());
    }
    return run;
}

RenameRun StartRenaming(FolderList& list, Dialogs& dialogs, const QString& title,
                        const std::function<void()>& disableStartRenaming) {
    return StartRenaming(list, dialogs, title, disableStartRenaming, DefaultRenamePlatform());
}

RenameRun StartRenaming(FolderList& list, Dialogs& dialogs, const QString& title,
                        const std::function<void()>& disableStartRenaming,
                        const RenamePlatform& platform) {
    using namespace start_renaming_lines;  // an error report names the last step reached
    ErrorTrap trap(dialogs, QString::fromLatin1(kStartRenamingLocation));
    RenameRun run;

    qsizetype count = 0;
    trap.Step(kCountRows, [&] { count = list.Count(); });
    if (count == 0) {
        trap.Step(kNoFolders, [&] {
            dialogs.ShowMessage(QStringLiteral("No folders added."), title, DialogIcon::None,
                                DialogButtons::Ok);
        });
        return run;
    }

    trap.Step(kRenamePass, [&] {
        run = ApplyRenames(
            list,
            [&](const RowOutcome& failed) {
                trap.Reach(kRenameRow);
                trap.Fail(failed.description);
            },
            platform);
    });
    trap.Step(kDone, [&] {
        dialogs.ShowMessage(QStringLiteral("Done."), title, DialogIcon::None, DialogButtons::Ok);
    });
    trap.Step(kDisableStart, [&] {
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
                       paths[i] = paths[i].endsWith(kSeparator) ? now : now.chopped(1);
                   });
    }
}

}  // namespace trellisane
