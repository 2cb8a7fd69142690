// How the program writes its files safely: opened despite another program's
// brief hold, replaced only once the new one is whole on the disk, and added
// to whole or not at all.
#ifndef TACTIVIEW_FILE_IO_H
#define TACTIVIEW_FILE_IO_H

#include <windows.h>

// Opens `path` as CreateFileA does with these arguments. Virus scanners, the
// search indexer and cloud-synced folders hold a file that was just written
// for a moment, so an open refused for a held file is tried again, waiting a
// little between tries, for about two seconds. Returns ERROR_SUCCESS with
// the handle in *file, or the system's error code.
DWORD OpenHeldFile(const char *path, DWORD access, DWORD share, DWORD disposition, HANDLE *file);

// Writes size bytes of data to the file `path`. They go to a new file in the
// same folder, which takes the place of `path` only once all of it is on
// disk: when anything fails, a file already at `path` stays as it was and
// the new one is deleted. Returns ERROR_SUCCESS or the system's error code.
DWORD ReplaceFileWith(const char *path, const char *data, DWORD size);

// Writes size bytes at `end`, the end of what the file holds, and with flush
// brings them to the disk. A write that goes in short means a full disk.
// When anything fails the file is cut back to `end`, so that it holds no
// part of them. Returns ERROR_SUCCESS or the system's error code.
DWORD AppendWhole(HANDLE file, LARGE_INTEGER end, const void *data, DWORD size, BOOL flush);

#endif
