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
    const std::optional<UndoReport> undone = m_undo->Undo(m_list);
    if (!undone) return;
    // The rows are as before the run again, new paths included: the run can be made again.
    PushButton2->setEnabled(true);
    m_dialogs.ShowMessage(
        UndoMessage(*undone), m_title,
        undone->notPutBack.empty() ? DialogIcon::Information : DialogIcon::Exclamation,
        DialogButtons::Ok);
}

void Form1::BlockUndoWhileBusy() { m_undo->SetBlocked(!m_adds.empty() || m_renaming != nullptr); }

}  // namespace trellisane
