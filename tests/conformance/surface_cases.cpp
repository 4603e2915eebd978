// CreateSurface of every size the title loader can ask for, and the rules of Lock, Unlock,
// GetDC and ReleaseDC on one surface.
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
    {"create.zero-height", 700, 0},
    {"create.negative-height", 700, -120}, // a top-down file
    {"create.negative-width", -700, 120},
    {"create.one-pixel", 1, 1},
    {"create.title", 700, 120},
    {"create.large", 8192, 2048},
    {"create.largest-square", 16384, 16384},
    {"create.long-row", 100000, 1},
    {"create.tall-column", 1, 100000},
    {"create.past-square", 16385, 16385},
    {"create.huge", 100000, 100000},
    {"create.wrapping", 65536, 65536}, // 2^33 bytes: nothing at all in 32 bits
    {"create.absurd", 0x40000000, 0x40000000},
};

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
std::string LockState(LPDIRECTDRAWSURFACE4 surface) {
    DDSURFACEDESC2 desc;
    ZeroMemory(&desc, sizeof desc);
    desc.dwSize = sizeof desc;
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
        LPDIRECTDRAWSURFACE4 made = stage.back; // anything but null: does a refusal empty it?
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

    // The description itself: what its flags leave out, its size field, its caps.
    for (const DescriptionCase& c : descriptions) {
        DDSURFACEDESC2 desc;
        ZeroMemory(&desc, sizeof desc);
        desc.dwSize = c.size;
        desc.dwFlags = c.flags;
        desc.dwWidth = 64;
        desc.dwHeight = 32;
        desc.ddsCaps.dwCaps = c.caps;
        LPDIRECTDRAWSURFACE4 made = nullptr;
        const HRESULT result = stage.dd->CreateSurface(&desc, &made, nullptr);
        Report(c.name, c.call, Name(result), "-");
        if (result == DD_OK)
            made->Release();
    }
}

namespace {

// One call on a fresh 64 x 32 surface that was first locked, given a device context (or given
// one back), or neither; then what a Lock finds.
enum class Prepared { Nothing, Locked, DcOut, DcReleased };

struct BusyCase {
    const char* name;
    Prepared prepared;
    const char* call;
    HRESULT (*run)(LPDIRECTDRAWSURFACE4 s);
};

DDSURFACEDESC2 lockDesc;
HDC heldDC = nullptr;
LPDIRECTDRAWSURFACE4 other = nullptr; // a second surface, for copies and foreign contexts

HRESULT Lock(LPDIRECTDRAWSURFACE4 s, RECT* rect) {
    ZeroMemory(&lockDesc, sizeof lockDesc);
    lockDesc.dwSize = sizeof lockDesc;
    return s->Lock(rect, &lockDesc, DDLOCK_WAIT, nullptr);
}

HRESULT LockWhole(LPDIRECTDRAWSURFACE4 s) {
    return Lock(s, nullptr);
}

HRESULT GetDCOf(LPDIRECTDRAWSURFACE4 s) {
    HDC dc = nullptr;
    return s->GetDC(&dc);
}

HRESULT FillWhole(LPDIRECTDRAWSURFACE4 s) {
    return Fill(s, nullptr, 0x1234);
}

HRESULT CopyFrom(LPDIRECTDRAWSURFACE4 s) {
    return other->Blt(nullptr, s, nullptr, DDBLT_WAIT, nullptr);
}

HRESULT CopyTo(LPDIRECTDRAWSURFACE4 s) {
    return s->Blt(nullptr, other, nullptr, DDBLT_WAIT, nullptr);
}

HRESULT Unlock(LPDIRECTDRAWSURFACE4 s) {
    return s->Unlock(nullptr);
}

HRESULT ReleaseHeld(LPDIRECTDRAWSURFACE4 s) {
    return s->ReleaseDC(heldDC);
}

HRESULT ReleaseForeign(LPDIRECTDRAWSURFACE4 s) {
    HDC foreign = nullptr;
    const HRESULT got = other->GetDC(&foreign);
    const HRESULT result = got == DD_OK ? s->ReleaseDC(foreign) : got;
    if (got == DD_OK)
        other->ReleaseDC(foreign);
    return result;
}

HRESULT GetDCNull(LPDIRECTDRAWSURFACE4 s) {
    return s->GetDC(nullptr);
}

HRESULT LockNoDesc(LPDIRECTDRAWSURFACE4 s) {
    return s->Lock(nullptr, nullptr, DDLOCK_WAIT, nullptr);
}

HRESULT LockSizeZero(LPDIRECTDRAWSURFACE4 s) {
    DDSURFACEDESC2 desc;
    ZeroMemory(&desc, sizeof desc);
    return s->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr);
}

const BusyCase busy[] = {
    {"lock.unlock-unlocked", Prepared::Nothing, "Unlock", Unlock},
    {"lock.lock", Prepared::Nothing, "Lock", LockWhole},
    {"lock.lock-again", Prepared::Locked, "Lock", LockWhole},
    {"lock.getdc-while-locked", Prepared::Locked, "GetDC", GetDCOf},
    {"lock.fill-while-locked", Prepared::Locked, "Blt(colour fill)", FillWhole},
    {"lock.copy-from-locked", Prepared::Locked, "Blt(from it)", CopyFrom},
    {"lock.copy-to-locked", Prepared::Locked, "Blt(to it)", CopyTo},
    {"lock.unlock", Prepared::Locked, "Unlock", Unlock},
    {"lock.null-desc", Prepared::Nothing, "Lock(no description)", LockNoDesc},
    {"lock.desc-size-0", Prepared::Nothing, "Lock(dwSize 0)", LockSizeZero},
    {"dc.getdc", Prepared::Nothing, "GetDC", GetDCOf},
    {"dc.getdc-again", Prepared::DcOut, "GetDC", GetDCOf},
    {"dc.getdc-null", Prepared::Nothing, "GetDC(null)", GetDCNull},
    {"dc.lock-while-dc", Prepared::DcOut, "Lock", LockWhole},
    {"dc.fill-while-dc", Prepared::DcOut, "Blt(colour fill)", FillWhole},
    {"dc.copy-from-dc", Prepared::DcOut, "Blt(from it)", CopyFrom},
    {"dc.unlock-while-dc", Prepared::DcOut, "Unlock", Unlock},
    {"dc.releasedc", Prepared::DcOut, "ReleaseDC", ReleaseHeld},
    {"dc.releasedc-foreign", Prepared::DcOut, "ReleaseDC(another surface's context)",
     ReleaseForeign},
    {"dc.releasedc-again", Prepared::DcReleased, "ReleaseDC", ReleaseHeld},
    {"dc.releasedc-none", Prepared::Nothing, "ReleaseDC(null)",
     [](LPDIRECTDRAWSURFACE4 s) { return s->ReleaseDC(nullptr); }},
};

bool Prepare(LPDIRECTDRAWSURFACE4 s, Prepared prepared) {
    heldDC = nullptr;
    switch (prepared) {
    case Prepared::Nothing:
        return true;
    case Prepared::Locked:
        return Lock(s, nullptr) == DD_OK;
    case Prepared::DcOut:
        return s->GetDC(&heldDC) == DD_OK;
    case Prepared::DcReleased:
        return s->GetDC(&heldDC) == DD_OK && s->ReleaseDC(heldDC) == DD_OK;
    }
    return false;
}

// What a Lock finds after the call, unlocked again at once.
std::string LockAfter(LPDIRECTDRAWSURFACE4 s) {
    const HRESULT result = Lock(s, nullptr);
    if (result == DD_OK)
        s->Unlock(nullptr);
    return "then Lock " + Name(result);
}

// Lock of a part: where the pointer it gives lands, found by writing through it.
struct PartCase {
    const char* name;
    RECT rect;
};

const PartCase parts[] = {
    {"lock.part-inside", {10, 5, 20, 15}},   {"lock.part-to-corner", {54, 22, 64, 32}},
    {"lock.part-leaving", {60, 10, 70, 20}}, {"lock.part-before", {-2, 10, 5, 20}},
    {"lock.part-empty", {10, 10, 10, 20}},   {"lock.part-inverted", {20, 10, 10, 20}},
};

void PartCases(LPDIRECTDRAWSURFACE4 s) {
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
        LPDIRECTDRAWSURFACE4 s = nullptr;
        if (CreatePlain(stage.dd, 64, 32, &s) != DD_OK || !Prepare(s, c.prepared)) {
            Report(c.name, c.call, "not prepared", "-");
            continue;
        }
        const HRESULT result = c.run(s);
        Report(c.name, c.call, Name(result), LockAfter(s));
        s->Release();
    }
    LPDIRECTDRAWSURFACE4 s = nullptr;
    if (CreatePlain(stage.dd, 64, 32, &s) == DD_OK) {
        PartCases(s);
        s->Release();
    }
    other->Release();
    other = nullptr;
}
