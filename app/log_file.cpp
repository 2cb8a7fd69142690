// The save runs on the UI thread while the port is not polled, so it is kept
// to one read of the whole text and one write of it; the serial driver holds
// what arrives meanwhile until the next poll.
#include "app/log_file.h"

#include "app/globals.h"
#include "display/receive_log.h"
#include "res/resource.h"

// GetTempFileNameA makes "tvw<number>.tmp" of it.
static const char TempPrefix[] = "tvw";

// How long a held file is tried again, and the wait between tries. The UI
// thread waits meanwhile; the serial driver holds what arrives.
static const DWORD HeldFileRetryMs = 2000;
static const DWORD HeldFilePauseMs = 100;

char *ReadWholeLog(DWORD *length)
{
    FlushLog();
    HWND log = GetDlgItem(MainWindow, IDC_LOG);
    DWORD size = (DWORD)SendMessageA(log, WM_GETTEXTLENGTH, 0, 0) + 1;
    char *text = (char *)HeapAlloc(GetProcessHeap(), 0, size);
    if (text)
        *length = (DWORD)SendMessageA(log, WM_GETTEXT, size, (LPARAM)text);
    // A control that cannot find the memory to hand its text over gives none:
    // under Wine a log of some 280 MB, with room for this buffer left.
    if (text && *length == 0 && size > 1) {
        HeapFree(GetProcessHeap(), 0, text);
        text = NULL;
    }
    return text;
}

DWORD RetryWhileHeld(FileAttempt attempt, void *context)
{
    DWORD started = GetTickCount(), error;
    while ((error = attempt(context)) == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION ||
           error == ERROR_ACCESS_DENIED) {
        if (GetTickCount() - started >= HeldFileRetryMs)
            break;
        Sleep(HeldFilePauseMs);
    }
    return error;
}

// Fills the file `path` and returns once the data is on disk. The file is
// created again rather than opened: under Wine GetTempFileNameA can give a
// name without having made the file, and creating it reports the reason.
static DWORD WriteAll(const char *path, const char *data, DWORD size)
{
    HANDLE file =
        CreateFileA(path, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
    if (file == INVALID_HANDLE_VALUE)
        return GetLastError();
    DWORD written = 0, error = ERROR_SUCCESS;
    if (!WriteFile(file, data, size, &written, NULL))
        error = GetLastError();
    else if (written != size) // a disk file is written short only when it is full
        error = ERROR_DISK_FULL;
    else if (!FlushFileBuffers(file))
        error = GetLastError();
    if (!CloseHandle(file) && error == ERROR_SUCCESS)
        error = GetLastError();
    return error;
}

struct Move {
    const char *from, *to;
};

static DWORD TryMove(void *context)
{
    const Move *move = (const Move *)context;
    if (MoveFileExA(move->from, move->to, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return ERROR_SUCCESS;
    return GetLastError();
}

// The target may be held by another program for a moment.
static DWORD MoveIntoPlace(const char *temp, const char *path)
{
    Move move = {temp, path};
    return RetryWhileHeld(TryMove, &move);
}

// The new file is made beside the target, so that moving it there is a
// rename within one volume rather than a copy. A path that ends in a
// separator names no file.
DWORD ReplaceFileWith(const char *path, const char *data, DWORD size)
{
    char folder[MAX_PATH], temp[MAX_PATH], *name = NULL;
    DWORD length = GetFullPathNameA(path, MAX_PATH, folder, &name);
    if (length == 0)
        return GetLastError();
    if (length >= MAX_PATH)
        return ERROR_FILENAME_EXCED_RANGE;
    if (!name)
        return ERROR_INVALID_NAME;
    *name = '\0';
    if (!GetTempFileNameA(folder, TempPrefix, 0, temp))
        return GetLastError();
    DWORD error = WriteAll(temp, data, size);
    if (error == ERROR_SUCCESS)
        error = MoveIntoPlace(temp, path);
    if (error != ERROR_SUCCESS)
        DeleteFileA(temp);
    return error;
}

DWORD SaveLogToFile(const char *path)
{
    DWORD length = 0;
    char *text = ReadWholeLog(&length);
    if (!text)
        return ERROR_NOT_ENOUGH_MEMORY;
    DWORD error = ReplaceFileWith(path, text, length);
    HeapFree(GetProcessHeap(), 0, text);
    return error;
}
