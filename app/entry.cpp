// The program's entry point: the process lives exactly as long as the main
// dialog and exits with its result.
#include "app/check_sounds.h"
#include "app/globals.h"
#include "app/main_window.h"
#include "res/resource.h"

#include <commctrl.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    AppInstance = GetModuleHandleA(NULL);
    InitCommonControls();
    MakeCheckSounds();
    INT_PTR result = DialogBoxParamA(NULL, MAKEINTRESOURCEA(IDD_MAIN), NULL, MainDlgProc, 0);
    ExitProcess((UINT)result);
}
