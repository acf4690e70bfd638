#include "rename/row_status.h"

#include "folders/folder_entries.h"
#include "rename/path_index.h"
#include "shell/error_text.h"
#include "shell/texts.h"

namespace trellisane {

namespace {

/// What stands at a taken name, as the middle of a sentence.
QString OccupantWords(const RowFate& fate) {
    switch (fate.occupant) {
        case Occupant::Folder:
            return fate.listed ? Trellisane::tr("another listed folder")
                               : Trellisane::tr("another folder");
        case Occupant::File:
            return Trellisane::tr("a file");
        case Occupant::Link:
            return fate.listed ? Trellisane::tr("a listed symbolic link")
                               : Trellisane::tr("a symbolic link");
    }
    return QString();
}

QString RefusalSentence(RefusalReason reason, const QString& newName) {
    switch (reason) {
        case RefusalReason::None:
            break;
        case RefusalReason::NulInPath:
            return Trellisane::tr("The folder's path holds a NUL character.");
        case RefusalReason::NoName:
            return Trellisane::tr("The folder has no name to change.");
        case RefusalReason::OutsideParent:
            return Trellisane::tr("The new path is not in the folder's own parent folder.");
        case RefusalReason::EmptyName:
            return Trellisane::tr("The new name would be empty.");
        case RefusalReason::DotName:
            return Trellisane::tr("The new name \"%1\" is not a folder name.").arg(newName);
        case RefusalReason::Separator:
            return Trellisane::tr("The new name \"%1\" holds a path separator.").arg(newName);
        case RefusalReason::NulInName:
            return Trellisane::tr("The new name holds a NUL character.");
        case RefusalReason::NameTooLong:
            return Trellisane::tr("The new name is longer than its file system allows.");
        case RefusalReason::NoPermission:
            return Trellisane::tr("You may not rename folders in its parent folder.");
        case RefusalReason::ReadOnly:
            return Trellisane::tr("The folder is on a read-only file system.");
        case RefusalReason::Protected:
        case RefusalReason::NamingRule:
            break;  // the sentence comes with the fate
    }
    return Trellisane::tr("The folder cannot be renamed.");
}

/// The reason in brackets after "cannot be renamed to", where the system's description alone
/// does not say it; "" where it does.
QString Clause(const RowFate& fate) {
    switch (fate.status) {
        case RowStatus::Taken:
            switch (fate.occupant) {
                case Occupant::Folder:
                    return Trellisane::tr("a folder of that name is already there");
                case Occupant::File:
                    return Trellisane::tr("a file of that name is already there");
                case Occupant::Link:
                    return Trellisane::tr("a symbolic link of that name is already there");
            }
            break;
        case RowStatus::Claimed:
            return Trellisane::tr("a folder of that name is already there, given it by row %1")
                .arg(fate.claimedBy);
        case RowStatus::Missing:
            return Trellisane::tr("no folder is there any more");
        case RowStatus::Refused:
            switch (fate.refusal) {
                case RefusalReason::NoPermission:
                    return Trellisane::tr("its parent folder may not be changed");
                case RefusalReason::ReadOnly:
                    return Trellisane::tr("its file system is read-only");
                case RefusalReason::NameTooLong:
                    return Trellisane::tr("the name is longer than its file system allows");
                default:
                    break;
            }
            break;
        default:
            break;
    }
    return QString();
}

}  // namespace

QString NewNameOf(const QString& oldPath, const QString& newPath) {
    const QString from = WithoutSeparator(oldPath);
    const QString to = WithoutSeparator(newPath);
    const QStringView parent = QStringView(from).left(from.lastIndexOf(kPathSeparator) + 1);
    return to.startsWith(parent) ? to.mid(parent.size()) : to;
}

const char* StatusKeyword(RowStatus status) {
    switch (status) {
        case RowStatus::Renamed:
            return "ok";
        case RowStatus::Unchanged:
            return "unchanged";
        case RowStatus::NotPreviewed:
            return "not-previewed";
        case RowStatus::Refused:
            return "refused";
        case RowStatus::Taken:
            return "taken";
        case RowStatus::Claimed:
            return "claimed";
        case RowStatus::Missing:
            return "missing";
        case RowStatus::Failed:
            return "failed";
        case RowStatus::NotTried:
            return "not-tried";
        case RowStatus::MayFail:
            return "may-fail";
    }
    return "failed";
}

QString DescribeFate(const RowFate& fate, const QString& newName) {
    switch (fate.status) {
        case RowStatus::Renamed:
            return Trellisane::tr("The folder gets its new name.");
        case RowStatus::Unchanged:
            return Trellisane::tr("The new name is the folder's current name.");
        case RowStatus::NotPreviewed:
            return Trellisane::tr("The row has no new name: it has not been previewed.");
        case RowStatus::Refused:
            if (!fate.detail.isEmpty()) return fate.detail;
            return RefusalSentence(fate.refusal, newName);
        case RowStatus::Taken:
            return Trellisane::tr("The new name is already taken by %1 in its parent folder.")
                .arg(OccupantWords(fate));
        case RowStatus::Claimed:
            return Trellisane::tr("Row %1 gives its folder this new name first.")
                .arg(fate.claimedBy);
        case RowStatus::Missing:
            return Trellisane::tr("The folder is no longer at its current path.");
        case RowStatus::Failed:
            if (!fate.detail.isEmpty()) return fate.detail;
            return Trellisane::tr("The folder cannot be renamed: %1.")
                .arg(DescribeError(fate.error));
        case RowStatus::NotTried:
            return Trellisane::tr("The run was stopped before this folder's turn.");
        case RowStatus::MayFail:
            return fate.detail;
    }
    return QString();
}

QString DescribeFailure(const RowFate& fate, const QString& folder, const QString& newName) {
    const QString quotedFolder = u'"' + folder + u'"';
    if (fate.status == RowStatus::NotPreviewed) {
        return Trellisane::tr("No new name: %1 has not been previewed.").arg(quotedFolder);
    }
    if (fate.status == RowStatus::NotTried) {
        return Trellisane::tr("%1 was not renamed to \"%2\": the run was stopped before its turn.")
            .arg(quotedFolder, newName);
    }
    if (fate.status == RowStatus::Refused && !fate.detail.isEmpty()) {
        return Trellisane::tr("%1 cannot be renamed to \"%2\". ").arg(quotedFolder, newName) +
               fate.detail;
    }
    QString lead;
    if (fate.error != 0) {
        lead = DescribeError(fate.error);
    } else {
        lead = DescribeFate(fate, newName);
        lead.chop(1);  // the full stop ends the whole text instead
    }
    QString text =
        Trellisane::tr("%1: %2 cannot be renamed to \"%3\"").arg(lead, quotedFolder, newName);
    const QString clause = Clause(fate);
    if (!clause.isEmpty()) text += Trellisane::tr(" (%1)").arg(clause);
    return text + u'.';
}

}  // namespace trellisane
