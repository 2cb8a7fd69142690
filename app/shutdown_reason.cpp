#include "app/shutdown_reason.h"

typedef BOOL(WINAPI *ReasonCreate)(HWND window, LPCWSTR reason);
typedef BOOL(WINAPI *ReasonDestroy)(HWND window);

// What Windows shows of a reason, MAX_STR_BLOCKREASON, which MinGW's headers
// may lack.
static const int REASON_SIZE = 256;

// A reason was given, whether or not Windows took it: withdrawing one it did
// not take does no harm.
static BOOL ReasonGiven;

// Any function pointer may be cast to this and back, which a FARPROC may not
// without a warning.
typedef void (*AnyFunction)(void);

static AnyFunction User32Function(const char *name)
{
    return (AnyFunction)GetProcAddress(GetModuleHandleA("user32.dll"), name);
}

void SayWhyShutdownWaits(HWND window, const char *reason)
{
    ReasonCreate create = (ReasonCreate)User32Function("ShutdownBlockReasonCreate");
    char cut[REASON_SIZE];
    WCHAR wide[REASON_SIZE];
    lstrcpynA(cut, reason, REASON_SIZE);
    if (create && MultiByteToWideChar(CP_ACP, 0, cut, -1, wide, REASON_SIZE)) {
        create(window, wide);
        ReasonGiven = TRUE;
    }
}

void WithdrawShutdownReason(HWND window)
{
    ReasonDestroy destroy = (ReasonDestroy)User32Function("ShutdownBlockReasonDestroy");
    if (ReasonGiven && destroy)
        destroy(window);
    ReasonGiven = FALSE;
}
