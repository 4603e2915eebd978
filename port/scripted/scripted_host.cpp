#include "scripted_host.h"

#include "host.h"
#include "test_hooks.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <optional>
#include <stdexcept>

namespace scripted {
namespace {

struct Failure {
    int times;
    long code;
    int skip = 0; // calls still let through before the first failure
};

struct State {
    DWORD clock = 0;
    bool keys[256] = {};
    bool inFront = true;
    std::optional<XINPUT_GAMEPAD> pads[XUSER_MAX_COUNT];
    std::map<std::string, Failure> failures;
    bool recording = true;
    std::vector<Call> calls;
    std::vector<MessageBoxRecord> boxes;
    std::function<int(const MessageBoxRecord&)> boxHandler;
    bool keepPresents = true;
    int presents = 0;
    Page lastPresent;
    std::function<void(int)> pumpHandler;
    int pumps = 0;
    bool closeRequested = false;
    bool cursorVisible = true;
    bool modeSet = false;
};

State state;

// Every call the port passes to the call hook, each set off by spaces: a test cannot ask for a
// failure that never comes, and a call the port makes under a name missing here stops the test.
const char* const knownCalls =
    " DirectDrawCreate QueryInterface Release SetCooperativeLevel SetDisplayMode CreateSurface"
    " TestCooperativeLevel FlipToGDISurface GetAttachedSurface Flip Blt Lock Unlock GetDC"
    " ReleaseDC IsLost Restore RegisterClassExA CreateWindowExA LoadIconA LoadCursorA ShowCursor"
    " PostMessageA PostQuitMessage PeekMessageA TranslateMessage DispatchMessageA DefWindowProcA"
    " MessageBoxA SetTextColor SetBkColor SetBkMode TextOutA Sleep timeBeginPeriod timeEndPeriod"
    " SetWindowLongA SetWindowPos AdjustWindowRectEx GetSystemMetrics GetClientRect"
    " SetStretchBltMode StretchBlt PatBlt"
    " LoadLibraryA GetProcAddress XInputGetState ";

bool Known(const std::string& call) {
    return !call.empty() && call.find(' ') == std::string::npos &&
           std::strstr(knownCalls, (" " + call + " ").c_str());
}

void CheckKnown(const std::string& call) {
    if (!Known(call))
        throw std::invalid_argument("the port makes no call named \"" + call + "\"");
}

void Record(const PortCall& call) {
    if (!Known(call.name)) {
        std::fprintf(stderr, "scripted host: \"%s\" is missing from the known calls\n", call.name);
        std::abort();
    }
    Call record = {call.name, call.object, {}, {}};
    std::copy(std::begin(call.args), std::end(call.args), record.args.begin());
    std::copy(std::begin(call.text), std::end(call.text), record.text.begin());
    state.calls.push_back(std::move(record));
}

long Enter(const PortCall& call) {
    if (state.recording)
        Record(call);
    auto it = state.failures.find(call.name);
    if (it == state.failures.end())
        return 0;
    if (it->second.skip > 0) {
        --it->second.skip;
        return 0;
    }
    const long code = it->second.code;
    if (it->second.times > 0 && --it->second.times == 0)
        state.failures.erase(it);
    return code;
}

bool PadState(DWORD user, XINPUT_GAMEPAD& pad) {
    if (!state.pads[user])
        return false;
    pad = *state.pads[user];
    return true;
}

int ShowBox(HWND owner, const char* text, const char* caption, UINT style) {
    state.boxes.push_back({owner, text, caption, style});
    if (state.boxHandler)
        return state.boxHandler(state.boxes.back());
    return IDOK;
}

void PumpEvents() {
    ++state.pumps;
    if (state.pumpHandler)
        state.pumpHandler(state.pumps);
    if (state.closeRequested) {
        state.closeRequested = false;
        PortCloseRequest();
    }
}

void Present(const PortRows& page, int width, int height) {
    ++state.presents;
    if (!state.keepPresents)
        return;
    Page& copy = state.lastPresent;
    copy.width = width;
    copy.height = height;
    copy.pixels.resize(static_cast<size_t>(width) * height);
    for (int y = 0; y < height; ++y)
        std::copy(page.Row(y), page.Row(y) + width,
                  copy.pixels.begin() + static_cast<ptrdiff_t>(y) * width);
}

const PortHost host = {
    .now = [] { return state.clock; },
    .sleep = [](DWORD ms) { state.clock += ms; },
    .keyDown = [](int vk) { return vk >= 0 && vk < 256 && state.keys[vk]; },
    .messageBox = ShowBox,
    .openWindow = [](const char*, int, int) { return true; },
    .closeWindow = [] {},
    .frameWindow = [](bool, int, int) {},
    .showCursor = [](bool visible) { state.cursorVisible = visible; },
    .pumpEvents = PumpEvents,
    .setDisplayMode =
        [](int, int) {
            state.modeSet = true;
            return true;
        },
    .restoreDisplayMode = [] { state.modeSet = false; },
    .present = Present,
    .inFront = [] { return state.inFront; },
    .padState = PadState,
};

} // namespace

void Install() {
    PortSetHost(&host);
    PortReset();
    PortSetCallHook(Enter);
    state = State();
}

void SetClock(DWORD ms) {
    state.clock = ms;
}
void AdvanceClock(DWORD ms) {
    state.clock += ms;
}

void SetKey(int vk, bool down) {
    if (vk >= 0 && vk < 256)
        state.keys[vk] = down;
}

void SetForeground(bool inFront) {
    state.inFront = inFront;
}

void SetPad(DWORD user, WORD buttons, SHORT stickX) {
    XINPUT_GAMEPAD pad = {};
    pad.wButtons = buttons;
    pad.sThumbLX = stickX;
    state.pads[user] = pad;
}

void UnplugPad(DWORD user) {
    state.pads[user].reset();
}

void FailCall(const std::string& call, int times, long code) {
    FailCallAfter(call, 0, times, code);
}

void FailCallAfter(const std::string& call, int skip, int times, long code) {
    CheckKnown(call);
    if (times != 0)
        state.failures[call] = {times, code, skip};
}

void SetRecording(bool on) {
    state.recording = on;
}
const std::vector<Call>& Calls() {
    return state.calls;
}

std::vector<Call> CallsNamed(const std::string& call) {
    CheckKnown(call);
    std::vector<Call> named;
    for (const Call& c : state.calls)
        if (c.name == call)
            named.push_back(c);
    return named;
}

std::vector<std::string> CallNames(size_t from) {
    std::vector<std::string> names;
    for (size_t i = from; i < state.calls.size(); ++i)
        names.push_back(state.calls[i].name);
    return names;
}

int CallCount(const std::string& call) {
    return static_cast<int>(CallsNamed(call).size());
}

void SetPitchPadding(LONG bytes) {
    PortSetPitchPadding(bytes);
}
void TakeDisplay() {
    PortTakeDisplay();
}
void GiveDisplay() {
    PortGiveDisplay();
}

const std::vector<MessageBoxRecord>& MessageBoxes() {
    return state.boxes;
}
void OnMessageBox(std::function<int(const MessageBoxRecord&)> handler) {
    state.boxHandler = std::move(handler);
}

void SetKeepPresents(bool on) {
    state.keepPresents = on;
}
int PresentCount() {
    return state.presents;
}
const Page& LastPresent() {
    return state.lastPresent;
}

void OnPump(std::function<void(int)> handler) {
    state.pumpHandler = std::move(handler);
}
void RequestClose() {
    state.closeRequested = true;
}

bool CursorVisible() {
    return state.cursorVisible;
}

bool DisplayModeSet() {
    return state.modeSet;
}

} // namespace scripted
