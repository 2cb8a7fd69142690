// Asking the user for a file name: the Open or Save As dialog that Windows
// shows every program, with no hook, so that Windows Vista and later show
// their own dialog rather than the old Explorer-style one.
#ifndef TACTIVIEW_FILE_DIALOG_H
#define TACTIVIEW_FILE_DIALOG_H

#include <windows.h>

#include <commdlg.h>

// What one use of the dialog asks for.
struct FileQuestion {
    int filterId; // the types offered: name and pattern pairs, each ended by '|'
    // A name typed without an extension takes the picked type's, or this one
    // where the type has none ("*.*").
    const char *extension;
    DWORD flags; // OFN_ flags beyond those every use has
    BOOL open;   // the Open dialog, rather than Save As
};

// Shows the dialog, offering the name in path, which holds MAX_PATH
// characters and receives the name chosen. Returns the type picked, counted
// from 1, or 0 when the user cancels.
DWORD AskFileName(HWND owner, const FileQuestion &question, char *path);

// The same with a buffer of size characters for the names, as the Open
// dialog that takes several files at once needs.
DWORD AskFileNames(HWND owner, const FileQuestion &question, char *names, DWORD size);

// Writes tactiview-YYYYMMDD-HHMMSS in local time into path, with "." and the
// extension unless it is NULL.
void OfferDatedName(char *path, const char *extension);

// Whether the name ends in "." and the extension, in any case.
BOOL HasExtension(const char *name, const char *extension);

#endif
