// The WebAssembly side's imports (page.h), answered by the page object that page.js hands to
// the module as Module.page. The two that wait unwind the game's stack with Asyncify and
// rewind it when the page calls back: the game's loop never returns, and the browser only
// runs between frames.
mergeInto(LibraryManager.library, {
  vantorel_page_now: function() {
    return Module['page'].now();
  },
  vantorel_page_key_down: function(vk) {
    return Module['page'].keyDown(vk) ? 1 : 0;
  },
  vantorel_page_pad: function(user, stickX) {
    const pad = Module['page'].pad(user);
    if (!pad)
      return -1;
    HEAP16[stickX >> 1] = pad.stickX;
    return pad.buttons;
  },
  vantorel_page_in_front: function() {
    return Module['page'].inFront() ? 1 : 0;
  },
  vantorel_page_message_box: function(caption, text, isError) {
    return Asyncify.handleSleep(function(wakeUp) {
      Module['page'].messageBox(UTF8ToString(caption), UTF8ToString(text), isError !== 0, wakeUp);
    });
  },
  vantorel_page_open_window: function(caption) {
    return Module['page'].openWindow(UTF8ToString(caption)) ? 1 : 0;
  },
  vantorel_page_show_cursor: function(visible) {
    Module['page'].showCursor(visible !== 0);
  },
  vantorel_page_set_mode: function(width, height) {
    Module['page'].setMode(width, height);
  },
  vantorel_page_restore_mode: function() {
    Module['page'].restoreMode();
  },
  vantorel_page_show: function(rgba, width, height) {
    Module['page'].show(HEAPU8.buffer, rgba, width, height);
  },
  vantorel_page_next_frame: function() {
    return Asyncify.handleSleep(function(wakeUp) {
      Module['page'].nextFrame(wakeUp);
    });
  },
  vantorel_page_frame_timed: function(workMs, updateMs) {
    Module['page'].frameTimed(workMs, updateMs);
  },
  vantorel_page_ended: function(code) {
    Module['page'].ended(code);
  },
});
