// A stand-in for the main dialog: a real top-level window holding the
// controls that the core and the log act on, with the ids and styles of the
// program's own template.
#ifndef TACTIVIEW_TEST_WINDOW_H
#define TACTIVIEW_TEST_WINDOW_H

#include <windows.h>

#include <string>

// Creates the window, sets MainWindow to it and returns it.
HWND CreateTestMainWindow();
void DestroyTestMainWindow();

std::string LogText();
DWORD LogLength();
void LogSelection(DWORD *start, DWORD *end);

// Hands a finished log line to the program's receivers of frames, as the
// decoder would a frame of the line's start byte, "80", "81" or "82"; a
// contact report with no groups.
void ReceiveLine(const char *line);

#endif
