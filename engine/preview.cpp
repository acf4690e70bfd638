#include "engine/preview.h"

#include <algorithm>
#include <optional>

#include "engine/error_report.h"
#include "engine/transform.h"
#include "folders/folder_list.h"

namespace trellisane {

namespace {

/// Clears the busy flag however the pass ends, so a failure never leaves the window unable to
/// preview again.
class BusyGuard {
  public:
    explicit BusyGuard(bool& busy) : m_busy(busy) { m_busy = true; }
    ~BusyGuard() { m_busy = false; }
    BusyGuard(const BusyGuard&) = delete;
    BusyGuard& operator=(const BusyGuard&) = delete;

  private:
    bool& m_busy;
};

}  // namespace

void PreviewRows(FolderList& list, Operation operation, const PromptAnswers& answers,
                 quint32 pass) {
    // One notification for the whole list, however many rows are written.
    FolderList::BulkChange bulk(list);
    // BuildNewPath without building a path: the name it transforms is the current node's own
    // (a trailing separator dropped, the text after the last separator), and the new path is
    // that name, with a separator, below the current node's parent.
    const FolderTree& tree = list.Tree();
    const qsizetype count = list.Count();
    QString name;
    for (qsizetype position = 1; position <= count; ++position) {
        const FolderTree::NodeId node = list.CurrentNode(position);
        // Copied into one reused buffer rather than a new string a row.
        const QStringView own = node == FolderTree::kTop ? QStringView() : tree.Name(node);
        name.resize(own.size());
        std::copy(own.begin(), own.end(), name.data());
        const std::optional<QString> newName = TransformName(name, operation, answers);
        if (newName) list.SetNewName(position, *newName, pass);
    }
}

bool PreviewRename(bool& previewBusy, FolderList& list, const PreviewHooks& hooks) {
    if (previewBusy) return false;
    using namespace preview_lines;
    ErrorTrap trap(hooks.report);
    trap.Reach(kBusyOn);
    BusyGuard busy(previewBusy);

    trap.Step(kEnableStartRenaming, [&] {
        if (hooks.enableStartRenaming) hooks.enableStartRenaming();
    });

    Operation operation = Operation::OpNone;
    trap.Step(kMatchOperation, [&] {
        operation = MatchOperation(hooks.selectorText ? hooks.selectorText() : QString());
    });
    if (operation == Operation::OpNone) {  // a separator row: nothing to write
        if (hooks.answered) hooks.answered(operation, PromptAnswers());
        return true;
    }

    PromptAnswers answers;
    quint32 pass = 0;
    trap.Step(kAskPrompts, [&] {
        answers = AskPrompts(operation, hooks.ask);
        if (hooks.answered) pass = hooks.answered(operation, answers);
    });

    trap.Reach(kCountRows);  // PreviewRows reads the count itself

    trap.Step(kWriteNewPaths, [&] { PreviewRows(list, operation, answers, pass); });
    return true;  // kBusyOff: the guard clears the busy flag
}

}  // namespace trellisane
