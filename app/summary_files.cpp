// Every file is read before the summary starts: the table is sized from the
// lines of all of them, and looks the gloves' names up where they stand in
// the files' texts, which therefore stay in memory until the last is read.
#include "app/summary_files.h"

#include "app/file_io.h"
#include "app/message_box.h"
#include "display/file_list.h"
#include "res/resource.h"

// A larger file is not read: a year of one station's rows is some 20 MB.
static const LONGLONG RESULTS_FILE_LIMIT = 1 << 30;

struct FileText {
    char *text;
    DWORD length;
};

// As much of the file as it held when opened; a row being appended
// meanwhile may be cut, and is then not understood.
static DWORD ReadOpenFile(HANDLE file, FileText &read)
{
    LARGE_INTEGER size;
    if (!GetFileSizeEx(file, &size))
        return GetLastError();
    if (size.QuadPart > RESULTS_FILE_LIMIT)
        return ERROR_FILE_TOO_LARGE;
    read.text = (char *)HeapAlloc(GetProcessHeap(), 0, size.LowPart + 1);
    if (!read.text)
        return ERROR_NOT_ENOUGH_MEMORY;
    if (!ReadFile(file, read.text, size.LowPart, &read.length, NULL))
        return GetLastError();
    return ERROR_SUCCESS;
}

// The station may be appending to the file meanwhile, and a spreadsheet
// may have it open.
static DWORD ReadWholeFile(const char *path, FileText &read)
{
    HANDLE file;
    DWORD error =
        OpenHeldFile(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                     OPEN_EXISTING, &file);
    if (error != ERROR_SUCCESS)
        return error;
    error = ReadOpenFile(file, read);
    CloseHandle(file);
    if (error != ERROR_SUCCESS && read.text) {
        HeapFree(GetProcessHeap(), 0, read.text);
        read.text = NULL;
    }
    return error;
}

// Reads each file of the list into texts; returns the lines of them all.
static uint32_t ReadFiles(HWND owner, const char *list, FileText *texts, unsigned count)
{
    uint32_t lines = 0;
    char path[MAX_PATH];
    for (unsigned i = 0; i < count && ListedFilePath(list, i, path, sizeof path); i++) {
        DWORD error = ReadWholeFile(path, texts[i]);
        if (error != ERROR_SUCCESS)
            ShowNamedFileError(owner, IDS_SUMMARY_READ_FAILED, path, error);
        else
            lines += CountLines(texts[i].text, texts[i].length);
    }
    return lines;
}

static void Summarise(HWND owner, const char *list, const FileText *texts, unsigned count,
                      ResultsSummary &summary)
{
    char path[MAX_PATH];
    for (unsigned i = 0; i < count && ListedFilePath(list, i, path, sizeof path); i++)
        if (texts[i].text && !ReadResultsText(summary, texts[i].text, texts[i].length))
            ShowMessage(owner, MAKEINTRESOURCEA(IDS_SUMMARY_REFUSED), MB_ICONERROR, path);
    FinishSummary(summary);
}

BOOL SummariseFiles(HWND owner, const char *list, ResultsSummary &summary)
{
    HANDLE heap = GetProcessHeap();
    unsigned count = CountListedFiles(list);
    FileText *texts = (FileText *)HeapAlloc(heap, HEAP_ZERO_MEMORY, count * sizeof(FileText) + 1);
    uint32_t lines = texts ? ReadFiles(owner, list, texts, count) : 0;
    void *memory = texts ? HeapAlloc(heap, 0, SummaryMemorySize(lines)) : NULL;
    if (memory) {
        StartSummary(summary, memory, lines);
        Summarise(owner, list, texts, count, summary);
        HeapFree(heap, 0, memory);
    } else {
        ShowFileError(owner, IDS_SUMMARY_FAILED, ERROR_NOT_ENOUGH_MEMORY);
    }
    for (unsigned i = 0; texts && i < count; i++)
        if (texts[i].text)
            HeapFree(heap, 0, texts[i].text);
    if (texts)
        HeapFree(heap, 0, texts);
    return memory != NULL;
}
