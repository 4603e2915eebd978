// The display: Flip and Restore on the chain, display modes, the display taken away by another
// program and given back, and the end of the window and the objects.
#include "harness.h"

namespace {

constexpr WORD Blue = 0x001F;
constexpr WORD Green = 0x07E0;
constexpr WORD Title = 0x7BEF;

// The lost state of the chain and of an off-screen surface, by IsLost.
std::string Losses(const Stage& stage, LPDIRECTDRAWSURFACE4 plain) {
    auto lost = [](LPDIRECTDRAWSURFACE4 s) { return s->IsLost() == DD_OK ? "kept" : "lost"; };
    return Text("front %s, back %s, plain %s", lost(stage.front), lost(stage.back), lost(plain));
}

std::string Pixel(DWORD pixel) {
    return pixel == NoPixel ? std::string("unreadable")
                            : Text("%04X", static_cast<unsigned>(pixel));
}

// The title surface of the mode and display cases, kept from one group to the next.
LPDIRECTDRAWSURFACE4 title = nullptr;

// What the program waits for after another program takes the display, and after it gives it
// back: the cooperative level's answer changing.
LPDIRECTDRAW4 waited = nullptr;

bool LevelRefused() {
    return waited->TestCooperativeLevel() != DD_OK;
}

bool LevelGranted() {
    return waited->TestCooperativeLevel() == DD_OK;
}

} // namespace

void FlipCases(Stage& stage) {
    LPDIRECTDRAWSURFACE4 plain = nullptr;
    if (CreatePlain(stage.dd, 64, 32, &plain) != DD_OK) {
        Report("flip.plain", "CreateSurface(64 x 32)", "failed", "-");
        return;
    }
    Report("flip.lost-at-start", "IsLost", Name(stage.front->IsLost()), Losses(stage, plain));

    HRESULT result = stage.dd->FlipToGDISurface();
    Report("flip.to-gdi", "FlipToGDISurface", Name(result), "-");
    Fill(stage.front, nullptr, Green);
    Fill(stage.back, nullptr, Blue);
    result = stage.front->Flip(nullptr, DDFLIP_WAIT);
    Report("flip.chain", "Flip", Name(result),
           "front " + Pixel(PixelAt(stage.front, 5, 5)) + ", back " +
               Pixel(PixelAt(stage.back, 5, 5)));
    result = stage.dd->FlipToGDISurface();
    Report("flip.to-gdi-after-flip", "FlipToGDISurface", Name(result),
           "front " + Pixel(PixelAt(stage.front, 5, 5)));

    result = stage.front->Flip(stage.back, DDFLIP_WAIT);
    Report("flip.to-back-buffer", "Flip(back buffer)", Name(result),
           "front " + Pixel(PixelAt(stage.front, 5, 5)));
    result = stage.front->Flip(plain, DDFLIP_WAIT);
    Report("flip.to-plain", "Flip(off-screen surface)", Name(result), "-");
    result = stage.back->Flip(nullptr, DDFLIP_WAIT);
    Report("flip.on-back-buffer", "Flip on the back buffer", Name(result), "-");
    result = plain->Flip(nullptr, DDFLIP_WAIT);
    Report("flip.on-plain", "Flip on an off-screen surface", Name(result), "-");

    DDSURFACEDESC2 desc;
    ZeroMemory(&desc, sizeof desc);
    desc.dwSize = sizeof desc;
    if (stage.back->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr) == DD_OK) {
        result = stage.front->Flip(nullptr, DDFLIP_WAIT);
        stage.back->Unlock(nullptr);
        Report("flip.back-locked", "Flip", Name(result), "-");
    }
    // A restore of what is not lost keeps its pixels.
    Fill(stage.back, nullptr, Blue);
    Fill(plain, nullptr, Green);
    result = stage.front->Restore();
    Report("restore.chain-not-lost", "Restore", Name(result),
           "back " + Pixel(PixelAt(stage.back, 5, 5)));
    result = plain->Restore();
    Report("restore.plain-not-lost", "Restore", Name(result),
           "plain " + Pixel(PixelAt(plain, 5, 5)));

    DDSCAPS2 caps;
    ZeroMemory(&caps, sizeof caps);
    caps.dwCaps = DDSCAPS_BACKBUFFER;
    LPDIRECTDRAWSURFACE4 attached = nullptr;
    result = stage.front->GetAttachedSurface(&caps, &attached);
    Report("attached.back-of-front", "GetAttachedSurface(DDSCAPS_BACKBUFFER)", Name(result),
           attached == stage.back ? "the back buffer" : "another surface");
    if (result == DD_OK)
        attached->Release();
    attached = stage.front; // anything but null: does a refusal empty it?
    result = plain->GetAttachedSurface(&caps, &attached);
    Report("attached.back-of-plain", "GetAttachedSurface(DDSCAPS_BACKBUFFER)", Name(result),
           attached ? "out kept" : "out emptied");
    if (result == DD_OK)
        attached->Release();
    plain->Release();
}

void ModeCases(Stage& stage) {
    if (CreatePlain(stage.dd, 700, 120, &title) != DD_OK) {
        Report("mode.title", "CreateSurface(700 x 120)", "failed", "-");
        return;
    }
    Fill(title, nullptr, Title);

    HRESULT result = stage.dd->SetDisplayMode(800, 600, 16, 0, 0);
    Report("mode.same-again", "SetDisplayMode(800, 600, 16)", Name(result), Losses(stage, title));
    result = stage.dd->SetDisplayMode(801, 601, 16, 0, 0);
    Report("mode.missing-size", "SetDisplayMode(801, 601, 16)", Name(result), Losses(stage, title));
    result = stage.dd->SetDisplayMode(800, 600, 24, 0, 0);
    Report("mode.missing-depth", "SetDisplayMode(800, 600, 24)", Name(result),
           Losses(stage, title));

    // A real change of mode takes every surface's memory away.
    result = stage.dd->SetDisplayMode(640, 480, 16, 0, 0);
    Report("mode.other", "SetDisplayMode(640, 480, 16)", Name(result), Losses(stage, title));
    result = stage.front->Restore();
    Report("mode.restore-in-other", "Restore", Name(result), Losses(stage, title));
    result = Fill(stage.back, nullptr, Blue);
    Report("mode.fill-lost", "Blt(colour fill)", Name(result), "-");
    result = stage.dd->SetDisplayMode(800, 600, 16, 0, 0);
    Report("mode.game-again", "SetDisplayMode(800, 600, 16)", Name(result), Losses(stage, title));
    result = stage.front->Restore();
    Report("mode.restore-chain", "Restore", Name(result), Losses(stage, title));

    // The title is still lost: as a source, as a lock, as a fill.
    RECT from = {0, 0, 700, 120};
    RECT to = {49, 1, 750, 122};
    result = stage.back->Blt(&to, title, &from, DDBLT_WAIT, nullptr);
    Report("mode.copy-lost-source", "Blt(lost source)", Name(result), "-");
    DDSURFACEDESC2 desc;
    ZeroMemory(&desc, sizeof desc);
    desc.dwSize = sizeof desc;
    result = title->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr);
    Report("mode.lock-lost", "Lock", Name(result), "then Unlock " + Name(title->Unlock(nullptr)));
    result = title->Restore();
    Report("mode.restore-title", "Restore", Name(result), Losses(stage, title));
    result = stage.front->Flip(nullptr, DDFLIP_WAIT);
    Report("mode.flip-after", "Flip", Name(result), "-");
}

void TakenAwayCases(Stage& stage) {
    if (!title)
        return;
    Fill(stage.back, nullptr, Blue);
    HRESULT result = stage.dd->TestCooperativeLevel();
    Report("away.level-before", "TestCooperativeLevel", Name(result), "-");
    waited = stage.dd;
    TakeDisplay(stage.window, LevelRefused);
    Report("away.taken", "another program takes the display", "-", Losses(stage, title));
    result = stage.dd->TestCooperativeLevel();
    Report("away.level", "TestCooperativeLevel", Name(result), "-");
    result = stage.dd->FlipToGDISurface();
    Report("away.flip-to-gdi", "FlipToGDISurface", Name(result), "-");

    result = Fill(stage.back, nullptr, Green);
    Report("away.fill-back", "Blt(colour fill)", Name(result), "-");
    HDC dc = nullptr;
    result = stage.back->GetDC(&dc);
    Report("away.getdc-back", "GetDC", Name(result), "-");
    // With no context to draw with, the game draws no text and gives nothing back.
    const bool held = result == DD_OK;
    const BOOL drawn = held && TextOutA(dc, 10, 10, "Score: 0", 8);
    Report("away.text-back", "TextOutA", held ? Bool(drawn) : "not called", "-");
    Report("away.releasedc-back", "ReleaseDC",
           held ? Name(stage.back->ReleaseDC(dc)) : "not called", "-");
    DDSURFACEDESC2 desc;
    ZeroMemory(&desc, sizeof desc);
    desc.dwSize = sizeof desc;
    result = stage.back->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr);
    Report("away.lock-back", "Lock", Name(result),
           "then Unlock " + Name(stage.back->Unlock(nullptr)));
    RECT from = {0, 0, 700, 120};
    RECT to = {49, 1, 750, 122};
    result = stage.back->Blt(&to, title, &from, DDBLT_WAIT, nullptr);
    Report("away.copy-title", "Blt(title to back buffer)", Name(result), "-");
    result = stage.front->Flip(nullptr, DDFLIP_WAIT);
    Report("away.flip", "Flip", Name(result), "-");
    result = stage.front->Restore();
    Report("away.restore", "Restore", Name(result), Losses(stage, title));
    result = title->Restore();
    Report("away.restore-title", "Restore(title)", Name(result), Losses(stage, title));
    result = stage.dd->SetDisplayMode(800, 600, 16, 0, 0);
    Report("away.set-mode", "SetDisplayMode(800, 600, 16)", Name(result), "-");
    result = stage.front->Restore();
    Report("away.restore-after-mode", "Restore", Name(result), Losses(stage, title));

    GiveDisplay(stage.window, LevelGranted);
    Report("back.given", "the other program gives the display back", "-", Losses(stage, title));
    result = stage.dd->TestCooperativeLevel();
    Report("back.level", "TestCooperativeLevel", Name(result), "-");
    result = title->Restore();
    Report("back.restore-title-first", "Restore(title)", Name(result), Losses(stage, title));
    result = stage.front->Restore();
    Report("back.restore", "Restore", Name(result), Losses(stage, title));
    result = stage.dd->SetDisplayMode(800, 600, 16, 0, 0);
    Report("back.set-mode", "SetDisplayMode(800, 600, 16)", Name(result), Losses(stage, title));
    result = stage.front->Restore();
    Report("back.restore-after-mode", "Restore", Name(result), Losses(stage, title));
    result = title->Restore();
    Report("back.restore-title", "Restore(title)", Name(result), Losses(stage, title));
    result = stage.back->GetDC(&dc);
    Report("back.getdc", "GetDC", Name(result), "-");
    if (result == DD_OK) {
        result = stage.back->ReleaseDC(dc);
        Report("back.releasedc", "ReleaseDC", Name(result), "-");
    }
    result = Fill(stage.back, nullptr, Green);
    Report("back.fill", "Blt(colour fill)", Name(result),
           "back " + Pixel(PixelAt(stage.back, 5, 5)));
    result = stage.front->Flip(nullptr, DDFLIP_WAIT);
    Report("back.flip", "Flip", Name(result), "front " + Pixel(PixelAt(stage.front, 5, 5)));
    result = stage.dd->FlipToGDISurface();
    Report("back.flip-to-gdi", "FlipToGDISurface", Name(result), "-");
    result = stage.front->Flip(nullptr, DDFLIP_WAIT);
    Report("back.flip-after-gdi", "Flip", Name(result), "-");
    title->Release();
    title = nullptr;
}

void EndCases(Stage& stage) {
    // A second primary beside the game's.
    DDSURFACEDESC2 desc;
    ZeroMemory(&desc, sizeof desc);
    desc.dwSize = sizeof desc;
    desc.dwFlags = DDSD_CAPS | DDSD_BACKBUFFERCOUNT;
    desc.dwBackBufferCount = 1;
    desc.ddsCaps.dwCaps = DDSCAPS_PRIMARYSURFACE | DDSCAPS_FLIP | DDSCAPS_COMPLEX;
    LPDIRECTDRAWSURFACE4 second = nullptr;
    HRESULT made = stage.dd->CreateSurface(&desc, &second, nullptr);
    Report("end.second-chain", "CreateSurface(primary, one back buffer)", Name(made), "-");
    if (made == DD_OK)
        second->Release();

    // Destroying the window under the exclusive mode.
    const BOOL destroyed = DestroyWindow(stage.window);
    PumpMessages();
    Report("end.destroy-window", "DestroyWindow", destroyed ? "TRUE" : "FALSE",
           Losses(stage, stage.back));
    HRESULT result = stage.front->Flip(nullptr, DDFLIP_WAIT);
    Report("end.flip-without-window", "Flip", Name(result), "-");
    result = stage.front->Restore();
    Report("end.restore-without-window", "Restore", Name(result), "-");
    result = stage.dd->TestCooperativeLevel();
    Report("end.level-without-window", "TestCooperativeLevel", Name(result), "-");
    result = stage.dd->SetDisplayMode(800, 600, 16, 0, 0);
    Report("end.mode-without-window", "SetDisplayMode(800, 600, 16)", Name(result), "-");
    result = stage.front->Restore();
    Report("end.restore-after-mode", "Restore", Name(result), "-");
    result = stage.front->Flip(nullptr, DDFLIP_WAIT);
    Report("end.flip-after-mode", "Flip", Name(result), "-");

    const ULONG backLeft = stage.back->Release();
    Report("end.release-back", "Release(back buffer)",
           Text("%lu", static_cast<unsigned long>(backLeft)), "-");
    const ULONG frontLeft = stage.front->Release();
    Report("end.release-front", "Release(front)",
           Text("%lu", static_cast<unsigned long>(frontLeft)), "-");
    const ULONG ddLeft = stage.dd->Release();
    Report("end.release-object", "Release(IDirectDraw4)",
           Text("%lu", static_cast<unsigned long>(ddLeft)), "-");
    stage = Stage();
}
