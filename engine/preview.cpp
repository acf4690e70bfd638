#include "engine/preview.h"

#include "engine/error_report.h"
#include "engine/transform.h"
#include "folders/folder_list.h"

namespace trellisane {

namespace {

/// The pass's own error trap: runs one step, and hands a failure to `report` (then goes on) or,
/// without one, throws it on.
class PreviewTrap {
  public:
    explicit PreviewTrap(const PreviewHooks& hooks) : m_hooks(hooks) {}

    template <typename Statement>
    void Step(int line, Statement&& statement) {
        try {
            statement();
        } catch (...) {
            if (!m_hooks.report) throw;
            m_hooks.report(DescribeException(std::current_exception()), line);
        }
    }

  private:
    const PreviewHooks& m_hooks;
};

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

bool PreviewRename(bool& previewBusy, FolderList& list, const PreviewHooks& hooks) {
    if (previewBusy) return false;
    PreviewTrap trap(hooks);
    BusyGuard busy(previewBusy);  // line 102

    trap.Step(104, [&] {
        if (hooks.enableStartRenaming) hooks.enableStartRenaming();
    });

    Operation operation = Operation::OpNone;
    trap.Step(106, [&] {
        operation = MatchOperation(hooks.selectorText ? hooks.selectorText() : QString());
    });
    if (operation == Operation::OpNone) {  // a separator row: nothing to write
        if (hooks.answered) hooks.answered(operation, PromptAnswers());
        return true;
    }

    PromptAnswers answers;
    trap.Step(108, [&] {
        answers = hooks.given ? *hooks.given : AskPrompts(operation, hooks.ask);
        if (hooks.answered) hooks.answered(operation, answers);
    });

    qsizetype count = 0;
    trap.Step(110, [&] { count = list.Count(); });

    trap.Step(112, [&] {
        // One notification for the whole list, however many rows are written.
        FolderList::BulkChange bulk(list);
        for (qsizetype position = 1; position <= count; ++position) {
            const std::optional<QString> newPath =
                BuildNewPath(list.Row(position).current, operation, answers);
            if (newPath) list.SetNewPath(position, *newPath);
        }
    });
    return true;  // line 114: the guard clears the busy flag
}

}  // namespace trellisane
