#pragma once
// The Animation menu: commands on the whole animation (order, timing, size),
// carried out by the engine's edits (src/edits), the same code as
// `animora-cli edit`. Each asks what it needs, changes the document image
// through the project's gateway as one step of the history named after the
// command ("Undo Reverse"), and keeps the current frame's index. An edit the
// engine refuses (a range no frame has, a crop outside the screen) is shown
// as a message naming the command, and nothing changes: no step is recorded.
namespace animora {

class Project;

namespace commands {

// 1 2 3 becomes 3 2 1.
void ReverseAnimation(Project& project);
// 1 2 3 4 5 becomes 1 2 3 4 5 4 3 2; fewer than three frames are left as
// they are, with a message.
void PingPongAnimation(Project& project);
// The delay (milliseconds, stored in hundredths) of every frame or of a range.
void SetDelay(Project& project);
// Every delay scaled to play at a percentage of the speed.
void ChangeSpeed(Project& project);
// The whole animation at a new screen size, resampled smoothly.
void ResizeAnimation(Project& project);
// The animation cut to a rectangle of the screen.
void CropAnimation(Project& project);
// Frames first..last deleted; not every frame.
void DeleteFrameRange(Project& project);
// Every n-th frame kept, the time of the dropped ones added to it.
void KeepEveryNth(Project& project);
// Frames showing the same picture as the frame before them dropped, their
// delays added to it; a message when there are none.
void DropDuplicateFrames(Project& project);

// The step names, which are also the captions of the refusal messages.
inline constexpr const char* kReverseName = "Reverse";
inline constexpr const char* kPingPongName = "Ping-pong";
inline constexpr const char* kSetDelayName = "Set delay";
inline constexpr const char* kChangeSpeedName = "Change speed";
inline constexpr const char* kResizeName = "Resize";
inline constexpr const char* kCropName = "Crop";
inline constexpr const char* kDeleteFramesName = "Delete frames";
inline constexpr const char* kKeepEveryName = "Keep every n-th frame";
inline constexpr const char* kDropDuplicatesName = "Drop duplicate frames";

inline constexpr const char* kPingPongTooFew = "Ping-pong needs at least three frames: nothing was changed.";
inline constexpr const char* kNoDuplicates =
    "No frame shows the same picture as the frame before it: nothing was changed.";

} // namespace commands
} // namespace animora
