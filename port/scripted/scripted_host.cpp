#include "scripted_host.h"

#include "host.h"

#include <map>

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
    std::map<std::string, Failure> failures;
    bool recording = true;
    std::vector<const char*> calls;
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
    std::string caption;
    int windowWidth = 0;
    int windowHeight = 0;
    bool cursorVisible = true;
    bool modeSet = false;
    int modeWidth = 0;
    int modeHeight = 0;
    int modeBpp = 0;
};

State state;

DWORD Now() {
    return state.clock;
}

bool KeyDown(int vk) {
    return vk >= 0 && vk < 256 && state.keys[vk];
}

int ShowBox(HWND owner, const char* text, const char* caption, UINT style) {
    state.boxes.push_back({owner, text, caption, style});
    if (state.boxHandler)
        return state.boxHandler(state.boxes.back());
    return IDOK;
}

bool OpenWindow(const char* caption, int width, int height) {
    state.windowOpen = true;
    state.caption = caption ? caption : "";
    state.windowWidth = width;
    state.windowHeight = height;
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
    const BYTE* row = reinterpret_cast<const BYTE*>(pixels);
    for (int y = 0; y < height; ++y, row += pitch) {
        const WORD* src = reinterpret_cast<const WORD*>(row);
        std::copy(src, src + width, page.pixels.begin() + static_cast<ptrdiff_t>(y) * width);
    }
}

long Enter(const char* call) {
    if (state.recording)
        state.calls.push_back(call);
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

const PortHost host = {Now,        KeyDown, ShowBox,     OpenWindow,   CloseWindow, ShowHostCursor,
                       PumpEvents, SetMode, RestoreMode, SurfacePitch, Present,     Enter};

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
DWORD Clock() {
    return state.clock;
}

void SetKey(int vk, bool down) {
    if (vk >= 0 && vk < 256)
        state.keys[vk] = down;
}

void ReleaseKeys() {
    for (bool& key : state.keys)
        key = false;
}

void FailCall(const std::string& call, int times, long code) {
    if (times == 0)
        return;
    state.failures[call] = {times, code};
}

void FailCallAfter(const std::string& call, int skip, int times, long code) {
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
const std::vector<const char*>& Calls() {
    return state.calls;
}

int CallCount(const std::string& call) {
    int n = 0;
    for (const char* c : state.calls)
        n += call == c;
    return n;
}

void SetPitchPadding(LONG bytes) {
    state.pitchPadding = bytes;
}
void LoseSurfaces() {
    PortLoseSurfaces();
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
std::string WindowCaption() {
    return state.caption;
}
int WindowWidth() {
    return state.windowWidth;
}
int WindowHeight() {
    return state.windowHeight;
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
