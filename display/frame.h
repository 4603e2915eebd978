// The frame driver: one call produces one complete frame.
#ifndef VANTOREL_DISPLAY_FRAME_H
#define VANTOREL_DISPLAY_FRAME_H

#include <windows.h>

// The frames-per-second counter, counting only frames drawn with the overlay.
extern int frameCount;
extern int lastFps;
extern DWORD nextFpsTime;

// Called by the main loop once per pass: Escape, lost surfaces, clear, logic, scene, text,
// flip.
void GameFrame();

// Called by GameFrame: paddles, ball, walls and the stretched title on the back buffer. False
// when a blit found the surfaces lost, which ends the frame.
bool RenderScene();

// Called by GameFrame while the overlay is shown: counts a frame, returns the last sample.
int GetFps();

#endif
