#include "rename/run_player.h"

#include <cerrno>
#include <optional>
#include <utility>

#include "rename/path_index.h"

namespace trellisane {

namespace {

constexpr QChar kSeparator = kPathSeparator;

/// Why the row's rename must not reach the disk, or nothing. `from` and `to` receive the
/// paths to hand the platform. `oldPath` and `newPath` differ and `newPath` is not empty.
std::optional<RefusalReason> Refusal(const QString& oldPath, const QString& newPath, QString& from,
                                     QString& to) {
    from = WithoutSeparator(oldPath);
    to = WithoutSeparator(newPath);
    const QChar nul(u'\0');
    if (from.contains(nul)) return RefusalReason::NulInPath;
    const qsizetype nameStart = from.lastIndexOf(kSeparator) + 1;
    if (nameStart >= from.size()) return RefusalReason::NoName;
    // Compared as text: the parent part of the new path is the old one, character for
    // character, or the row would move its folder elsewhere.
    if (!to.startsWith(QStringView(from).left(nameStart))) return RefusalReason::OutsideParent;
    const QStringView name = QStringView(to).mid(nameStart);
    if (name.isEmpty()) return RefusalReason::EmptyName;
    if (name == u"." || name == u"..") return RefusalReason::DotName;
    if (IndexOfChar(name, kSeparator) >= 0) return RefusalReason::Separator;
    if (IndexOfChar(name, nul) >= 0) return RefusalReason::NulInName;
    return std::nullopt;
}

RowFate Refused(RefusalReason reason, int error = 0) {
    RowFate fate;
    fate.status = RowStatus::Refused;
    fate.refusal = reason;
    fate.error = error;
    return fate;
}

/// The fate of a row whose folder could not be examined or renamed with `error`, other than
/// a taken name.
RowFate FateOfError(int error) {
    switch (error) {
        case ENOENT:
        case ENOTDIR: {
            RowFate fate;
            fate.status = RowStatus::Missing;
            fate.error = error;
            return fate;
        }
        case EACCES:
        case EPERM:
            return Refused(RefusalReason::NoPermission, error);
        case EROFS:
            return Refused(RefusalReason::ReadOnly, error);
        case ENAMETOOLONG:
            return Refused(RefusalReason::NameTooLong, error);
        default: {
            RowFate fate;
            fate.status = RowStatus::Failed;
            fate.error = error;
            return fate;
        }
    }
}

}  // namespace

RenameRun PlayRun(std::vector<FolderRow>& rows, RunDisk& disk,
                  const std::function<void(const RowOutcome&)>& onFailure,
                  const std::atomic<bool>* cancel, const RunControl& control) {
    RenameRun run;
    const auto count = static_cast<qsizetype>(rows.size());
    const bool keeps = control.keepsOutcomes;
    if (keeps) run.outcomes.reserve(rows.size());
    // Whether each row tried so far renamed its folder: what a taken name is claimed by.
    std::vector<bool> renamed(rows.size(), false);
    const auto row = [&rows](qsizetype position) -> FolderRow& { return rows[position - 1]; };

    // Every row is filed under its current path, so the rows inside a folder that has just
    // been renamed are found without looking at the others.
    PathIndex index;
    index.Reserve(rows.size() + 64);
    std::vector<QString> listedAs;  // each row's current path before the run
    listedAs.reserve(rows.size());
    for (qsizetype position = 1; position <= count; ++position) {
        listedAs.push_back(WithSeparator(row(position).current));
        index.Add(listedAs.back(), position);
    }

    // The rows of the folder moved from `from` to `to`, and of everything inside it, follow
    // it: earlier rows (already renamed) and later rows (before their turn) alike. A row of
    // another folder keeps its new path, even one naming the place `from` has just left.
    // Only the later rows get their paths at once; the rows done so far (every row below the
    // folder, when the list runs deepest first) are carried in the index and get theirs when
    // the run ends, so a folder's rename does not rebuild the paths of all its sub-folders.
    qsizetype turn = 0;
    const auto follow = [&](const QString& from, const QString& to) {
        index.MoveVisitingAbove(from, to, turn, [&](qsizetype position, const QString& now) {
            FolderRow& moved = row(position);
            if (moved.newPath.startsWith(from)) {
                moved.newPath = to + moved.newPath.mid(from.size());
            }
            moved.current = now;
        });
        if (keeps) run.moves.push_back(PathMove{from, to});
    };

    // A taken name: claimed when an earlier row has just renamed its folder onto it, else
    // whatever stands there, and whether a row lists it.
    const auto taken = [&](qsizetype position, const QString& to, int error) {
        RowFate fate;
        fate.error = error;
        if (const std::vector<qsizetype> there = index.At(to + kSeparator); !there.empty()) {
            fate.listed = true;
            for (qsizetype other : there) {
                if (other < position && renamed[static_cast<size_t>(other - 1)] &&
                    (fate.claimedBy == 0 || other < fate.claimedBy)) {
                    fate.claimedBy = other;
                }
            }
        }
        if (fate.claimedBy != 0) {
            fate.status = RowStatus::Claimed;
            fate.listed = false;
            return fate;
        }
        fate.status = RowStatus::Taken;
        const EntryState occupant = disk.Examine(to);
        fate.occupant = occupant.error == 0 ? occupant.kind : Occupant::Folder;
        return fate;
    };

    for (qsizetype position = 1; position <= count; ++position) {
        if (cancel != nullptr && cancel->load(std::memory_order_relaxed)) break;
        if (control.cancelled && control.cancelled()) break;
        turn = position;
        if (control.starting) control.starting(position, count, row(position).current);
        RowOutcome outcome;
        outcome.position = position;
        outcome.oldPath = row(position).current;
        outcome.newPath = row(position).newPath;

        QString from;
        QString to;
        if (outcome.newPath.isEmpty()) {
            outcome.fate.status = RowStatus::NotPreviewed;
        } else if (WithSeparator(outcome.newPath) == WithSeparator(outcome.oldPath)) {
            // Nothing to do, and nothing for the disk to refuse. A row carried onto its new
            // path by an earlier rename (the same folder listed twice) has got its name.
            const bool asListed =
                WithSeparator(outcome.newPath) == listedAs[static_cast<size_t>(position - 1)];
            outcome.fate.status = asListed ? RowStatus::Unchanged : RowStatus::Renamed;
        } else if (std::optional<QString> refused = disk.Refuse(outcome.oldPath)) {
            outcome.fate = Refused(RefusalReason::Protected);
            outcome.fate.detail = std::move(*refused);
        } else if (const auto refusal = Refusal(outcome.oldPath, outcome.newPath, from, to)) {
            outcome.fate = Refused(*refusal);
        } else if (const EntryState folder = disk.Examine(from); !folder.IsFolder()) {
            // Only folders are renamed: a file or a link to one in the folder's place is not.
            outcome.fate = FateOfError(folder.error != 0 ? folder.error : ENOTDIR);
        } else if (std::optional<QString> rule = disk.RefuseName(from, to)) {
            // What the driver would refuse, or change behind the run's back, is not tried.
            outcome.fate = Refused(RefusalReason::NamingRule);
            outcome.fate.detail = std::move(*rule);
        } else {
            const FolderRenameResult result = disk.Rename(from, to);
            if (result.error == 0) {
                outcome.fate.status = RowStatus::Renamed;
                // The new path's own text where it ends with the separator: one string for
                // the move, the outcome and the row's path after the run.
                follow(WithSeparator(outcome.oldPath), WithSeparator(outcome.newPath));
            } else {
                outcome.fate = result.error == EEXIST || result.error == ENOTEMPTY
                                   ? taken(position, to, result.error)
                                   : FateOfError(result.error);
                if (!result.strandedAt.isEmpty()) {
                    follow(WithSeparator(outcome.oldPath), result.strandedAt + kSeparator);
                }
            }
        }

        row(position).newPath.clear();
        renamed[static_cast<size_t>(position - 1)] = outcome.fate.status == RowStatus::Renamed;
        run.tried = position;
        if (!outcome.ok() && onFailure) onFailure(outcome);
        if (keeps) run.outcomes.push_back(std::move(outcome));
    }
    // The rows carried without their paths: where the index has them now.
    index.ForEachMoved([&](qsizetype position, const QString& now) {
        FolderRow& moved = row(position);
        if (moved.current != now) moved.current = now;
    });
    return run;
}

}  // namespace trellisane
