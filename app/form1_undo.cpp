// "Undo Last Renaming": puts back every folder the last Start Renaming moved.

#include <QPushButton>

#include "app/form1.h"
#include "app/undo_last_renaming.h"
#include "rename/undo.h"
#include "shell/dialogs.h"

namespace trellisane {

void Form1::UndoLastRenaming_Click() {
    // An add under way has gathered the paths of now; its batch withdraws the undo anyway.
    if (!m_adds.empty() || m_renaming != nullptr) return;
    const std::optional<std::vector<UndoOutcome>> notPutBack = m_undo->Undo(m_list);
    if (!notPutBack) return;
    // The rows are as before the run again, new paths included: the run can be made again.
    PushButton2->setEnabled(true);
    if (!notPutBack->empty()) {
        m_dialogs.ShowMessage(NotPutBackMessage(*notPutBack), m_title, DialogIcon::Exclamation,
                              DialogButtons::Ok);
    }
}

}  // namespace trellisane
