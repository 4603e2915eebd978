// The subset of Win32 that the game uses, for systems other than Windows.
// Types keep Win32's widths on every build: LONG and DWORD are 32-bit even where long is 64.
#ifndef VANTOREL_PORT_WINDOWS_H
#define VANTOREL_PORT_WINDOWS_H

#include <cstddef>
#include <cstdint>
#include <cstring>

#define WINAPI
#define CALLBACK

typedef int32_t LONG;
typedef uint32_t DWORD;
typedef uint32_t ULONG;
typedef uint32_t UINT;
typedef int16_t SHORT;
typedef uint16_t WORD;
typedef uint16_t ATOM;
typedef uint8_t BYTE;
typedef int BOOL;
typedef char* LPSTR;
typedef const char* LPCSTR;
typedef void* LPVOID;
typedef void* HANDLE;
typedef LONG HRESULT;
typedef uintptr_t WPARAM;
typedef intptr_t LPARAM;
typedef intptr_t LRESULT;
typedef DWORD COLORREF;

#define TRUE 1
#define FALSE 0

typedef struct HWND__* HWND;
typedef struct HINSTANCE__* HINSTANCE;
typedef struct HICON__* HICON;
typedef struct HCURSOR__* HCURSOR;
typedef struct HBRUSH__* HBRUSH;
typedef struct HMENU__* HMENU;
typedef struct HDC__* HDC;
typedef struct HMODULE__* HMODULE;
typedef intptr_t(WINAPI* FARPROC)();

typedef struct tagRECT {
    LONG left;
    LONG top;
    LONG right;
    LONG bottom;
} RECT, *LPRECT;

typedef LRESULT(CALLBACK* WNDPROC)(HWND, UINT, WPARAM, LPARAM);

typedef struct tagWNDCLASSEXA {
    UINT cbSize;
    UINT style;
    WNDPROC lpfnWndProc;
    int cbClsExtra;
    int cbWndExtra;
    HINSTANCE hInstance;
    HICON hIcon;
    HCURSOR hCursor;
    HBRUSH hbrBackground;
    LPCSTR lpszMenuName;
    LPCSTR lpszClassName;
    HICON hIconSm;
} WNDCLASSEXA;

typedef struct tagMSG {
    HWND hwnd;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
} MSG, *LPMSG;

#define MAKEINTRESOURCEA(i) ((LPSTR)((uintptr_t)((WORD)(i))))
#define IDC_ARROW MAKEINTRESOURCEA(32512)

// Window styles
#define WS_POPUP 0x80000000u
#define WS_VISIBLE 0x10000000u

// Messages
#define WM_NULL 0x0000
#define WM_DESTROY 0x0002
#define WM_CLOSE 0x0010
#define WM_QUIT 0x0012
#define PM_REMOVE 0x0001

// Message boxes
#define MB_OK 0x00000000u
#define MB_ICONERROR 0x00000010u
#define IDOK 1

// Error codes
#define ERROR_SUCCESS 0L
#define ERROR_BAD_ARGUMENTS 160L
#define ERROR_DEVICE_NOT_CONNECTED 1167L

// Virtual keys
#define VK_RETURN 0x0D
#define VK_ESCAPE 0x1B
#define VK_LEFT 0x25
#define VK_RIGHT 0x27
#define VK_F5 0x74

// GDI background modes
#define TRANSPARENT 1
#define OPAQUE 2
#define CLR_INVALID 0xFFFFFFFFu

#define SUCCEEDED(hr) (((HRESULT)(hr)) >= 0)
#define FAILED(hr) (((HRESULT)(hr)) < 0)
#define ZeroMemory(p, n) memset((p), 0, (n))

// Windowing
ATOM RegisterClassExA(const WNDCLASSEXA* wc);
HWND CreateWindowExA(DWORD exStyle, LPCSTR className, LPCSTR windowName, DWORD style, int x, int y,
                     int width, int height, HWND parent, HMENU menu, HINSTANCE instance,
                     LPVOID param);
HICON LoadIconA(HINSTANCE instance, LPCSTR name);
HCURSOR LoadCursorA(HINSTANCE instance, LPCSTR name);
int ShowCursor(BOOL show);
BOOL PeekMessageA(LPMSG msg, HWND window, UINT filterMin, UINT filterMax, UINT removeFlags);
BOOL PostMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
BOOL TranslateMessage(const MSG* msg);
LRESULT DispatchMessageA(const MSG* msg);
LRESULT DefWindowProcA(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
void PostQuitMessage(int exitCode);
int MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT type);

// Keyboard and time
SHORT GetAsyncKeyState(int key);
HWND GetForegroundWindow(void);
void Sleep(DWORD ms);

// Libraries: only XInput's, which the game loads at start
HMODULE LoadLibraryA(LPCSTR name);
FARPROC GetProcAddress(HMODULE module, LPCSTR name);

// GDI on a surface's device context
COLORREF SetTextColor(HDC dc, COLORREF colour);
COLORREF SetBkColor(HDC dc, COLORREF colour);
int SetBkMode(HDC dc, int mode);
BOOL TextOutA(HDC dc, int x, int y, LPCSTR text, int length);

// The window the game plays in (window.cpp), and GDI's copy of its page into it (gdi.cpp)
#define WS_OVERLAPPEDWINDOW 0x00CF0000u
#define GWL_STYLE (-16)
#define HWND_NOTOPMOST ((HWND)(intptr_t)-2)
#define SWP_NOZORDER 0x0004u
#define SWP_FRAMECHANGED 0x0020u
#define SM_CXSCREEN 0
#define SM_CYSCREEN 1
#define WM_SYSKEYDOWN 0x0104
#define WM_SYSCHAR 0x0106
#define VK_MENU 0x12
#define SRCCOPY 0x00CC0020u
#define BLACKNESS 0x00000042u
#define COLORONCOLOR 3
LONG SetWindowLongA(HWND window, int index, LONG value);
BOOL SetWindowPos(HWND window, HWND after, int x, int y, int width, int height, UINT flags);
BOOL AdjustWindowRectEx(LPRECT rect, DWORD style, BOOL menu, DWORD exStyle);
int GetSystemMetrics(int index);
BOOL GetClientRect(HWND window, LPRECT rect);
HDC GetDC(HWND window);
int ReleaseDC(HWND window, HDC dc);
int SetStretchBltMode(HDC dc, int mode);
BOOL StretchBlt(HDC target, int x, int y, int width, int height, HDC source, int sourceX,
                int sourceY, int sourceWidth, int sourceHeight, DWORD rop);
BOOL PatBlt(HDC dc, int x, int y, int width, int height, DWORD rop);
// The program's entry, which port/ calls from main().
int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR commandLine, int showCommand);

#endif
