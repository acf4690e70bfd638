#pragma once

/// The error-report location and statement numbers of "Add Folder/s" (PushButton3_Click), whose
/// add begins in the window and goes on in the controller; app/handler_lines.h tables them with
/// the window's other handlers.
namespace trellisane::lines {

inline constexpr char kAddFoldersLocation[] = "in Dorvalin2021/08/31.Form1.PushButton3_Click ";

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

}  // namespace trellisane::lines
