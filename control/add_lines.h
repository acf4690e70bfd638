#pragma once

/// The error-report locations and statement numbers of "Add Folder/s" (PushButton3_Click) and
/// "Load Sample/Example Folders" (PushButton4_Click), whose adds begin in the window and go on in
/// the controller; app/handler_lines.h tables them with the window's other handlers.
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
