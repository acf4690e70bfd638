// "Undo Last Renaming": puts back every folder the last Start Renaming moved.

#include "app/form1.h"

namespace trellisane {

void Form1::UndoLastRenaming_Click() { m_core->Undo(); }

}  // namespace trellisane
