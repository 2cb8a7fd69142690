#include "app/globals.h"

HINSTANCE AppInstance;
HWND MainWindow;
HANDLE PortHandle;
DWORD PortNumber;
