#pragma once

#include "control/report_lines.h"

/// The error-report locations and statement numbers of the main window's trapped procedures,
/// all in one place so the reports stay stable and can be checked against this table.
///
/// Statements are numbered from 100 in steps of 2; several statements may share a number,
/// and a report names the last number reached before the failure.
///
///   Form_Load                         PushButton3_Click ("Add Folder/s")
///   100 skin (x/o.cjs)                100 read "LastFolder"
///   102 caption, icon, app title      102 browse dialog
///   104 is HAND-M.CUR there?          104 nothing chosen? then on to 116
///   106 load HAND-M.CUR               106 busy pointer (11)
///   108 maybe open the home page      108 gathering list: chosen path + "/"
///   126 PreviewBusy on                110 sub-folder walk (when ticked)
///   128 first column                  112 sort and append the batch
///   130 second column                 114 default pointer (0)
///   132 first column's width          116 preview pass
///   134 second column's width
///   136..174 selector row n on 134 + 2n
///   176 select the first entry
///   186 PreviewBusy off
///
///   PushButton1_Click ("Clear List")  PushButton4_Click ("Load Sample/Example Folders")
///   100 clear unless busy             100 samples path
///   102 preview pass                  102 open the samples folder
///                                     104 list its sub-folders
///   PushButton6_Click ("Help")        106 walk the listing: one row per sub-folder
///   100 the help message              108 select "Remove numeric ..." (its own preview)
///                                     110 ask whether to open the folder
///                                     112 open it when the answer is Yes
///                                     114 preview pass
///
/// Folders added from outside the window (the command line, a second start, a drop) report as
/// PushButton3_Click does, from 104 on: 104 is then the check and the one message naming what is
/// no folder.
///
/// PreviewRename and PushButton2_Click ("Start Renaming") have their tables beside their code:
/// preview_lines (engine/preview.h) and start_renaming_lines (control/report_lines.h).
namespace trellisane::lines {

// PushButton3_Click's and PushButton4_Click's own: control/report_lines.h (their adds run in the
// controller).

inline constexpr char kFormLoadLocation[] = "in Dorvalin2021/08/31.Form1.Form_Load ";
inline constexpr char kClearListLocation[] = "in Dorvalin2021/08/31.Form1.PushButton1_Click ";
inline constexpr char kHelpLocation[] = "in Dorvalin2021/08/31.Form1.PushButton6_Click ";

// Form_Load
inline constexpr int kLoadSkin = 100;
inline constexpr int kLoadCaptionIconTitle = 102;
inline constexpr int kLoadFindPointer = 104;
inline constexpr int kLoadPointer = 106;
inline constexpr int kLoadHomePage = 108;
inline constexpr int kLoadPreviewBusyOn = 126;
inline constexpr int kLoadFirstColumn = 128;
inline constexpr int kLoadSecondColumn = 130;
inline constexpr int kLoadFirstWidth = 132;
inline constexpr int kLoadSecondWidth = 134;
/// The line that appends selector row `row` (1-based): 136 for row 1 to 174 for row 20.
constexpr int LoadSelectorRow(int row) { return 134 + 2 * row; }
inline constexpr int kLoadSelectFirst = 176;
inline constexpr int kLoadPreviewBusyOff = 186;

// PushButton1_Click
inline constexpr int kClearRows = 100;
inline constexpr int kClearPreview = 102;

// PushButton6_Click
inline constexpr int kHelpMessage = 100;

}  // namespace trellisane::lines
