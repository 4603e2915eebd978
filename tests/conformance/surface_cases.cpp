// CreateSurface of every kind of size the title loader can ask for, and the rules of Lock,
// Unlock, GetDC and ReleaseDC on one surface.
#include "harness.h"

namespace {

// Sizes as a file header holds them: signed, and handed to the driver as they stand.
struct SizeCase {
    const char* name;
    LONG width;
    LONG height;
};

const SizeCase sizes[] = {
    {"create.zero-width", 0, 120},
    {"create.negative-height", 700, -120}, // a top-down file
    {"create.negative-width", -700, 120},
    {"create.one-pixel", 1, 1},
    {"create.title", 700, 120},
    {"create.large", 8192, 2048},
    {"create.largest-square", 16384, 16384},
    {"create.long-row", 100000, 1},
    {"create.huge", 100000, 100000},
    {"create.wrapping", 65536, 65536}, // 2^33 bytes: nothing at all in 32 bits
    {"create.absurd", 0x40000000, 0x40000000},
};

// The description itself: what its flags leave out, its size field, its caps.
struct DescriptionCase {
    const char* name;
    const char* call;
    DWORD size;
    DWORD flags;
    DWORD caps;
};

const DescriptionCase descriptions[] = {
    {"create.no-height", "CreateSurface(width only)", sizeof(DDSURFACEDESC2),
     DDSD_CAPS | DDSD_WIDTH, DDSCAPS_OFFSCREENPLAIN},
    {"create.no-size-field", "CreateSurface(dwSize 0)", 0, DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT,
     DDSCAPS_OFFSCREENPLAIN},
    {"create.back-buffer-caps", "CreateSurface(back buffer caps)", sizeof(DDSURFACEDESC2),
     DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT, DDSCAPS_BACKBUFFER | DDSCAPS_OFFSCREENPLAIN},
};

// After a creation: what a lock of the new surface shows.
std::string LockState(Surface surface) {
    DDSURFACEDESC2 desc = Description();
    const HRESULT locked = surface->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr);
    if (locked != DD_OK)
        return "lock " + Name(locked);
    surface->Unlock(nullptr);
    const bool pitchHolds = desc.lPitch >= 0 && static_cast<DWORD>(desc.lPitch) / 2 >= desc.dwWidth;
    return Text("lock DD_OK %lu x %lu, pitch %s", static_cast<unsigned long>(desc.dwWidth),
                static_cast<unsigned long>(desc.dwHeight), pitchHolds ? "holds a row" : "short");
}

} // namespace

void CreateCases(Stage& stage) {
    for (const SizeCase& c : sizes) {
        Surface made = stage.back; // anything but null: does a refusal empty it?
        const HRESULT result =
            CreatePlain(stage.dd, static_cast<DWORD>(c.width), static_cast<DWORD>(c.height), &made);
        std::string state;
        if (result == DD_OK) {
            state = LockState(made);
            made->Release();
        } else {
            state = made ? "out kept" : "out emptied";
        }
        Report(c.name,
               Text("CreateSurface(%ld x %ld)", static_cast<long>(c.width),
                    static_cast<long>(c.height)),
               Name(result), state);
    }
    for (const DescriptionCase& c : descriptions) {
        DDSURFACEDESC2 desc = Description();
        desc.dwSize = c.size;
        desc.dwFlags = c.flags;
        desc.dwWidth = 64;
        desc.dwHeight = 32;
        desc.ddsCaps.dwCaps = c.caps;
        Surface made = nullptr;
        const HRESULT result = stage.dd->CreateSurface(&desc, &made, nullptr);
        Case(c.name, c.call, result);
        if (result == DD_OK)
            made->Release();
    }
}

namespace {

// One call on a fresh 64 x 32 surface that was first prepared (locked, given a device context,
// given one and giving it back) or not; then what a Lock finds.
struct BusyCase {
    const char* name;
    HRESULT (*prepare)(Surface s); // null: nothing
    const char* call;
    HRESULT (*run)(Surface s);
};

DDSURFACEDESC2 lockDesc;
HDC heldDC = nullptr;
Surface other = nullptr; // a second surface, for copies and foreign contexts

HRESULT Lock(Surface s, RECT* rect) {
    lockDesc = Description();
    return s->Lock(rect, &lockDesc, DDLOCK_WAIT, nullptr);
}

HRESULT LockWhole(Surface s) {
    return Lock(s, nullptr);
}

HRESULT HoldAndGiveBackDC(Surface s) {
    const HRESULT got = s->GetDC(&heldDC);
    return got == DD_OK ? s->ReleaseDC(heldDC) : got;
}

HRESULT GetDCOf(Surface s) {
    return s->GetDC(&heldDC);
}

HRESULT FillWhole(Surface s) {
    return Fill(s, nullptr, 0x1234);
}

HRESULT Unlock(Surface s) {
    return s->Unlock(nullptr);
}

HRESULT ReleaseHeld(Surface s) {
    return s->ReleaseDC(heldDC);
}

HRESULT ReleaseForeign(Surface s) {
    HDC foreign = nullptr;
    const HRESULT got = other->GetDC(&foreign);
    if (got != DD_OK)
        return got;
    const HRESULT result = s->ReleaseDC(foreign);
    other->ReleaseDC(foreign);
    return result;
}

HRESULT LockSizeZero(Surface s) {
    DDSURFACEDESC2 desc = Description();
    desc.dwSize = 0;
    return s->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr);
}

// A lock, or a context, makes the surface busy for everything else until it ends; the state
// after a lock's own call shows that it is refused a second time. A blit into a busy surface
// is one check whatever the blit; so is one out of it.
const BusyCase busy[] = {
    {"lock.unlock-unlocked", nullptr, "Unlock", Unlock},
    {"lock.lock", nullptr, "Lock", LockWhole},
    {"lock.getdc-while-locked", LockWhole, "GetDC", GetDCOf},
    {"lock.fill-while-locked", LockWhole, "Blt(colour fill)", FillWhole},
    {"lock.copy-from-locked", LockWhole, "Blt(from it)",
     [](Surface s) { return other->Blt(nullptr, s, nullptr, DDBLT_WAIT, nullptr); }},
    {"lock.unlock", LockWhole, "Unlock", Unlock},
    {"lock.null-desc", nullptr, "Lock(no description)",
     [](Surface s) { return s->Lock(nullptr, nullptr, DDLOCK_WAIT, nullptr); }},
    {"lock.desc-size-0", nullptr, "Lock(dwSize 0)", LockSizeZero},
    {"dc.getdc", nullptr, "GetDC", GetDCOf},
    {"dc.getdc-again", GetDCOf, "GetDC", GetDCOf},
    {"dc.getdc-null", nullptr, "GetDC(null)", [](Surface s) { return s->GetDC(nullptr); }},
    {"dc.lock-while-dc", GetDCOf, "Lock", LockWhole},
    {"dc.fill-while-dc", GetDCOf, "Blt(colour fill)", FillWhole},
    {"dc.unlock-while-dc", GetDCOf, "Unlock", Unlock},
    {"dc.releasedc", GetDCOf, "ReleaseDC", ReleaseHeld},
    {"dc.releasedc-foreign", GetDCOf, "ReleaseDC(another surface's context)", ReleaseForeign},
    {"dc.releasedc-again", HoldAndGiveBackDC, "ReleaseDC", ReleaseHeld},
};

// What a Lock finds after the call, unlocked again at once.
std::string LockAfter(Surface s) {
    const HRESULT result = Lock(s, nullptr);
    if (result == DD_OK)
        s->Unlock(nullptr);
    return "then Lock " + Name(result);
}

// Lock of a part: where the pointer it gives lands, found by writing through it. The part is
// checked against the surface's edges as a blit's rectangle is (see the fills), except that
// an empty part is a place to write.
struct PartCase {
    const char* name;
    RECT rect;
};

const PartCase parts[] = {
    {"lock.part-inside", {10, 5, 20, 15}},
    {"lock.part-leaving", {60, 10, 70, 20}},
    {"lock.part-empty", {10, 10, 10, 20}},
    {"lock.part-inverted", {20, 10, 10, 20}},
};

void PartCases(Surface s) {
    for (const PartCase& c : parts) {
        RECT rect = c.rect;
        Fill(s, nullptr, 0);
        const HRESULT result = Lock(s, &rect);
        std::string state = "-";
        if (result == DD_OK) {
            *static_cast<WORD*>(lockDesc.lpSurface) = 0xBEEF;
            s->Unlock(nullptr);
            state = "pointer at " + Describe(Count(s, 0xBEEF));
        }
        Report(c.name, "Lock" + Rect(c.rect), Name(result), state);
    }
}

} // namespace

void LockCases(Stage& stage) {
    if (CreatePlain(stage.dd, 64, 32, &other) != DD_OK) {
        Report("lock.surfaces", "CreateSurface(64 x 32)", "failed", "-");
        return;
    }
    // Each case on a surface of its own, released whatever state the case left it in.
    for (const BusyCase& c : busy) {
        Surface s = nullptr;
        heldDC = nullptr;
        if (CreatePlain(stage.dd, 64, 32, &s) != DD_OK || (c.prepare && c.prepare(s) != DD_OK)) {
            Report(c.name, c.call, "not prepared", "-");
            continue;
        }
        const HRESULT result = c.run(s);
        Report(c.name, c.call, Name(result), LockAfter(s));
        s->Release();
    }
    Surface s = nullptr;
    if (CreatePlain(stage.dd, 64, 32, &s) == DD_OK) {
        PartCases(s);
        s->Release();
    }
    other->Release();
    other = nullptr;
}
