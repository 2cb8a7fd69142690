// A recording hands each poll's lines to the system within that poll, in one
// write, so that a killed program loses at most the poll it was in; and it
// brings the file to the disk every FLUSH_PERIOD_MS, so that a power cut
// loses at most about as long. Every write holds whole lines, so cutting the
// file back to the end of the last write that went in whole leaves it ending
// with a whole line. A recording with times writes whole rows likewise; the
// time is taken once per poll, at its first row. A trace writes whole
// changes, each a time and the wires that changed then.
#include "app/record_log.h"

#include "app/file_io.h"
#include "app/globals.h"
#include "app/line_stats.h"
#include "app/local_time.h"
#include "app/record_start.h"
#include "display/contact_trace.h"
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
static RecordKind Kind;
static LARGE_INTEGER RecordedBytes;
static BOOL Unflushed;
static DWORD LastFlushTick;

// The time of the current poll, taken at its first row; WriteRecording ends
// the poll.
static char PollTime[ROW_TIME_SIZE];
static BOOL PollTimeTaken;

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
    CloseRecording();
    ReportFailure(error);
}

static void WriteToFile(const char *data, DWORD size)
{
    DWORD error = AppendWhole(RecordFile, RecordedBytes, data, size, FALSE);
    if (error != ERROR_SUCCESS) {
        FailRecording(error);
    } else {
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

// What happens outside the frames is written at once: inside a poll it
// follows the poll's lines so far, and outside one it may have no poll after
// it. The caller has put `length` bytes where PollRoom said.
static void WriteAtOnce(unsigned length)
{
    PollLength += length;
    if (PollLength > 0)
        WritePollLines();
}

// Room for a change of a trace, when one is recorded.
static char *TraceRoom(void)
{
    return Kind == RECORD_TRACE ? PollRoom(TRACE_CHANGE_SIZE) : NULL;
}

static void AddEvent(const char *time, const char *text)
{
    char line[EVENT_SIZE];
    unsigned length = FormatEvent(line, text);
    char *room = PollRoom(ROW_SIZE);
    if (room)
        WriteAtOnce(FormatRow(room, time, line, length));
}

void RecordEvent(const char *text)
{
    char own[ROW_TIME_SIZE];
    if (RecordFile && Kind == RECORD_TIMES)
        AddEvent(PollTimeTaken ? PollTime : FormatTimeNow(own), text);
}

// A trace follows every event by whether the port is open after it.
void TracePortEvent(const PortEvent &event)
{
    char *room = TraceRoom();
    if (room)
        WriteAtOnce(TracePort(room, event.open != FALSE, GetTickCount()));
}

void RecordLineErrors(DWORD errors)
{
    static const char Errors[] = "line errors: ";
    char text[EVENT_SIZE];
    if (!errors || !RecordFile || Kind != RECORD_TIMES)
        return;
    lstrcpyA(text, Errors);
    NameLineErrors(text + sizeof Errors - 1, errors);
    if (text[sizeof Errors - 1]) // the driver's other bits are no line errors
        RecordEvent(text);
}

void StartRecording(const char *path, RecordKind kind)
{
    DWORD length = 0;
    Kind = kind;
    char *start = StartOfRecording(kind, &length);
    if (!start) {
        ReportFailure(ERROR_NOT_ENOUGH_MEMORY);
        return;
    }
    DWORD error = OpenHeldFile(path, GENERIC_WRITE, FILE_SHARE_READ, CREATE_ALWAYS, &RecordFile);
    if (error != ERROR_SUCCESS) {
        RecordFile = NULL;
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
    char *room = TraceRoom();
    if (room)
        WriteAtOnce(EndTrace(room, GetTickCount()));
    if (RecordFile && Unflushed)
        FlushRecording();
    if (RecordFile)
        CloseRecording();
}

void ToggleRecording(HWND owner)
{
    char path[MAX_PATH];
    RecordKind kind = RECORD_PLAIN;
    if (RecordFile)
        StopRecording();
    else if (AskRecordFileName(owner, path, &kind))
        StartRecording(path, kind);
}

void RecordLine(const DecodedFrame &frame)
{
    char *room = PollRoom(Kind == RECORD_TRACE   ? TRACE_CHANGE_SIZE
                          : Kind == RECORD_TIMES ? ROW_SIZE
                                                 : frame.length);
    if (!room)
        return;
    if (Kind == RECORD_TRACE) {
        PollLength += TraceFrame(room, frame, GetTickCount());
    } else if (Kind == RECORD_TIMES) {
        PollLength += FormatRow(room, TimeOfPoll(), frame.line, frame.length);
    } else {
        memcpy(room, frame.line, frame.length);
        PollLength += frame.length;
    }
}

void BringRecordingToDisk(void)
{
    if (RecordFile && PollLength > 0)
        WritePollLines();
    if (RecordFile && Unflushed)
        FlushRecording();
}

void WriteRecording(void)
{
    PollTimeTaken = FALSE;
    if (RecordFile && PollLength > 0)
        WritePollLines();
    if (RecordFile && Unflushed && GetTickCount() - LastFlushTick >= FLUSH_PERIOD_MS)
        FlushRecording();
}
