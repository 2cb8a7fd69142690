// A recording hands each poll's lines to the system within that poll, in one
// write, so that a killed program loses at most the poll it was in; and it
// brings the file to the disk every FLUSH_PERIOD_MS, so that a power cut
// loses at most about as long. Every write holds whole lines, so cutting the
// file back to the end of the last write that went in whole leaves it ending
// with a whole line. A recording with times writes whole rows likewise; the
// time is taken once per poll, at its first row.
#include "app/record_log.h"

#include "app/globals.h"
#include "app/line_stats.h"
#include "app/local_time.h"
#include "app/log_file.h"
#include "app/save_log.h"
#include "display/timed_row.h"
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
static BOOL WithTimes;
static LARGE_INTEGER RecordedBytes;
static BOOL Unflushed;
static DWORD LastFlushTick;

// The time of the current poll, taken at its first row; WriteRecording ends
// the poll.
static char PollTime[ROW_TIME_SIZE];
static BOOL PollTimeTaken;

// An event's text, "# " and its CR LF: the longest is the start's.
static const unsigned EVENT_SIZE = 128;

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

static DWORD TryCreate(void *path)
{
    RecordFile = CreateFileA((const char *)path, GENERIC_WRITE, FILE_SHARE_READ, NULL,
                             CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
    if (RecordFile != INVALID_HANDLE_VALUE)
        return ERROR_SUCCESS;
    RecordFile = NULL;
    return GetLastError();
}

static const char *TimeOfPoll(void)
{
    if (!PollTimeTaken)
        FormatTimeNow(PollTime);
    PollTimeTaken = TRUE;
    return PollTime;
}

// Room for `size` more bytes of rows in the poll's buffer, whose rows so far
// are written first when they would not fit; NULL when that write failed.
static char *PollRoom(unsigned size)
{
    if (RecordFile && PollLength + size > sizeof PollLines)
        WritePollLines();
    return RecordFile ? PollLines + PollLength : NULL;
}

// The event's row, written at once: one inside a poll follows the poll's rows
// so far, and one outside a poll may have no poll after it.
static void AddEvent(const char *time, const char *text)
{
    char line[EVENT_SIZE];
    unsigned length = (unsigned)wsprintfA(line, "# %s\r\n", text);
    char *room = PollRoom(ROW_SIZE);
    if (!room)
        return;
    PollLength += FormatRow(room, time, line, length);
    WritePollLines();
}

void RecordEvent(const char *text)
{
    char own[ROW_TIME_SIZE];
    if (RecordFile && WithTimes)
        AddEvent(PollTimeTaken ? PollTime : FormatTimeNow(own), text);
}

void RecordLineErrors(DWORD errors)
{
    static const char Errors[] = "line errors: ";
    char text[EVENT_SIZE];
    if (!errors || !RecordFile || !WithTimes)
        return;
    lstrcpyA(text, Errors);
    NameLineErrors(text + sizeof Errors - 1, errors);
    if (text[sizeof Errors - 1]) // the driver's other bits are no line errors
        RecordEvent(text);
}

// "tactiview 1.0.2008.227, port COM5", as the recording starts.
static void DescribeStart(char *text)
{
    static const char Started[] = "recording started: tactiview " VERSION_TEXT ", ";
    lstrcpyA(text, Started);
    char *end = text + sizeof Started - 1;
    if (PortNumber == 0)
        lstrcpyA(end, "no port chosen");
    else
        wsprintfA(end, PortHandle ? "port COM%lu" : "port COM%lu, not open", PortNumber);
}

// The header, the log's text as rows with empty times, and the start: all in
// one buffer of its own, to be freed with HeapFree; NULL without memory.
static char *RowsOfLog(const char *text, DWORD *length)
{
    char start[EVENT_SIZE], time[ROW_TIME_SIZE], event[EVENT_SIZE];
    DescribeStart(start);
    unsigned eventLength = (unsigned)wsprintfA(event, "# %s\r\n", start);
    FormatTimeNow(time);
    const unsigned header = sizeof ROW_HEADER - 1;
    DWORD size = header + RowLength(0, text, *length) + ROW_SIZE;
    char *rows = (char *)HeapAlloc(GetProcessHeap(), 0, size);
    if (!rows)
        return NULL;
    memcpy(rows, ROW_HEADER, header);
    DWORD used = header + FormatRow(rows + header, "", text, *length);
    *length = used + FormatRow(rows + used, time, event, eventLength);
    return rows;
}

// What a recording starts with: the log as it stands, or the rows of it.
static char *StartOfRecording(DWORD *length)
{
    char *text = ReadWholeLog(length);
    if (!text || !WithTimes)
        return text;
    char *rows = RowsOfLog(text, length);
    HeapFree(GetProcessHeap(), 0, text);
    return rows;
}

void StartRecording(const char *path, BOOL withTimes)
{
    DWORD length = 0;
    WithTimes = withTimes;
    char *start = StartOfRecording(&length);
    if (!start) {
        ReportFailure(ERROR_NOT_ENOUGH_MEMORY);
        return;
    }
    // A file that is replaced may be held by another program for a moment.
    DWORD error = RetryWhileHeld(TryCreate, (void *)path);
    if (error != ERROR_SUCCESS) {
        ReportFailure(error);
    } else {
        RecordedBytes.QuadPart = 0;
        LastFlushTick = GetTickCount();
        PollTimeTaken = FALSE;
        ShowRecordingMark(MF_CHECKED);
        WriteToFile(start, length);
    }
    HeapFree(GetProcessHeap(), 0, start);
}

void StopRecording(void)
{
    RecordEvent("recording stopped");
    if (RecordFile && Unflushed)
        FlushRecording();
    if (RecordFile)
        CloseRecording();
}

void ToggleRecording(HWND owner)
{
    char path[MAX_PATH];
    BOOL withTimes = FALSE;
    if (RecordFile)
        StopRecording();
    else if (AskRecordFileName(owner, path, &withTimes))
        StartRecording(path, withTimes);
}

void RecordLine(const DecodedFrame &frame)
{
    char *room = PollRoom(WithTimes ? ROW_SIZE : frame.length);
    if (!room)
        return;
    if (WithTimes) {
        PollLength += FormatRow(room, TimeOfPoll(), frame.line, frame.length);
    } else {
        memcpy(room, frame.line, frame.length);
        PollLength += frame.length;
    }
}

void WriteRecording(void)
{
    PollTimeTaken = FALSE;
    if (RecordFile && PollLength > 0)
        WritePollLines();
    if (RecordFile && Unflushed && GetTickCount() - LastFlushTick >= FLUSH_PERIOD_MS)
        FlushRecording();
}
