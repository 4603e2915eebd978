// Sets the stage as the game does at start-up, then runs the groups in order. Each setup step
// is a case of its own.
#include "harness.h"

namespace {

LRESULT CALLBACK StageProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcA(window, message, wParam, lParam);
}

bool SetStage(Stage& stage) {
    WNDCLASSEXA windowClass;
    ZeroMemory(&windowClass, sizeof windowClass);
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = StageProc;
    windowClass.lpszClassName = "ConformanceStage";
    if (!RegisterClassExA(&windowClass)) {
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
    Report("setup.create", "DirectDrawCreate", Name(result), "-");
    if (result != DD_OK)
        return false;
    result = first->QueryInterface(IID_IDirectDraw4, reinterpret_cast<LPVOID*>(&stage.dd));
    first->Release();
    Report("setup.query-4", "QueryInterface(IID_IDirectDraw4)", Name(result), "-");
    if (result != DD_OK)
        return false;
    result = stage.dd->SetCooperativeLevel(stage.window,
                                           DDSCL_FULLSCREEN | DDSCL_ALLOWREBOOT | DDSCL_EXCLUSIVE);
    Report("setup.level", "SetCooperativeLevel(exclusive)", Name(result), "-");
    result = stage.dd->SetDisplayMode(800, 600, 16, 0, 0);
    Report("setup.mode", "SetDisplayMode(800, 600, 16)", Name(result), "-");
    if (result != DD_OK)
        return false;

    DDSURFACEDESC2 desc;
    ZeroMemory(&desc, sizeof desc);
    desc.dwSize = sizeof desc;
    desc.dwFlags = DDSD_CAPS | DDSD_BACKBUFFERCOUNT;
    desc.dwBackBufferCount = 1;
    desc.ddsCaps.dwCaps = DDSCAPS_PRIMARYSURFACE | DDSCAPS_FLIP | DDSCAPS_COMPLEX;
    result = stage.dd->CreateSurface(&desc, &stage.front, nullptr);
    Report("setup.chain", "CreateSurface(primary, one back buffer)", Name(result), "-");
    if (result != DD_OK)
        return false;
    desc.ddsCaps.dwCaps = DDSCAPS_BACKBUFFER;
    result = stage.front->GetAttachedSurface(&desc.ddsCaps, &stage.back);
    Report("setup.back-buffer", "GetAttachedSurface(DDSCAPS_BACKBUFFER)", Name(result), "-");
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
    ObjectCases(stage);
    WindowCases(stage);
    ModeCases(stage);
    TakenAwayCases(stage);
    EndCases(stage);
    ShowCursor(TRUE);
    return 0;
}
