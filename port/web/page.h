// What the web host asks of the page around it. Each call is answered by the page's script
// (page.js) through the glue in page_library.js. The two marked "waits" give the browser its
// turn and come back later; besides them only Sleep (emscripten_sleep) lets the browser run.
#ifndef VANTOREL_PORT_WEB_PAGE_H
#define VANTOREL_PORT_WEB_PAGE_H

extern "C" {

// Called by the host's clock: the page's monotonic clock in milliseconds.
double vantorel_page_now();
// Called by GetAsyncKeyState: whether this virtual key is held on the keyboard or by a finger.
int vantorel_page_key_down(int vk);
// Called by XInputGetState: pad `user`'s buttons as XInput's bits, its left stick across in
// *stickX; -1 when there is none.
int vantorel_page_pad(int user, short* stickX);
// Called by GetForegroundWindow: whether the page is the one shown, taking the keys.
int vantorel_page_in_front();
// Called by MessageBoxA: shows the box in the page; waits until OK, Return or Space.
void vantorel_page_message_box(const char* caption, const char* text, int isError);
// Called by CreateWindowExA: makes the canvas ready; 0 if the page cannot draw.
int vantorel_page_open_window(const char* caption);
// Called by ShowCursor: hides or shows the pointer over the canvas.
void vantorel_page_show_cursor(int visible);
// Called by SetDisplayMode and its release: sizes the canvas to the mode, or lets it go.
void vantorel_page_set_mode(int width, int height);
void vantorel_page_restore_mode();
// Called by the flip: puts width x height RGBA pixels on the canvas. They stay where they are
// from one frame to the next.
void vantorel_page_show(const void* rgba, int width, int height);
// Called by the flip after the picture is up: waits for the browser's next animation frame.
void vantorel_page_next_frame();
// Called by the flip: the milliseconds this frame spent in the game and then on the canvas.
void vantorel_page_frame_timed(double workMs, double updateMs);
// Called once WinMain has returned, with its exit code.
void vantorel_page_ended(int code);
}

#endif
