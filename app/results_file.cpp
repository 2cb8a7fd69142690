#include "app/results_file.h"

#include "app/file_io.h"
#include "display/results_row.h"

#include <string.h>

// What one append writes: a line end or the header, then the row.
static char Appended[sizeof RESULTS_HEADER + RESULTS_ROW_SIZE];

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
    return AppendWhole(file, size, Appended, total + length, TRUE);
}

DWORD AppendResultsRow(const char *path, const char *row, DWORD length)
{
    // Others may read the file meanwhile, but not write it.
    HANDLE file;
    DWORD error =
        OpenHeldFile(path, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, OPEN_ALWAYS, &file);
    if (error != ERROR_SUCCESS)
        return error;
    error = WriteAtEnd(file, row, length);
    if (!CloseHandle(file) && error == ERROR_SUCCESS)
        error = GetLastError();
    return error;
}
