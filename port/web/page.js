// The page around the game: the canvas it draws on, the keys it polls (from the keyboard or a
// finger), the pads it reads, its message boxes, its log, and what the page shows when a run
// ends. Each run is a fresh module (vantorel.js), as each start of the Windows program is a
// fresh process.
'use strict';

(function () {
  // Windows' virtual-key codes of the keys the game polls.
  const VK_LEFT = 0x25;
  const VK_RIGHT = 0x27;
  const VK_RETURN = 0x0D;
  const VK_ESCAPE = 0x1B;
  const VK_F5 = 0x74;
  // The keys the game polls, by the physical key (and the name on a key button).
  const VIRTUAL_KEYS = {
    ArrowLeft: VK_LEFT, ArrowRight: VK_RIGHT, Enter: VK_RETURN, NumpadEnter: VK_RETURN,
    Escape: VK_ESCAPE, F5: VK_F5,
  };
  // XInput's bits of the pad buttons the game reads.
  const XINPUT_GAMEPAD_A = 0x1000;
  const XINPUT_GAMEPAD_Y = 0x8000;
  const XINPUT_GAMEPAD_BACK = 0x0020;
  const XINPUT_GAMEPAD_START = 0x0010;
  const XINPUT_GAMEPAD_DPAD_LEFT = 0x0004;
  const XINPUT_GAMEPAD_DPAD_RIGHT = 0x0008;
  // Those buttons by their index in the standard layout.
  const PAD_BUTTONS = [[0, XINPUT_GAMEPAD_A], [3, XINPUT_GAMEPAD_Y], [8, XINPUT_GAMEPAD_BACK],
                       [9, XINPUT_GAMEPAD_START], [14, XINPUT_GAMEPAD_DPAD_LEFT],
                       [15, XINPUT_GAMEPAD_DPAD_RIGHT]];
  // A or Start: OK for the page's box and for "Play again".
  const PAD_OK = XINPUT_GAMEPAD_A | XINPUT_GAMEPAD_START;
  // The game's working folder in the in-memory file system: the title is read from it and
  // the log written to it.
  const RUN_FOLDER = '/game';
  const TITLE_FILE = 'FinalTitle.bmp';
  const LOG_FILE = 'Log.txt';
  const TIMED_FRAMES = 4096;

  const element = (id) => document.getElementById(id);
  const canvas = element('screen');
  const boxPanel = element('box-panel');
  const endedPanel = element('ended-panel');
  const logLink = element('log');

  // Fetched once: "play again" reuses it.
  const title = fetch(TITLE_FILE)
    .then((response) => (response.ok ? response.arrayBuffer() : null))
    .catch(() => null);

  const held = new Set();
  // XInput's four pads as last polled, once a frame: null where none is, else its buttons as
  // XInput's bits and its left stick across.
  const pads = [null, null, null, null];
  let padOk = false;
  // Each finger (or pen, or a pointer on a key button) holds one key, by its pointer id.
  const fingers = new Map();
  // A finger's key is held for at least the frame after it came down, however short the tap.
  let tapped = new Set();
  let tappedBeforeFrame = new Set();
  let pollingPads = false;
  let module = null;
  let context = null;
  let image = null;
  let closeBox = null;
  let logUrl = null;

  // What tests and the speed script read: how the run goes and how long its frames take.
  const status = {
    state: null, // 'running', then 'ended'
    exitCode: null,
    frames: 0,
    firstFrameAt: null,
    work: new Float64Array(TIMED_FRAMES),
    update: new Float64Array(TIMED_FRAMES),
    // The last `count` frames' times, oldest first, as [work, update] pairs in milliseconds.
    frameTimes(count) {
      const n = Math.min(count, this.frames, TIMED_FRAMES);
      const times = [];
      for (let i = this.frames - n; i < this.frames; ++i)
        times.push([this.work[i % TIMED_FRAMES], this.update[i % TIMED_FRAMES]]);
      return times;
    },
    log() {
      return readLog();
    },
  };
  window.vantorel = status;

  // While the game has the page its keys are its own: F5 does not reload, arrows do not
  // scroll. Every key's state is kept as Windows keeps it, held from down to up, even while a
  // box is open.
  window.addEventListener('keydown', (event) => {
    if (closeBox && (event.code === 'Enter' || event.code === 'NumpadEnter' ||
                     event.code === 'Space')) {
      event.preventDefault();
      closeBox();
    }
    const vk = VIRTUAL_KEYS[event.code];
    if (vk === undefined)
      return;
    if (status.state === 'running')
      event.preventDefault();
    held.add(vk);
  }, true);
  window.addEventListener('keyup', (event) => {
    const vk = VIRTUAL_KEYS[event.code];
    if (vk === undefined)
      return;
    if (status.state === 'running')
      event.preventDefault();
    held.delete(vk);
  }, true);
  // A key released while the page is not looking never comes up here.
  window.addEventListener('blur', () => held.clear());

  // A finger on the picture holds Left on the left of its middle and Right on the right of it;
  // the mouse plays no part there. The picture is centred in the canvas, so its middle is the
  // canvas's.
  function aim(event) {
    const box = canvas.getBoundingClientRect();
    hold(event, event.clientX < box.left + box.width / 2 ? VK_LEFT : VK_RIGHT);
  }
  function hold(event, vk) {
    event.preventDefault();
    event.currentTarget.setPointerCapture(event.pointerId);
    if (!fingers.has(event.pointerId))
      tapped.add(vk);
    fingers.set(event.pointerId, vk);
  }
  function lift(event) {
    fingers.delete(event.pointerId);
  }
  canvas.addEventListener('pointerdown', (event) => {
    if (event.pointerType !== 'mouse')
      aim(event);
  });
  canvas.addEventListener('pointermove', (event) => {
    if (fingers.has(event.pointerId))
      aim(event);
  });
  for (const button of element('keys').querySelectorAll('button')) {
    const vk = VIRTUAL_KEYS[button.dataset.key];
    button.addEventListener('pointerdown', (event) => hold(event, vk));
  }
  for (const type of ['pointerup', 'pointercancel', 'lostpointercapture'])
    element('play').addEventListener(type, lift);

  // A pad in the standard layout as XInput reads it: the stick's -1 to 1 over XInput's range,
  // clamped, since a wrapped value would turn the stick round.
  function xinputPad(pad) {
    let buttons = 0;
    for (const [index, bit] of PAD_BUTTONS) {
      if (pad.buttons[index] && pad.buttons[index].pressed)
        buttons |= bit;
    }
    const x = pad.axes[0] || 0;
    const stickX = Math.round(Math.max(-32768, Math.min(32767, x < 0 ? x * 32768 : x * 32767)));
    return {buttons: buttons, stickX: stickX};
  }

  // Each frame, and each page frame while a box or the end waits, reads the pads afresh.
  function pollPads() {
    const found = navigator.getGamepads ? navigator.getGamepads() : [];
    for (let user = 0; user < pads.length; ++user) {
      const pad = found[user];
      pads[user] = pad && pad.mapping === 'standard' ? xinputPad(pad) : null;
    }
  }

  // A press of A or Start is OK for the page's box and for "Play again"; one held since before
  // the box came up is not, as a key held then does not close it either.
  function padOkPressed() {
    const ok = pads.some((pad) => pad !== null && (pad.buttons & PAD_OK) !== 0);
    const pressed = ok && !padOk;
    padOk = ok;
    return pressed;
  }

  function answerPads() {
    pollPads();
    if (!padOkPressed())
      return;
    if (closeBox)
      closeBox();
    else if (status.state === 'ended')
      start();
  }
  function pollPadsWhileWaiting() {
    pollingPads = Boolean(closeBox) || status.state === 'ended';
    if (!pollingPads)
      return;
    answerPads();
    requestAnimationFrame(pollPadsWhileWaiting);
  }
  function waitWithPads() {
    if (!pollingPads) {
      pollingPads = true;
      requestAnimationFrame(pollPadsWhileWaiting);
    }
  }

  function releaseAll() {
    held.clear();
    fingers.clear();
    tapped.clear();
    tappedBeforeFrame.clear();
  }

  function fingerHolds(vk) {
    for (const key of fingers.values()) {
      if (key === vk)
        return true;
    }
    return tappedBeforeFrame.has(vk);
  }

  element('box-ok').addEventListener('click', () => {
    if (closeBox)
      closeBox();
  });

  element('fullscreen').addEventListener('click', () => {
    const stage = element('stage');
    if (!stage.requestFullscreen)
      return;
    stage.requestFullscreen().then(() => {
      // Escape is the game's quit key; locked, a short press reaches the game and holding it
      // leaves full screen.
      if (navigator.keyboard && navigator.keyboard.lock)
        navigator.keyboard.lock(['Escape']).catch(() => {});
    }).catch(() => {});
  });

  logLink.addEventListener('click', () => {
    if (logUrl)
      URL.revokeObjectURL(logUrl);
    logUrl = URL.createObjectURL(new Blob([readLogBytes()], {type: 'text/plain'}));
    logLink.href = logUrl;
  });

  element('again').addEventListener('click', start);

  function readLogBytes() {
    try {
      return module.FS.readFile(RUN_FOLDER + '/' + LOG_FILE);
    } catch (error) {
      return new Uint8Array(0);
    }
  }

  function readLog() {
    return String.fromCharCode.apply(null, readLogBytes());
  }

  // The game writes its log through a text-mode stream, which the Windows run-time stores with
  // each line feed as CR LF. The log in memory is stored that way, so it holds the bytes the
  // Windows program leaves on disk, and the download and the console see the same. Each
  // finished line is echoed to the console.
  function storeLogAsText(FS) {
    const logPath = RUN_FOLDER + '/' + LOG_FILE;
    const write = FS.write;
    let unfinished = '';
    FS.write = function (stream, buffer, offset, length, position, canOwn) {
      if (stream.path !== logPath || length === 0)
        return write.call(FS, stream, buffer, offset, length, position, canOwn);
      // The file system hands over a view of the program's memory as signed bytes.
      const bytes = new Uint8Array(buffer.buffer, buffer.byteOffset + offset, length);
      const stored = [];
      for (const byte of bytes) {
        if (byte === 0x0A)
          stored.push(0x0D);
        stored.push(byte);
      }
      write.call(FS, stream, Uint8Array.from(stored), 0, stored.length, position, false);
      const lines = (unfinished + String.fromCharCode.apply(null, bytes)).split('\n');
      unfinished = lines.pop();
      for (const line of lines)
        console.info(LOG_FILE + ': ' + line);
      // The caller asked for `length` bytes and gets them, however many were stored.
      return length;
    };
  }

  // Called back by the program through page_library.js.
  const page = {
    now: () => performance.now(),
    keyDown: (vk) => held.has(vk) || fingerHolds(vk),
    pad: (user) => pads[user],
    inFront: () => document.visibilityState === 'visible',
    messageBox(caption, text, isError, dismissed) {
      element('box-caption').textContent = caption;
      element('box-text').textContent = text;
      boxPanel.querySelector('.box').classList.toggle('error', isError);
      boxPanel.hidden = false;
      element('box-ok').focus();
      closeBox = () => {
        closeBox = null;
        boxPanel.hidden = true;
        dismissed();
      };
      waitWithPads();
    },
    openWindow(caption) {
      context = canvas.getContext('2d', {alpha: false});
      image = null;
      if (!context)
        return false;
      document.title = caption;
      return true;
    },
    showCursor(visible) {
      canvas.style.cursor = visible ? '' : 'none';
    },
    setMode(width, height) {
      canvas.width = width;
      canvas.height = height;
    },
    restoreMode() {
      canvas.style.cursor = '';
    },
    // The picture is read straight from the program's memory. The same image serves every
    // frame until the memory grows (a new buffer) or the pixels move.
    show(memory, address, width, height) {
      if (!image || image.memory !== memory || image.address !== address ||
          image.data.width !== width || image.data.height !== height) {
        const pixels = new Uint8ClampedArray(memory, address, width * height * 4);
        image = {memory: memory, address: address, data: new ImageData(pixels, width, height)};
      }
      context.putImageData(image.data, 0, 0);
    },
    nextFrame(wakeUp) {
      requestAnimationFrame(() => {
        [tappedBeforeFrame, tapped] = [tapped, tappedBeforeFrame];
        tapped.clear();
        answerPads();
        wakeUp();
      });
    },
    frameTimed(workMs, updateMs) {
      const slot = status.frames % TIMED_FRAMES;
      status.work[slot] = workMs;
      status.update[slot] = updateMs;
      if (status.frames === 0)
        status.firstFrameAt = performance.now();
      ++status.frames;
    },
    ended(code) {
      status.state = 'ended';
      status.exitCode = code;
      releaseAll();
      element('ended-text').textContent =
        'The game has ended with exit code ' + code + '.';
      endedPanel.hidden = false;
      element('again').focus();
      waitWithPads();
      console.info('vantorel: the game ended with exit code ' + code);
    },
  };

  function start() {
    endedPanel.hidden = true;
    releaseAll();
    // The game asks every pad as it starts.
    pollPads();
    status.state = 'running';
    status.exitCode = null;
    Vantorel({
      page: page,
      preRun: [(instance) => {
        module = instance;
        instance.FS.mkdir(RUN_FOLDER);
        instance.FS.chdir(RUN_FOLDER);
        storeLogAsText(instance.FS);
        // The game starts once the title is in its folder, or known to be missing.
        instance.addRunDependency(TITLE_FILE);
        title.then((bytes) => {
          if (bytes)
            instance.FS.writeFile(TITLE_FILE, new Uint8Array(bytes));
          instance.removeRunDependency(TITLE_FILE);
        });
      }],
    });
  }

  start();
})();
