// Every function here may make the UI thread wait: for a held file, or for
// the disk. The serial driver holds what arrives meanwhile until the next
// poll.
#include "app/file_io.h"

// How long a held file is tried again, and the wait between tries.
static const DWORD HeldFileRetryMs = 2000;
static const DWORD HeldFilePauseMs = 100;

// GetTempFileNameA makes "tvw<number>.tmp" of it.
static const char TempPrefix[] = "tvw";

// One try of a file operation: ERROR_SUCCESS or the system's error code.
typedef DWORD (*FileAttempt)(void *context);

// Tries `attempt` until it succeeds, fails for another reason than a held
// file, or has been tried for HeldFileRetryMs; returns what the last try did.
static DWORD RetryWhileHeld(FileAttempt attempt, void *context)
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

struct Opening {
    const char *path;
    DWORD access, share, disposition;
    HANDLE file;
};

static DWORD TryOpen(void *context)
{
    Opening *opening = (Opening *)context;
    opening->file = CreateFileA(opening->path, opening->access, opening->share, NULL,
                                opening->disposition, FILE_ATTRIBUTE_NORMAL, NULL);
    return opening->file == INVALID_HANDLE_VALUE ? GetLastError() : ERROR_SUCCESS;
}

DWORD OpenHeldFile(const char *path, DWORD access, DWORD share, DWORD disposition, HANDLE *file)
{
    Opening opening = {path, access, share, disposition, INVALID_HANDLE_VALUE};
    DWORD error = RetryWhileHeld(TryOpen, &opening);
    *file = opening.file;
    return error;
}

DWORD AppendWhole(HANDLE file, LARGE_INTEGER end, const void *data, DWORD size, BOOL flush)
{
    DWORD written = 0, error = ERROR_SUCCESS;
    if (!SetFilePointerEx(file, end, NULL, FILE_BEGIN) ||
        !WriteFile(file, data, size, &written, NULL))
        error = GetLastError();
    else if (written != size) // a disk file is written short only when it is full
        error = ERROR_DISK_FULL;
    else if (flush && !FlushFileBuffers(file))
        error = GetLastError();
    if (error != ERROR_SUCCESS && SetFilePointerEx(file, end, NULL, FILE_BEGIN))
        SetEndOfFile(file);
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
    LARGE_INTEGER start = {};
    DWORD error = AppendWhole(file, start, data, size, TRUE);
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

// The new file is made beside the target, so that moving it there is a
// rename within one volume rather than a copy; the target may be held by
// another program for a moment. A path that ends in a separator names no
// file.
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
    Move move = {temp, path};
    if (error == ERROR_SUCCESS)
        error = RetryWhileHeld(TryMove, &move);
    if (error != ERROR_SUCCESS)
        DeleteFileA(temp);
    return error;
}
