// A measuring aid, not a setting of the game: when VANTOREL_PRESENT_LOG names a file, the SDL2
// host writes there which path it sends pages by and when it showed each one, for the
// whole-program benchmark (bench/play_bench) to turn into start-up time and frame intervals.
#ifndef VANTOREL_PORT_SDL_PRESENT_LOG_H
#define VANTOREL_PORT_SDL_PRESENT_LOG_H

namespace presentlog {

// Called when the window opens: starts the log if the variable is set.
void Open();

// Called when the mode is set: a line "path <how>".
void Path(const char* how);

// Called after each page reaches the screen: a line with CLOCK_MONOTONIC in nanoseconds.
void Presented();

// Called when the window closes.
void Close();

} // namespace presentlog

#endif
