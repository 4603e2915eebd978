// The display: Flip and Restore on the chain, display modes, the display taken away by another
// program and given back, and the end of the window and the objects.
#include "harness.h"

namespace {

constexpr WORD Blue = 0x001F;
constexpr WORD Green = 0x07E0;
constexpr WORD Title = 0x7BEF;

// The lost state of the chain and of an off-screen surface, by IsLost.
std::string Losses(const Stage& stage, Surface plain) {
    auto lost = [](Surface s) { return s->IsLost() == DD_OK ? "kept" : "lost"; };
    return Text("front %s, back %s, plain %s", lost(stage.front), lost(stage.back), lost(plain));
}

// The title surface of the mode and display cases, kept from one group to the next.
Surface title = nullptr;

// What the program waits for after another program takes the display, and after it gives it
// back: the cooperative level's answer changing.
LPDIRECTDRAW4 waited = nullptr;

bool LevelRefused() {
    return waited->TestCooperativeLevel() != DD_OK;
}

bool LevelGranted() {
    return waited->TestCooperativeLevel() == DD_OK;
}

RECT titleFrom = {0, 0, 700, 120};
RECT titleTo = {49, 1, 750, 122};

} // namespace

void FlipCases(Stage& stage) {
    Surface plain = nullptr;
    if (CreatePlain(stage.dd, 64, 32, &plain) != DD_OK) {
        Report("flip.plain", "CreateSurface(64 x 32)", "failed", "-");
        return;
    }
    const State front = [&] { return "front " + PixelText(stage.front, 5, 5); };

    // The page GDI draws on is the one the primary was made with: showing it takes a flip only
    // when the other page is showing.
    Case("flip.to-gdi", "FlipToGDISurface", stage.dd->FlipToGDISurface());
    Fill(stage.front, nullptr, Green);
    Fill(stage.back, nullptr, Blue);
    Case("flip.chain", "Flip", stage.front->Flip(nullptr, DDFLIP_WAIT),
         [&] { return front() + ", back " + PixelText(stage.back, 5, 5); });
    Case("flip.to-gdi-after-flip", "FlipToGDISurface", stage.dd->FlipToGDISurface(), front);

    // Only the front of the chain flips, and only to its back buffer.
    Case("flip.to-back-buffer", "Flip(back buffer)", stage.front->Flip(stage.back, DDFLIP_WAIT),
         front);
    Case("flip.to-plain", "Flip(off-screen surface)", stage.front->Flip(plain, DDFLIP_WAIT));
    Case("flip.on-plain", "Flip on an off-screen surface", plain->Flip(nullptr, DDFLIP_WAIT));
    DDSURFACEDESC2 desc = Description();
    if (stage.back->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr) == DD_OK) {
        const HRESULT result = stage.front->Flip(nullptr, DDFLIP_WAIT);
        stage.back->Unlock(nullptr);
        Case("flip.back-locked", "Flip", result);
    }

    // A restore of what is not lost keeps its pixels.
    Fill(stage.back, nullptr, Blue);
    Fill(plain, nullptr, Green);
    Case("restore.chain-not-lost", "Restore", stage.front->Restore(),
         [&] { return "back " + PixelText(stage.back, 5, 5); });
    Case("restore.plain-not-lost", "Restore", plain->Restore(),
         [&] { return "plain " + PixelText(plain, 5, 5); });

    DDSCAPS2 caps;
    ZeroMemory(&caps, sizeof caps);
    caps.dwCaps = DDSCAPS_BACKBUFFER;
    Surface attached = stage.front; // anything but null: does a refusal empty it?
    const HRESULT result = plain->GetAttachedSurface(&caps, &attached);
    Case("attached.back-of-plain", "GetAttachedSurface(DDSCAPS_BACKBUFFER)", result,
         [&] { return attached ? "out kept" : "out emptied"; });
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
    const State losses = [&] { return Losses(stage, title); };

    // Every mode set takes every surface's memory away, even the mode in force.
    Case("mode.same-again", "SetDisplayMode(800, 600, 16)",
         stage.dd->SetDisplayMode(800, 600, 16, 0, 0), losses);
    Case("mode.missing-size", "SetDisplayMode(801, 601, 16)",
         stage.dd->SetDisplayMode(801, 601, 16, 0, 0), losses);
    Case("mode.missing-depth", "SetDisplayMode(800, 600, 24)",
         stage.dd->SetDisplayMode(800, 600, 24, 0, 0), losses);
    Case("mode.other", "SetDisplayMode(640, 480, 16)", stage.dd->SetDisplayMode(640, 480, 16, 0, 0),
         losses);
    // The screen's pages come back only in the mode they were made for.
    Case("mode.restore-in-other", "Restore", stage.front->Restore(), losses);
    Case("mode.fill-lost", "Blt(colour fill)", Fill(stage.back, nullptr, Blue));
    Case("mode.game-again", "SetDisplayMode(800, 600, 16)",
         stage.dd->SetDisplayMode(800, 600, 16, 0, 0), losses);
    Case("mode.restore-chain", "Restore", stage.front->Restore(), losses);
    // The title stays lost until its own Restore.
    Case("mode.copy-lost-source", "Blt(lost source)",
         stage.back->Blt(&titleTo, title, &titleFrom, DDBLT_WAIT, nullptr));
    Case("mode.restore-title", "Restore", title->Restore(), losses);
    // Restored, the chain flips again. Under Wine this flip also decides which page shows when
    // the display is taken away, and with it what FlipToGDISurface and a refused Lock do then.
    Case("mode.flip-after", "Flip", stage.front->Flip(nullptr, DDFLIP_WAIT));
}

void TakenAwayCases(Stage& stage) {
    if (!title)
        return;
    const State losses = [&] { return Losses(stage, title); };
    Fill(stage.back, nullptr, Blue);
    waited = stage.dd;
    TakeDisplay(stage.window, LevelRefused);
    Report("away.taken", "another program takes the display", "-", losses());
    Case("away.level", "TestCooperativeLevel", stage.dd->TestCooperativeLevel());
    Case("away.flip-to-gdi", "FlipToGDISurface", stage.dd->FlipToGDISurface());

    // Drawing while the display is away.
    Case("away.fill-back", "Blt(colour fill)", Fill(stage.back, nullptr, Green));
    HDC dc = nullptr;
    const HRESULT got = stage.back->GetDC(&dc);
    Case("away.getdc-back", "GetDC", got);
    // With no context to draw with, the game draws no text and gives nothing back.
    const bool held = got == DD_OK;
    const BOOL drawn = held && TextOutA(dc, 10, 10, "Score: 0", 8);
    Report("away.text-back", "TextOutA", held ? Bool(drawn) : "not called", "-");
    Report("away.releasedc-back", "ReleaseDC",
           held ? Name(stage.back->ReleaseDC(dc)) : "not called", "-");
    DDSURFACEDESC2 desc = Description();
    Case("away.lock-back", "Lock", stage.back->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr),
         [&] { return "then Unlock " + Name(stage.back->Unlock(nullptr)); });
    Case("away.copy-title", "Blt(title to back buffer)",
         stage.back->Blt(&titleTo, title, &titleFrom, DDBLT_WAIT, nullptr));
    Case("away.flip", "Flip", stage.front->Flip(nullptr, DDFLIP_WAIT));

    // Nothing comes back while the display is away, whatever the mode.
    Case("away.restore", "Restore", stage.front->Restore(), losses);
    Case("away.restore-title", "Restore(title)", title->Restore(), losses);
    Case("away.set-mode", "SetDisplayMode(800, 600, 16)",
         stage.dd->SetDisplayMode(800, 600, 16, 0, 0));
    Case("away.restore-after-mode", "Restore", stage.front->Restore(), losses);

    // Given back: the title at once, the chain once the game's mode is set again.
    GiveDisplay(stage.window, LevelGranted);
    Report("back.given", "the other program gives the display back", "-", losses());
    Case("back.level", "TestCooperativeLevel", stage.dd->TestCooperativeLevel());
    Case("back.restore-title-first", "Restore(title)", title->Restore(), losses);
    Case("back.restore", "Restore", stage.front->Restore(), losses);
    Case("back.set-mode", "SetDisplayMode(800, 600, 16)",
         stage.dd->SetDisplayMode(800, 600, 16, 0, 0), losses);
    Case("back.restore-after-mode", "Restore", stage.front->Restore(), losses);
    Case("back.restore-title", "Restore(title)", title->Restore(), losses);
    Case("back.fill", "Blt(colour fill)", Fill(stage.back, nullptr, Green),
         [&] { return "back " + PixelText(stage.back, 5, 5); });
    Case("back.flip", "Flip", stage.front->Flip(nullptr, DDFLIP_WAIT),
         [&] { return "front " + PixelText(stage.front, 5, 5); });
    title->Release();
    title = nullptr;
}

void EndCases(Stage& stage) {
    // A second primary beside the game's.
    Surface second = nullptr;
    const HRESULT made = CreateChain(stage.dd, &second);
    Case("end.second-chain", "CreateSurface(primary, one back buffer)", made);
    if (made == DD_OK)
        second->Release();

    // Destroying the window under the exclusive mode gives the screen back for good.
    const BOOL destroyed = PostMessageA(stage.window, WM_CLOSE, 0, 0);
    PumpMessages();
    Report("end.destroy-window", "DestroyWindow", Bool(destroyed), Losses(stage, stage.back));
    Case("end.flip-without-window", "Flip", stage.front->Flip(nullptr, DDFLIP_WAIT));
    Case("end.restore-without-window", "Restore", stage.front->Restore());
    Case("end.level-without-window", "TestCooperativeLevel", stage.dd->TestCooperativeLevel());
    Case("end.mode-without-window", "SetDisplayMode(800, 600, 16)",
         stage.dd->SetDisplayMode(800, 600, 16, 0, 0));

    // The chain's back buffer holds one reference of the chain's own.
    Report("end.release-back", "Release(back buffer)", References(stage.back->Release()), "-");
    Report("end.release-front", "Release(front)", References(stage.front->Release()), "-");
    Report("end.release-object", "Release(IDirectDraw4)", References(stage.dd->Release()), "-");
    stage = Stage();
}
