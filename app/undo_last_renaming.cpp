#include "app/undo_last_renaming.h"

#include <QAbstractItemModel>
#include <QAbstractItemView>
#include <QAction>
#include <QKeySequence>
#include <QMenu>
#include <QWidget>
#include <algorithm>
#include <utility>

#include "folders/folder_list.h"
#include "shell/texts.h"

namespace trellisane {

UndoLastRenaming::UndoLastRenaming(QWidget& window, QMenu& menu, QAbstractItemModel& model)
    : QObject(&window), m_action(new QAction(Trellisane::tr("Undo Last Renaming"), this)) {
    m_action->setObjectName(QStringLiteral("UndoLastRenaming"));
    m_action->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z));
    m_action->setShortcutContext(Qt::WindowShortcut);
    m_action->setEnabled(false);
    window.addAction(m_action);
    menu.addAction(m_action);
    // Rewriting rows (a run, a preview pass, the undo itself) only changes their data.
    const auto listChanged = [this] {
        m_earlierMoves = 0;
        Withdraw();
    };
    connect(&model, &QAbstractItemModel::rowsInserted, this, listChanged);
    connect(&model, &QAbstractItemModel::rowsRemoved, this, listChanged);
    connect(&model, &QAbstractItemModel::modelReset, this, listChanged);
}

RenamePlatform UndoLastRenaming::BeforeRun(const FolderList& list, const RenamePlatform& base) {
    // The run before this one can no longer be undone: its folders keep their new names.
    m_earlierMoves += m_run->Moved();
    Withdraw();
    RenamePlatform recording = m_run->Record(list, base);
    // The hooks point into the record: each keeps it alive.
    recording.aboutToRename = [run = m_run, hook = std::move(recording.aboutToRename)](
                                  const std::vector<FolderRow>& rows, const QString& from,
                                  const QString& to) { return hook(rows, from, to); };
    recording.renamed = [run = m_run, hook = std::move(recording.renamed)](
                            const QString& from, const QString& to,
                            const FolderRenameResult& result) { hook(from, to, result); };
    return recording;
}

void UndoLastRenaming::AfterRun() { Enable(); }

std::optional<UndoReport> UndoLastRenaming::Undo(FolderList& list) {
    if (!m_run->CanUndo() || m_blocked) return std::nullopt;
    UndoReport result;
    const std::size_t moved = m_run->Moved();
    result.notPutBack = m_run->Undo(list);
    result.putBack = moved - std::min(moved, result.notPutBack.size());
    result.keptByEarlierRuns = std::exchange(m_earlierMoves, 0);
    Withdraw();
    return result;
}

void UndoLastRenaming::SetBlocked(bool blocked) {
    m_blocked = blocked;
    Enable();
}

void UndoLastRenaming::Enable() { m_action->setEnabled(m_run->CanUndo() && !m_blocked); }

void UndoLastRenaming::Withdraw() {
    m_run = std::make_shared<LastRun>();
    Enable();
}

QString UndoMessage(const UndoReport& result) {
    QString text =
        result.putBack == 1
            ? Trellisane::tr("1 folder was put back where it was before the last run.")
            : Trellisane::tr("%1 folders were put back where they were before the last run.")
                  .arg(result.putBack);
    if (result.keptByEarlierRuns > 0) {
        text += u' ' + Trellisane::tr(
                           "The undo covers the last run only: %1 folders renamed by "
                           "earlier runs keep their new names.")
                           .arg(result.keptByEarlierRuns);
    }
    if (!result.notPutBack.empty())
        text += QStringLiteral("\n\n") + NotPutBackMessage(result.notPutBack);
    return text;
}

QMenu* InstallListMenu(QAbstractItemView& list) {
    auto* menu = new QMenu(&list);
    menu->setObjectName(QStringLiteral("ListView1Menu"));
    list.setContextMenuPolicy(Qt::CustomContextMenu);
    // A scroll area reports the click in its viewport's coordinates.
    QObject::connect(
        &list, &QWidget::customContextMenuRequested, menu,
        [&list, menu](const QPoint& at) { menu->popup(list.viewport()->mapToGlobal(at)); });
    return menu;
}

}  // namespace trellisane
