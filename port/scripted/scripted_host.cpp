#include "scripted_host.h"

#include "host.h"
#include "host_calls.h"
#include "test_hooks.h"

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
    LONG pitchPadding = 0;
    std::vector<MessageBoxRecord> boxes;
    std::function<int(const MessageBoxRecord&)> boxHandler;
    bool keepPresents = true;
    int presents = 0;
    Page lastPresent;
    std::function<void(int)> pumpHandler;
    int pumps = 0;
    bool closeRequested = false;
    bool windowOpen = false;
    bool cursorVisible = true;
    bool modeSet = false;
    int modeWidth = 0;
    int modeHeight = 0;
    int modeBpp = 0;
};

State state;

// Every name the port passes to its host, so that a test cannot ask for a failure that never
// comes. Each is set off by spaces.
const char* const knownCalls =
    " DirectDrawCreate QueryInterface Release SetCooperativeLevel SetDisplayMode CreateSurface"
    " TestCooperativeLevel FlipToGDISurface GetAttachedSurface Flip Blt Lock Unlock GetDC"
    " ReleaseDC IsLost Restore RegisterClassExA CreateWindowExA LoadIconA LoadCursorA ShowCursor"
    " PostMessageA PostQuitMessage PeekMessageA TranslateMessage DispatchMessageA DefWindowProcA"
    " MessageBoxA SetTextColor SetBkColor SetBkMode TextOutA Sleep LoadLibraryA GetProcAddress"
    " XInputGetState ";

DWORD Now() {
    return state.clock;
}

void SleepFor(DWORD ms) {
    state.clock += ms;
}

Call Record(const PortCall& call) {
    Call record = {call.name, call.object, {}, {}};
    std::copy(std::begin(call.args), std::end(call.args), record.args.begin());
    for (int i = 0; i < 2; ++i) {
        if (!call.text[i])
            continue;
        if (i == 0 && std::strcmp(call.name, "TextOutA") == 0)
            record.text[i].assign(call.text[i], static_cast<size_t>(call.args[2]));
        else
            record.text[i] = call.text[i];
    }
    return record;
}

bool InFront() {
    return state.inFront;
}

bool KeyDown(int vk) {
    return vk >= 0 && vk < 256 && state.keys[vk];
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

bool OpenWindow(const char*, int, int) {
    state.windowOpen = true;
    return true;
}

void CloseWindow() {
    state.windowOpen = false;
}

void ShowHostCursor(bool visible) {
    state.cursorVisible = visible;
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

bool SetMode(int width, int height, int bpp) {
    state.modeSet = true;
    state.modeWidth = width;
    state.modeHeight = height;
    state.modeBpp = bpp;
    return true;
}

void RestoreMode() {
    state.modeSet = false;
}

LONG SurfacePitch(DWORD width) {
    return static_cast<LONG>(width * 2) + state.pitchPadding;
}

void Present(const WORD* pixels, LONG pitch, int width, int height) {
    ++state.presents;
    if (!state.keepPresents)
        return;
    Page& page = state.lastPresent;
    page.width = width;
    page.height = height;
    page.pixels.resize(static_cast<size_t>(width) * height);
    // Rows without padding are one block.
    if (pitch == static_cast<LONG>(width * sizeof(WORD))) {
        std::copy(pixels, pixels + page.pixels.size(), page.pixels.begin());
        return;
    }
    const BYTE* row = reinterpret_cast<const BYTE*>(pixels);
    for (int y = 0; y < height; ++y, row += pitch) {
        const WORD* src = reinterpret_cast<const WORD*>(row);
        std::copy(src, src + width, page.pixels.begin() + static_cast<ptrdiff_t>(y) * width);
    }
}

long Enter(const PortCall& portCall) {
    const char* call = portCall.name;
    if (state.recording)
        state.calls.push_back(Record(portCall));
    if (state.failures.empty())
        return 0;
    auto it = state.failures.find(call);
    if (it == state.failures.end())
        return 0;
    if (it->second.skip > 0) {
        --it->second.skip;
        return 0;
    }
    long code = it->second.code;
    if (it->second.times > 0 && --it->second.times == 0)
        state.failures.erase(it);
    return code;
}

PortHost MakeHost() {
    PortHost h;
    h.now = Now;
    h.sleep = SleepFor;
    h.keyDown = KeyDown;
    h.messageBox = ShowBox;
    h.openWindow = OpenWindow;
    h.closeWindow = CloseWindow;
    h.showCursor = ShowHostCursor;
    h.pumpEvents = PumpEvents;
    h.setDisplayMode = SetMode;
    h.restoreDisplayMode = RestoreMode;
    h.surfacePitch = SurfacePitch;
    h.present = Present;
    h.enter = Enter;
    h.inFront = InFront;
    h.padState = PadState;
    return h;
}

const PortHost host = MakeHost();

void CheckKnown(const std::string& call) {
    if (call.empty() || call.find(' ') != std::string::npos ||
        !std::strstr(knownCalls, (" " + call + " ").c_str()))
        throw std::invalid_argument("the port makes no call named \"" + call + "\"");
}

} // namespace

void Install() {
    PortSetHost(&host);
    PortReset();
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

void ReleaseKeys() {
    for (bool& key : state.keys)
        key = false;
}

void FailCall(const std::string& call, int times, long code) {
    CheckKnown(call);
    if (times == 0)
        return;
    state.failures[call] = {times, code};
}

void FailCallAfter(const std::string& call, int skip, int times, long code) {
    CheckKnown(call);
    if (times == 0)
        return;
    state.failures[call] = {times, code, skip};
}

void ClearFailures() {
    state.failures.clear();
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
    CheckKnown(call);
    int n = 0;
    for (const Call& c : state.calls)
        if (c.name == call)
            ++n;
    return n;
}

void SetPitchPadding(LONG bytes) {
    state.pitchPadding = bytes;
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

bool WindowOpen() {
    return state.windowOpen;
}
bool CursorVisible() {
    return state.cursorVisible;
}
bool DisplayModeSet() {
    return state.modeSet;
}
int DisplayWidth() {
    return state.modeWidth;
}
int DisplayHeight() {
    return state.modeHeight;
}
int DisplayBitsPerPixel() {
    return state.modeBpp;
}

} // namespace scripted
