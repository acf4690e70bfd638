#include "rename/undo.h"

#include <sys/stat.h>

#include <QFile>
#include <QHash>
#include <algorithm>
#include <cerrno>
#include <map>
#include <utility>

#include "rename/path_index.h"
#include "shell/texts.h"

namespace trellisane {

namespace {

/// `path` (no trailing separator) with its last component replaced by the last one of `named`.
QString InParentOf(const QString& path, const QString& named) {
    return path.left(path.lastIndexOf(kPathSeparator) + 1) +
           named.mid(named.lastIndexOf(kPathSeparator) + 1);
}

using IdKey = std::pair<quint64, quint64>;

}  // namespace

std::optional<FolderId> IdAt(const QString& path) {
    if (path.isEmpty() || path.contains(QChar(u'\0'))) return std::nullopt;
    struct stat status {};
    if (::lstat(QFile::encodeName(path).constData(), &status) != 0) return std::nullopt;
    const FileSystemIdentity identity = IdentityOf(path);
    return FolderId{static_cast<quint64>(status.st_dev), static_cast<quint64>(status.st_ino),
                    identity.key, identity.stableInodes, identity.mount};
}

Vouch VouchFor(const FolderId& recorded, const std::optional<FolderId>& now) {
    if (!now) return Vouch::No;
    const bool sameEntry = recorded.device == now->device && recorded.inode == now->inode;
    if (recorded.fileSystem.isEmpty() || now->fileSystem.isEmpty()) {
        return sameEntry ? Vouch::SameEntry : Vouch::No;
    }
    if (recorded.fileSystem != now->fileSystem) return Vouch::No;
    const bool mountedAgain =
        recorded.mount != 0 && now->mount != 0 && recorded.mount != now->mount;
    if (!recorded.stableInodes) {
        // Inode numbers tell something only within the mount that gave them; another entry
        // may be the folder renumbered by a mount since (which, without unique mount ids,
        // cannot be ruled out).
        return sameEntry && !mountedAgain ? Vouch::SameEntry : Vouch::PathOnly;
    }
    if (recorded.inode != now->inode) return Vouch::No;
    return sameEntry && !mountedAgain ? Vouch::SameEntry : Vouch::SameFileSystem;
}

UndoResult UndoMoves(const std::vector<RecordedMove>& moves, bool apply,
                     const RenamePlatform& platform, bool trustPaths, const UndoControl& control) {
    const auto count = static_cast<qsizetype>(moves.size());
    UndoResult result;
    result.outcomes.resize(moves.size());
    result.order.reserve(moves.size());

    // Where each folder stands now, if nobody else has been at work: its new path carried
    // through every later move of the run (a parent renamed after it takes it along), and
    // later through every rename back. Kept with trailing separators, as the index wants.
    PathIndex index;
    std::vector<QString> where(moves.size());
    const auto carry = [&](const QString& from, const QString& to) {
        index.Move(WithSeparator(from), WithSeparator(to),
                   [&](qsizetype j, const QString& now) { where[static_cast<size_t>(j)] = now; });
    };
    for (qsizetype j = 0; j < count; ++j) {
        const RecordedMove& move = moves[static_cast<size_t>(j)];
        if (!move.from.isEmpty() && move.from != move.to) carry(move.from, move.to);
        where[static_cast<size_t>(j)] = WithSeparator(move.to);
        index.Add(where[static_cast<size_t>(j)], j);
    }

    // A dry run renames nothing, so the disk keeps answering as before the undo. What the
    // renames back would have changed is kept here: names freed (false) or taken (true), and
    // where each folder put back would be, by id.
    QHash<QString, bool> names;
    std::map<IdKey, QString> putBackTo;
    // How what stands at `path` answers for the folder `id`; PathOnly counts only when the
    // person has said to trust paths.
    const auto vouch = [&](const QString& path, const FolderId& id) {
        if (!apply && names.contains(path)) return Vouch::No;  // freed, or another folder's now
        return VouchFor(id, IdAt(path));
    };
    const auto holds = [&](const QString& path, const FolderId& id) {
        const Vouch answer = vouch(path, id);
        return answer != Vouch::No && (answer != Vouch::PathOnly || trustPaths);
    };
    // A name taken only by the folder itself in another spelling is free for it, decided as
    // the rename back (RenameFolder) decides it.
    const auto taken = [&](const QString& path, const QString& folder) {
        if (!apply && names.contains(path)) return names.value(path);
        struct stat status {};
        if (::lstat(QFile::encodeName(path).constData(), &status) != 0) return errno != ENOENT;
        return !platform.sameEntry || !platform.sameEntry(folder, path);
    };

    // Handles move `j`; false when its folder is at neither path, for now.
    const auto handle = [&](qsizetype j) {
        const RecordedMove& move = moves[static_cast<size_t>(j)];
        UndoOutcome& outcome = result.outcomes[static_cast<size_t>(j)];
        outcome.found = WithoutSeparator(where[static_cast<size_t>(j)]);
        outcome.target = InParentOf(outcome.found, move.from);
        if (!move.id || move.from.isEmpty()) return true;  // cannot be told apart: left alone
        const FolderId id = *move.id;
        const IdKey key{id.device, id.inode};

        bool present = false;
        if (const auto it = putBackTo.find(key); !apply && it != putBackTo.end()) {
            // Moved twice by the run: the dry run has already put it back once.
            outcome.found = it->second;
            outcome.target = InParentOf(outcome.found, move.from);
            present = true;
        } else {
            outcome.vouch = vouch(outcome.found, id);
            if (outcome.vouch == Vouch::PathOnly && !trustPaths) {
                outcome.status = UndoStatus::NotVouched;
                outcome.at = outcome.found;
                return true;
            }
            present = outcome.vouch != Vouch::No;
        }

        if (!present || outcome.found == outcome.target) {
            if (outcome.found != outcome.target && !trustPaths &&
                vouch(outcome.target, id) == Vouch::PathOnly) {
                outcome.status = UndoStatus::NotVouched;  // under its old name, by its path
                outcome.vouch = Vouch::PathOnly;
                outcome.at = outcome.target;
                return true;
            }
            if (outcome.found == outcome.target || holds(outcome.target, id)) {
                // Under its old name already: whatever was recorded inside it is there too.
                outcome.status = UndoStatus::AlreadyBack;
                outcome.at = outcome.target;
                if (outcome.found != outcome.target) carry(outcome.found, outcome.target);
                return true;
            }
            return false;  // ChangedSinceRun, unless an older move shows where it went
        }

        if (!apply) {
            outcome.at = outcome.found;
            if (taken(outcome.target, outcome.found)) {
                outcome.status = UndoStatus::OldNameTaken;
                return true;
            }
            outcome.status = UndoStatus::PutBack;
            names.insert(outcome.found, false);
            names.insert(outcome.target, true);
            putBackTo[key] = outcome.target;
            return true;
        }

        if (control.cancel != nullptr && control.cancel->load()) {
            outcome.status = UndoStatus::Failed;
            outcome.error = ECANCELED;
            outcome.at = outcome.found;
            return true;
        }
        const FolderRenameResult renamed = RenameFolder(outcome.found, outcome.target, platform);
        outcome.error = renamed.error;
        if (renamed.error == 0) {
            outcome.status = UndoStatus::PutBack;
            outcome.at = outcome.target;
        } else if (!renamed.strandedAt.isEmpty()) {
            outcome.status = UndoStatus::Failed;
            outcome.at = renamed.strandedAt;
        } else {
            outcome.status = renamed.error == EEXIST || renamed.error == ENOTEMPTY
                                 ? UndoStatus::OldNameTaken
                                 : UndoStatus::Failed;
            outcome.at = outcome.found;
            return true;
        }
        carry(outcome.found, outcome.at);
        result.moves.push_back(PathMove{WithSeparator(outcome.found), WithSeparator(outcome.at)});
        return true;
    };

    std::vector<qsizetype> notFound;
    std::map<IdKey, qsizetype> oldestFound;  // by folder: the oldest move whose folder was found
    for (qsizetype j = count - 1; j >= 0; --j) {
        if (control.progress) control.progress(count - 1 - j, count);
        result.order.push_back(j);
        if (!handle(j)) {
            notFound.push_back(j);
        } else if (moves[static_cast<size_t>(j)].id) {
            oldestFound[IdKey{moves[static_cast<size_t>(j)].id->device,
                              moves[static_cast<size_t>(j)].id->inode}] = j;
        }
    }
    // A folder inside one that turns out to be under its old name already (an undo made
    // before, a run cut short) is found only once that older move has been handled. Each
    // pass goes oldest first, so parents come before what the run moved inside them.
    std::reverse(notFound.begin(), notFound.end());
    for (bool progress = true; progress && !notFound.empty();) {
        std::vector<qsizetype> still;
        for (const qsizetype j : notFound) {
            const FolderId& id = *moves[static_cast<size_t>(j)].id;
            const auto older = oldestFound.find(IdKey{id.device, id.inode});
            if (older != oldestFound.end() && older->second < j) {
                // The same folder, found for an older move of the run and so taken back to
                // before this one: done, if that one is.
                const UndoStatus status =
                    result.outcomes[static_cast<size_t>(older->second)].status;
                if (status == UndoStatus::PutBack || status == UndoStatus::AlreadyBack) {
                    result.outcomes[static_cast<size_t>(j)].status = UndoStatus::AlreadyBack;
                    result.outcomes[static_cast<size_t>(j)].at =
                        result.outcomes[static_cast<size_t>(older->second)].at;
                }
                continue;
            }
            if (!handle(j)) {
                still.push_back(j);
            } else {
                oldestFound[IdKey{id.device, id.inode}] = j;
            }
        }
        progress = still.size() < notFound.size();
        notFound.swap(still);
    }
    // Renames back made after a folder's own (its parent's) have taken it along since.
    for (size_t j = 0; apply && j < moves.size(); ++j) {
        if (!result.outcomes[j].at.isEmpty()) result.outcomes[j].at = WithoutSeparator(where[j]);
    }
    return result;
}

RenamePlatform MoveRecorder::Attach(RenamePlatform base) {
    return Observed(std::move(base), *this);
}

int MoveRecorder::AboutToRename(const std::vector<FolderRow>& /*rows*/, const QString& from,
                                const QString& /*to*/) {
    m_pendingId = IdAt(from);
    return 0;
}

void MoveRecorder::Renamed(const QString& from, const QString& to,
                           const FolderRenameResult& result) {
    const QString at = result.error == 0 ? to : result.strandedAt;
    if (!at.isEmpty()) m_moves.push_back(RecordedMove{from, at, m_pendingId, true});
    m_pendingId.reset();
}

RenamePlatform LastRun::Record(const FolderList& list, RenamePlatform base) {
    Withdraw();
    m_before = list.Rows();
    return m_recorder.Attach(std::move(base));
}

RenamePlatform LastRun::Record(const std::shared_ptr<LastRun>& run,
                               std::vector<FolderRow> before, RenamePlatform base) {
    run->Withdraw();
    run->m_before = std::move(before);
    // The observer is the run's recorder; the pointer shares the run's ownership.
    return Observed(std::move(base), std::shared_ptr<RunObserver>(run, &run->m_recorder));
}

void LastRun::Withdraw() {
    m_before.clear();
    m_recorder.Clear();
}

std::vector<UndoOutcome> LastRun::Undo(FolderList& list, const RenamePlatform& platform) {
    if (!CanUndo() || list.Count() != static_cast<qsizetype>(m_before.size())) {
        Withdraw();
        return {};
    }
    return Adopt(list, UndoMoves(m_recorder.Moves(), true, platform));
}

std::vector<UndoOutcome> LastRun::Adopt(FolderList& list, const UndoResult& undo) {
    std::vector<UndoOutcome> notPutBack;
    if (!CanUndo() || list.Count() != static_cast<qsizetype>(m_before.size()) ||
        undo.outcomes.size() != m_recorder.Moves().size()) {
        Withdraw();
        return notPutBack;
    }
    for (const qsizetype j : undo.order) {
        const UndoOutcome& outcome = undo.outcomes[static_cast<size_t>(j)];
        if (outcome.status != UndoStatus::PutBack && outcome.status != UndoStatus::AlreadyBack) {
            notPutBack.push_back(outcome);
        }
    }

    QStringList paths;
    for (const FolderRow& row : list.Rows()) paths << row.current;
    CarryThroughMoves(paths, undo.moves);
    FolderList::BulkChange bulk(list);
    for (qsizetype position = 1; position <= list.Count(); ++position) {
        const FolderRow& before = m_before[static_cast<size_t>(position - 1)];
        const QString& now = paths[position - 1];
        const bool back = WithSeparator(now) == WithSeparator(before.current);
        list.SetCurrent(position, back ? before.current : now);
        list.SetNewPath(position, back ? before.newPath : QString(), back ? before.pass : 0);
        list.SetRun(position, 0, 0);  // what the run did with the row is undone
    }
    Withdraw();
    return notPutBack;
}

QString NotPutBackMessage(const std::vector<UndoOutcome>& notPutBack) {
    constexpr size_t kShown = 5;
    QString text = Trellisane::tr("%1 folders could not be put back").arg(notPutBack.size());
    for (size_t i = 0; i < notPutBack.size() && i < kShown; ++i) {
        text += (i == 0 ? QStringLiteral("\n\n") : QStringLiteral("\n")) +
                WithSeparator(notPutBack[i].found);
    }
    if (notPutBack.size() > kShown) {
        text += Trellisane::tr("\nand %1 more").arg(notPutBack.size() - kShown);
    }
    return text;
}

}  // namespace trellisane
