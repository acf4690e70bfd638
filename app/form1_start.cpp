// "Start Renaming": the controller renames the rows strictly in list order on a worker
// (RenameRunJob, behind a progress dialog, the window painting meanwhile); nothing comes
// between a run's rows, since for as long as it goes the controller is busy renaming.

#include "app/form1.h"

namespace trellisane {

void Form1::PushButton2_Click() { m_core->StartRenaming(); }

}  // namespace trellisane
