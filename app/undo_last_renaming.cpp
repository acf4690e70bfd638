#include "app/undo_last_renaming.h"

#include <QAbstractItemModel>
#include <QAbstractItemView>
#include <QAction>
#include <QKeySequence>
#include <QMenu>
#include <QWidget>

#include "folders/folder_list.h"

namespace trellisane {

UndoLastRenaming::UndoLastRenaming(QWidget& window, QMenu& menu, QAbstractItemModel& model)
    : QObject(&window), m_action(new QAction(QStringLiteral("Undo Last Renaming"), this)) {
    m_action->setObjectName(QStringLiteral("UndoLastRenaming"));
    m_action->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z));
    m_action->setShortcutContext(Qt::WindowShortcut);
    m_action->setEnabled(false);
    window.addAction(m_action);
    menu.addAction(m_action);
    // Rewriting rows (a run, a preview pass, the undo itself) only changes their data.
    connect(&model, &QAbstractItemModel::rowsInserted, this, &UndoLastRenaming::Withdraw);
    connect(&model, &QAbstractItemModel::rowsRemoved, this, &UndoLastRenaming::Withdraw);
    connect(&model, &QAbstractItemModel::modelReset, this, &UndoLastRenaming::Withdraw);
}

RenamePlatform UndoLastRenaming::BeforeRun(const FolderList& list, const RenamePlatform& base) {
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

void UndoLastRenaming::AfterRun() { m_action->setEnabled(m_run->CanUndo()); }

std::optional<std::vector<UndoOutcome>> UndoLastRenaming::Undo(FolderList& list) {
    if (!m_run->CanUndo()) return std::nullopt;
    std::vector<UndoOutcome> notPutBack = m_run->Undo(list);
    Withdraw();
    return notPutBack;
}

void UndoLastRenaming::Withdraw() {
    m_run = std::make_shared<LastRun>();
    m_action->setEnabled(false);
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
