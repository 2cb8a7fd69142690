// A recording hands each poll's lines to the system within that poll, in one
// write, so that a killed program loses at most the poll it was in; and it
// brings the file to the disk every FLUSH_PERIOD_MS, so that a power cut
// loses at most about as long. Every write holds whole lines, so cutting the
// file back to the end of the last write that went in whole leaves it ending
// with a whole line.
#include "app/record_log.h"

#include "app/globals.h"
#include "app/log_file.h"
#include "app/save_log.h"
#include "res/resource.h"

#include <string.h>

// Each flush makes the UI thread wait for the disk, and at full line rate
// two seconds of lines are about 5 KB: one small flush every two seconds.
static const DWORD FLUSH_PERIOD_MS = 2000;

// The lines of the current poll: about 300 bytes at full line rate. A poll
// that comes late, after a dear log update or a save, may bring more; should
// they fill this, they are written early.
static char PollLines[16384];
static unsigned PollLength;

static HANDLE RecordFile; // NULL while no recording runs
static LARGE_INTEGER RecordedBytes;
static BOOL Unflushed;
static DWORD LastFlushTick;

static void ShowRecordingMark(UINT check)
{
    CheckMenuItem(GetSystemMenu(MainWindow, FALSE), IDM_RECORD_LOG, MF_BYCOMMAND | check);
}

// The box is posted rather than shown here, as this may run inside a poll.
static void ReportFailure(DWORD error)
{
    PostMessageA(MainWindow, WM_SHOW_ERROR, IDS_RECORD_FAILED, error);
}

static void CloseRecording(void)
{
    CloseHandle(RecordFile);
    RecordFile = NULL;
    PollLength = 0;
    ShowRecordingMark(MF_UNCHECKED);
}

static void FailRecording(DWORD error)
{
    SetFilePointerEx(RecordFile, RecordedBytes, NULL, FILE_BEGIN);
    SetEndOfFile(RecordFile);
    CloseRecording();
    ReportFailure(error);
}

static void WriteToFile(const char *data, DWORD size)
{
    DWORD written = 0;
    if (!WriteFile(RecordFile, data, size, &written, NULL))
        FailRecording(GetLastError());
    else if (written != size) // a disk file is written short only when it is full
        FailRecording(ERROR_DISK_FULL);
    else {
        RecordedBytes.QuadPart += size;
        Unflushed = TRUE;
    }
}

static void WritePollLines(void)
{
    WriteToFile(PollLines, PollLength);
    PollLength = 0;
}

static void FlushRecording(void)
{
    if (!FlushFileBuffers(RecordFile))
        FailRecording(GetLastError());
    Unflushed = FALSE;
    LastFlushTick = GetTickCount();
}

// A file that is replaced may be held by another program for a moment.
// Returns ERROR_SUCCESS with RecordFile open, or the system's error code.
static DWORD OpenRecordFile(const char *path)
{
    DWORD started = GetTickCount(), error;
    do {
        RecordFile = CreateFileA(path, GENERIC_WRITE, FILE_SHARE_READ, NULL, CREATE_ALWAYS,
                                 FILE_ATTRIBUTE_NORMAL, NULL);
        if (RecordFile != INVALID_HANDLE_VALUE)
            return ERROR_SUCCESS;
        error = GetLastError();
    } while (WaitForHeldFile(error, started));
    RecordFile = NULL;
    return error;
}

void StartRecording(const char *path)
{
    DWORD length = 0;
    char *text = ReadWholeLog(&length);
    if (!text) {
        ReportFailure(ERROR_NOT_ENOUGH_MEMORY);
        return;
    }
    DWORD error = OpenRecordFile(path);
    if (error != ERROR_SUCCESS) {
        ReportFailure(error);
    } else {
        RecordedBytes.QuadPart = 0;
        LastFlushTick = GetTickCount();
        ShowRecordingMark(MF_CHECKED);
        WriteToFile(text, length);
    }
    HeapFree(GetProcessHeap(), 0, text);
}

void StopRecording(void)
{
    if (RecordFile && Unflushed)
        FlushRecording();
    if (RecordFile)
        CloseRecording();
}

void ToggleRecording(HWND owner)
{
    char path[MAX_PATH];
    if (RecordFile)
        StopRecording();
    else if (AskLogFileName(owner, path))
        StartRecording(path);
}

void RecordLine(const DecodedFrame &frame)
{
    if (RecordFile && PollLength + frame.length > sizeof PollLines)
        WritePollLines();
    if (!RecordFile)
        return;
    memcpy(PollLines + PollLength, frame.line, frame.length);
    PollLength += frame.length;
}

void WriteRecording(void)
{
    if (RecordFile && PollLength > 0)
        WritePollLines();
    if (RecordFile && Unflushed && GetTickCount() - LastFlushTick >= FLUSH_PERIOD_MS)
        FlushRecording();
}
