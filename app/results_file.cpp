#include "app/results_file.h"

#include "app/log_file.h"
#include "display/results_row.h"

#include <string.h>

// What one append writes: a line end or the header, then the row.
static char Appended[sizeof RESULTS_HEADER + RESULTS_ROW_SIZE];

struct Opening {
    const char *path;
    HANDLE file;
};

// Others may read the file meanwhile, but not write it.
static DWORD TryOpen(void *context)
{
    Opening *opening = (Opening *)context;
    opening->file = CreateFileA(opening->path, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, NULL,
                                OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
    return opening->file == INVALID_HANDLE_VALUE ? GetLastError() : ERROR_SUCCESS;
}

// The file's last byte. One that cannot be read is an error, rather than a
// guess that could glue the row to a line that lost its end.
static DWORD ReadLastByte(HANDLE file, LARGE_INTEGER size, char *c)
{
    LARGE_INTEGER last = {};
    last.QuadPart = size.QuadPart - 1;
    DWORD read = 0;
    if (!SetFilePointerEx(file, last, NULL, FILE_BEGIN) || !ReadFile(file, c, 1, &read, NULL))
        return GetLastError();
    return read == 1 ? ERROR_SUCCESS : ERROR_HANDLE_EOF;
}

// What goes before the row in a file of `size` bytes that ends in `last`:
// the header in an empty one, the line end that a cut last line lacks, or
// nothing. Returns its length, written into lead.
static DWORD LeadOf(LARGE_INTEGER size, char last, char *lead)
{
    if (size.QuadPart == 0) {
        memcpy(lead, RESULTS_HEADER, sizeof RESULTS_HEADER - 1);
        return sizeof RESULTS_HEADER - 1;
    }
    if (last == '\n')
        return 0;
    if (last == '\r') {
        lead[0] = '\n';
        return 1;
    }
    lead[0] = '\r';
    lead[1] = '\n';
    return 2;
}

static DWORD WriteAtEnd(HANDLE file, const char *row, DWORD length)
{
    LARGE_INTEGER size;
    char last = '\n';
    if (!GetFileSizeEx(file, &size))
        return GetLastError();
    DWORD error = size.QuadPart > 0 ? ReadLastByte(file, size, &last) : ERROR_SUCCESS;
    if (error != ERROR_SUCCESS)
        return error;
    DWORD total = LeadOf(size, last, Appended);
    memcpy(Appended + total, row, length);
    total += length;
    DWORD written = 0;
    if (!SetFilePointerEx(file, size, NULL, FILE_BEGIN) ||
        !WriteFile(file, Appended, total, &written, NULL))
        error = GetLastError();
    else if (written != total) // a disk file is written short only when it is full
        error = ERROR_DISK_FULL;
    else if (!FlushFileBuffers(file))
        error = GetLastError();
    if (error != ERROR_SUCCESS && SetFilePointerEx(file, size, NULL, FILE_BEGIN))
        SetEndOfFile(file);
    return error;
}

DWORD AppendResultsRow(const char *path, const char *row, DWORD length)
{
    Opening opening = {path, INVALID_HANDLE_VALUE};
    DWORD error = RetryWhileHeld(TryOpen, &opening);
    if (error != ERROR_SUCCESS)
        return error;
    error = WriteAtEnd(opening.file, row, length);
    if (!CloseHandle(opening.file) && error == ERROR_SUCCESS)
        error = GetLastError();
    return error;
}
