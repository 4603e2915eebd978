// Sets the stage as the game does at start-up, then runs the groups in order. Each setup step
// is a case of its own.
#include "harness.h"

namespace {

bool SetStage(Stage& stage) {
    if (!RegisterWindowClass("ConformanceStage", DefWindowProcA)) {
        Report("setup.register", "RegisterClassExA", "0", "-");
        return false;
    }
    stage.window = CreateWindowExA(0, "ConformanceStage", "Conformance", WS_POPUP | WS_VISIBLE, 0,
                                   0, 1024, 768, nullptr, nullptr, nullptr, nullptr);
    if (!stage.window) {
        Report("setup.window", "CreateWindowExA", "null", "-");
        return false;
    }
    ShowCursor(FALSE);
    PumpMessages();

    LPDIRECTDRAW first = nullptr;
    HRESULT result = DirectDrawCreate(nullptr, &first, nullptr);
    Case("setup.create", "DirectDrawCreate", result);
    if (result != DD_OK)
        return false;
    result = first->QueryInterface(IID_IDirectDraw4, reinterpret_cast<LPVOID*>(&stage.dd));
    first->Release();
    Case("setup.query-4", "QueryInterface(IID_IDirectDraw4)", result);
    if (result != DD_OK)
        return false;
    Case("setup.level", "SetCooperativeLevel(exclusive)",
         stage.dd->SetCooperativeLevel(stage.window,
                                       DDSCL_FULLSCREEN | DDSCL_ALLOWREBOOT | DDSCL_EXCLUSIVE));
    result = stage.dd->SetDisplayMode(800, 600, 16, 0, 0);
    Case("setup.mode", "SetDisplayMode(800, 600, 16)", result);
    if (result != DD_OK)
        return false;

    result = CreateChain(stage.dd, &stage.front);
    Case("setup.chain", "CreateSurface(primary, one back buffer)", result);
    if (result != DD_OK)
        return false;
    DDSCAPS2 caps;
    ZeroMemory(&caps, sizeof caps);
    caps.dwCaps = DDSCAPS_BACKBUFFER;
    result = stage.front->GetAttachedSurface(&caps, &stage.back);
    Case("setup.back-buffer", "GetAttachedSurface(DDSCAPS_BACKBUFFER)", result);
    PumpMessages();
    return result == DD_OK;
}

} // namespace

int RunConformance() {
    Stage stage;
    if (!SetStage(stage))
        return 1;
    CreateCases(stage);
    FillCases(stage);
    StretchCases(stage);
    LockCases(stage);
    TextCases(stage);
    FlipCases(stage);
    ModeCases(stage);
    TakenAwayCases(stage);
    EndCases(stage);
    ShowCursor(TRUE);
    return 0;
}
