#pragma once
// The Frame menu's frame list commands and the preview's frame stepping.
namespace animora {

class Project;

namespace commands {

// A new last frame: a copy of the last frame's picture, or a blank 10 x 10
// frame when there is none. It becomes the current frame.
void AddFrame(Project& project);
// Deletes the current frame after "Are you sure ...", then steps to the next.
// The only frame is not deleted: a GIF without frames has nothing to show.
void DeleteFrame(Project& project);

// Exchange: swaps the two frames the dialog names (numbers from 1).
void ExchangeFrames(Project& project);
// Move frame: takes the frame at one position out and puts it in at another.
void MoveFrame(Project& project);
// Moves the frame at index `from` to index `to`; the frames between shift.
void MoveFrameTo(Project& project, int from, int to);

// Refused deletion of a GIF's only frame (caption "Error!").
inline constexpr const char* kOnlyFrameMessage = "Can not delete frame. Frame count=1.";

// Frame option: cuts or extends the current frame's picture in the preview
// copy to the size asked for. The document image is not changed; the next
// refresh of the preview copy discards the change.
void FrameOption(Project& project);

// "Optimize color map": one global colour map for the frames of the preview
// copy (the document image keeps its maps; saving writes the preview copy).
// Only while a project is open.
void OptimizeColorMap(Project& project);

// The stepping commands stop a running animation (the still frame shows).
// One frame on, wrapping to the first after the last.
void NextFrame(Project& project);
// One frame back, wrapping to the last before the first.
void PreviousFrame(Project& project);
void FirstFrame(Project& project);
void LastFrame(Project& project);

} // namespace commands
} // namespace animora
