#include "app/file_dialog.h"

#include "app/globals.h"

// Name and pattern pairs of a filter, as the string table holds them.
static const int FILTER_SIZE = 128;

// Every dialog wants an existing folder, offers no read-only box and leaves
// the process's current folder alone.
static const DWORD CommonFlags =
    OFN_EXPLORER | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_NOCHANGEDIR;

// The string table cannot hold the NULs that end each part of a filter, so
// its text ends each part with '|' instead.
static void LoadFilter(int filterId, char *filter, int size)
{
    int length = LoadStringA(AppInstance, filterId, filter, size - 1);
    for (int i = 0; i < length; i++)
        if (filter[i] == '|')
            filter[i] = '\0';
    filter[length + 1] = '\0';
}

// With a default extension set, Windows and Wine add the picked type's
// extension to a name typed without one.
DWORD AskFileNames(HWND owner, const FileQuestion &question, char *names, DWORD size)
{
    char filter[FILTER_SIZE];
    LoadFilter(question.filterId, filter, FILTER_SIZE);
    OPENFILENAMEA dialog = {};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = owner;
    dialog.lpstrFilter = filter;
    dialog.nFilterIndex = 1;
    dialog.lpstrFile = names;
    dialog.nMaxFile = size;
    dialog.lpstrDefExt = question.extension;
    dialog.Flags = CommonFlags | question.flags;
    BOOL chosen = question.open ? GetOpenFileNameA(&dialog) : GetSaveFileNameA(&dialog);
    return chosen ? dialog.nFilterIndex : 0;
}

DWORD AskFileName(HWND owner, const FileQuestion &question, char *path)
{
    return AskFileNames(owner, question, path, MAX_PATH);
}

void OfferDatedName(char *path, const char *extension)
{
    SYSTEMTIME now;
    GetLocalTime(&now);
    int length = wsprintfA(path, "tactiview-%04u%02u%02u-%02u%02u%02u", now.wYear, now.wMonth,
                           now.wDay, now.wHour, now.wMinute, now.wSecond);
    if (extension)
        wsprintfA(path + length, ".%s", extension);
}

BOOL HasExtension(const char *name, const char *extension)
{
    int length = lstrlenA(name), tail = lstrlenA(extension) + 1;
    return length > tail && name[length - tail] == '.' &&
           lstrcmpiA(name + length - tail + 1, extension) == 0;
}
