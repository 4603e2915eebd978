// The subset of DirectDraw that the game uses, for systems other than Windows.
// Flags and error codes are the real ones; surfaces live in ordinary memory.
#ifndef VANTOREL_PORT_DDRAW_H
#define VANTOREL_PORT_DDRAW_H

#include <windows.h>

typedef struct _GUID {
    DWORD Data1;
    WORD Data2;
    WORD Data3;
    BYTE Data4[8];
} GUID, IID;
typedef const IID& REFIID;

extern const IID IID_IDirectDraw4; // 9C59509A-39BD-11D1-8C4A-00C04FD930C5

struct IUnknown;
struct IDirectDraw;
struct IDirectDraw4;
struct IDirectDrawSurface4;
typedef IDirectDraw* LPDIRECTDRAW;
typedef IDirectDraw4* LPDIRECTDRAW4;
typedef IDirectDrawSurface4* LPDIRECTDRAWSURFACE4;

#define MAKE_DDHRESULT(code) ((HRESULT)(0x88760000u | (code)))
#define DD_OK ((HRESULT)0)
#define DDERR_GENERIC ((HRESULT)0x80004005u)     // E_FAIL
#define DDERR_OUTOFMEMORY ((HRESULT)0x8007000Eu) // E_OUTOFMEMORY
#define DDERR_UNSUPPORTED ((HRESULT)0x80004001u) // E_NOTIMPL
#define E_NOINTERFACE ((HRESULT)0x80004002u)
#define DDERR_INVALIDRECT MAKE_DDHRESULT(150)
#define DDERR_NOEXCLUSIVEMODE MAKE_DDHRESULT(225)
#define DDERR_SURFACEBUSY MAKE_DDHRESULT(430)
#define DDERR_SURFACELOST MAKE_DDHRESULT(450)
#define DDERR_WRONGMODE MAKE_DDHRESULT(587)

#define DDSCL_FULLSCREEN 0x00000001
#define DDSCL_ALLOWREBOOT 0x00000002
#define DDSCL_EXCLUSIVE 0x00000010

#define DDSD_CAPS 0x00000001
#define DDSD_HEIGHT 0x00000002
#define DDSD_WIDTH 0x00000004
#define DDSD_BACKBUFFERCOUNT 0x00000020

#define DDSCAPS_BACKBUFFER 0x00000004
#define DDSCAPS_COMPLEX 0x00000008
#define DDSCAPS_FLIP 0x00000010
#define DDSCAPS_OFFSCREENPLAIN 0x00000040
#define DDSCAPS_PRIMARYSURFACE 0x00000200

#define DDBLT_COLORFILL 0x00000400
#define DDBLT_WAIT 0x01000000
#define DDFLIP_WAIT 0x00000001
#define DDLOCK_WAIT 0x00000001

// The records carry the fields the game and the port use, in the real order; the rest of the
// real records is left out.
typedef struct _DDSCAPS2 {
    DWORD dwCaps;
} DDSCAPS2, *LPDDSCAPS2;

typedef struct _DDSURFACEDESC2 {
    DWORD dwSize;
    DWORD dwFlags;
    DWORD dwHeight;
    DWORD dwWidth;
    LONG lPitch;
    DWORD dwBackBufferCount;
    LPVOID lpSurface;
    DDSCAPS2 ddsCaps;
} DDSURFACEDESC2, *LPDDSURFACEDESC2;

typedef struct _DDBLTFX {
    DWORD dwSize;
    DWORD dwFillColor;
} DDBLTFX, *LPDDBLTFX;

// The interfaces carry no data here; port/src/internal.h defines the objects behind them.
struct IDirectDraw {
    HRESULT QueryInterface(REFIID iid, LPVOID* out);
    ULONG Release();
};

struct IDirectDraw4 {
    ULONG Release();
    HRESULT SetCooperativeLevel(HWND window, DWORD flags);
    HRESULT SetDisplayMode(DWORD width, DWORD height, DWORD bpp, DWORD refreshRate, DWORD flags);
    HRESULT CreateSurface(LPDDSURFACEDESC2 desc, LPDIRECTDRAWSURFACE4* out, IUnknown* outer);
    HRESULT TestCooperativeLevel();
    HRESULT FlipToGDISurface();
};

struct IDirectDrawSurface4 {
    ULONG Release();
    HRESULT GetAttachedSurface(LPDDSCAPS2 caps, LPDIRECTDRAWSURFACE4* out);
    HRESULT Flip(LPDIRECTDRAWSURFACE4 target, DWORD flags);
    HRESULT Blt(LPRECT destRect, LPDIRECTDRAWSURFACE4 source, LPRECT sourceRect, DWORD flags,
                LPDDBLTFX fx);
    HRESULT Lock(LPRECT rect, LPDDSURFACEDESC2 desc, DWORD flags, HANDLE event);
    HRESULT Unlock(LPRECT rect);
    HRESULT GetDC(HDC* dc);
    HRESULT ReleaseDC(HDC dc);
    HRESULT IsLost();
    HRESULT Restore();
};

HRESULT WINAPI DirectDrawCreate(GUID* driver, LPDIRECTDRAW* out, IUnknown* outer);

#endif
