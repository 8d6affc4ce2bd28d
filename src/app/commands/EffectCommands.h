#pragma once
// The Effect menu: four transitions over a run of frames of the open GIF,
// from the run's first frame to its last. Each asks its dialog, refuses a
// run the image cannot give ("Error!", nothing changed), and then redraws
// every frame of the run but the last in one change of the document image.
// There is no undo step.
#include <cstdint>

namespace animora {

class Project;

namespace commands {

void FallWall(Project& project);
// Rain strews pixels at random, from a seed taken from the clock; the second
// form takes the seed, so that a run can be repeated. Status panel 0 says
// which frame is built ("Build image:" and its index) and "Ready" at the end,
// also when the run fails.
void Rain(Project& project);
void Rain(Project& project, uint64_t seed);
void MoveApart(Project& project);
void Lines(Project& project);

} // namespace commands
} // namespace animora
