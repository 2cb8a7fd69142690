#include "app/record_start.h"

#include "app/file_dialog.h"
#include "app/globals.h"
#include "app/local_time.h"
#include "app/log_file.h"
#include "display/contact_trace.h"
#include "res/resource.h"

#include <string.h>

static const FileQuestion RecordQuestion = {IDS_RECORD_FILTER, "log", OFN_OVERWRITEPROMPT, FALSE};

// The extensions of the recording's kinds, in the order of its filter. A
// name that ends in the extension of a kind after the first makes that kind,
// whatever type is picked.
static const char *const RecordExtensions[] = {"log", "tsv", "vcd"};
static const DWORD RECORD_TYPES = ARRAYSIZE(RecordExtensions);

// The name is offered without an extension, so that the type picked gives
// it one.
BOOL AskRecordFileName(HWND owner, char *path, RecordKind *kind)
{
    OfferDatedName(path, NULL);
    DWORD picked = AskFileName(owner, RecordQuestion, path);
    if (picked == 0)
        return FALSE;
    *kind = picked <= RECORD_TYPES ? (RecordKind)(picked - 1) : RECORD_PLAIN;
    for (DWORD named = RECORD_TIMES; named < RECORD_TYPES; named++)
        if (HasExtension(path, RecordExtensions[named]))
            *kind = (RecordKind)named;
    return TRUE;
}

// "port COM5", "port COM5, not open" or "no port chosen"; returns text.
static char *DescribePort(char *text)
{
    if (PortNumber == 0)
        lstrcpyA(text, "no port chosen");
    else
        wsprintfA(text, PortHandle ? "port COM%lu" : "port COM%lu, not open", PortNumber);
    return text;
}

// "tactiview 1.0.2008.227, port COM5", as the recording starts.
static void DescribeStart(char *text)
{
    static const char Started[] = "recording started: tactiview " VERSION_TEXT ", ";
    lstrcpyA(text, Started);
    DescribePort(text + sizeof Started - 1);
}

// The header, the log's text as rows with empty times, and the start.
static char *RowsOfLog(const char *text, DWORD *length)
{
    char start[EVENT_SIZE], time[ROW_TIME_SIZE], event[EVENT_SIZE];
    DescribeStart(start);
    unsigned eventLength = FormatEvent(event, start);
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

static char *StartOfTrace(DWORD *length)
{
    char date[ROW_TIME_SIZE], port[TRACE_TEXT_SIZE];
    char *header = (char *)HeapAlloc(GetProcessHeap(), 0, TRACE_HEADER_SIZE);
    if (!header)
        return NULL;
    TraceStart start = {FormatTimeNow(date), "tactiview " VERSION_TEXT, DescribePort(port)};
    *length = StartTrace(header, start, ContactState, PortHandle != NULL, GetTickCount());
    return header;
}

char *StartOfRecording(RecordKind kind, DWORD *length)
{
    if (kind == RECORD_TRACE)
        return StartOfTrace(length);
    char *text = ReadWholeLog(length);
    if (!text || kind == RECORD_PLAIN)
        return text;
    char *rows = RowsOfLog(text, length);
    HeapFree(GetProcessHeap(), 0, text);
    return rows;
}
