#pragma once

/// The error-report locations and statement numbers of the handlers whose work the controller
/// carries on: "Add Folder/s" (PushButton3_Click) and "Load Sample/Example Folders"
/// (PushButton4_Click), which begin in the window (app/handler_lines.h tables them with the
/// window's other handlers), and "Start Renaming" (PushButton2_Click), which the controller
/// runs whole.
namespace trellisane {

/// The location text of Start Renaming's error reports.
inline constexpr char kStartRenamingLocation[] = "in Dorvalin2021/08/31.Form1.PushButton2_Click ";

/// Start Renaming's statements, as its error reports number them.
namespace start_renaming_lines {
inline constexpr int kCountRows = 100;
inline constexpr int kNoFolders = 102;     ///< an empty list: "No folders added.", then the end
inline constexpr int kRenamePass = 104;    ///< the rename pass, first row to last
inline constexpr int kRenameRow = 106;     ///< one row's folder: a failed rename is reported here
inline constexpr int kDone = 108;          ///< "Done.", whatever failed
inline constexpr int kDisableStart = 110;  ///< disable Start Renaming
}  // namespace start_renaming_lines

}  // namespace trellisane

namespace trellisane::lines {

inline constexpr char kAddFoldersLocation[] = "in Dorvalin2021/08/31.Form1.PushButton3_Click ";
inline constexpr char kSamplesLocation[] = "in Dorvalin2021/08/31.Form1.PushButton4_Click ";

// PushButton3_Click
inline constexpr int kAddReadLastFolder = 100;
inline constexpr int kAddBrowse = 102;
inline constexpr int kAddNothingChosen = 104;
inline constexpr int kAddBusyPointer = 106;
inline constexpr int kAddGatheringList = 108;
inline constexpr int kAddWalk = 110;
inline constexpr int kAddAppend = 112;
inline constexpr int kAddDefaultPointer = 114;
inline constexpr int kAddPreview = 116;

// PushButton4_Click
inline constexpr int kSamplesPath = 100;
inline constexpr int kSamplesOpen = 102;
inline constexpr int kSamplesList = 104;
inline constexpr int kSamplesWalk = 106;
inline constexpr int kSamplesSelect = 108;
inline constexpr int kSamplesAsk = 110;
inline constexpr int kSamplesOpenFolder = 112;
inline constexpr int kSamplesPreview = 114;

}  // namespace trellisane::lines
