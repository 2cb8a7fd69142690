// The rules of the search, which port is tried when and whether it answers as
// the box, are the platform-free core's (protocol/box_search.cpp); this
// opens, reads and closes the ports it names, once a poll period.
#include "app/search_ports.h"

#include "app/globals.h"
#include "app/line_stats.h"
#include "app/receivers.h"
#include "app/record_log.h"
#include "display/receive_log.h"
#include "protocol/box_search.h"
#include "protocol/glove_protocol.h"
#include "res/resource.h"
#include "serial/serial_port.h"

static HANDLE CandidateHandle; // NULL while no candidate is open

static void CloseCandidate(void)
{
    if (CandidateHandle)
        CloseHandle(CandidateHandle);
    CandidateHandle = NULL;
}

void StopSearch(HWND dialog)
{
    KillTimer(dialog, TIMER_SEARCH);
    CloseCandidate();
    EndSearch();
}

void HearArrival(HWND dialog, DWORD port)
{
    if (NoteArrival(port, GetTickCount()))
        SetTimer(dialog, TIMER_SEARCH, POLL_PERIOD_MS, NULL);
}

// A port that does not open, or takes no "CP", is tried again at the next
// tick until the core gives up on it.
static void AskCandidate(DWORD now)
{
    CandidateHandle = OpenPortNumber(Candidate.port);
    if (CandidateHandle && SendCommandOn(CandidateHandle, CMD_QUERY_SIGNATURE))
        CandidateAsked(now);
    else
        CloseCandidate();
}

// A port whose reads fail has gone, and may be tried again when it is back.
static void ReadCandidate(void)
{
    DWORD count = 0;
    BYTE *free = Candidate.bytes + Candidate.count;
    if (!ReadWaiting(CandidateHandle, free, CANDIDATE_CAPACITY - Candidate.count, &count))
        NoteRemoval(Candidate.port);
    Candidate.count += count;
}

// The event comes before the lines, as for a port back by itself; a report
// among the bytes may settle the mode boxes again at once.
static void AdoptCandidate(HWND dialog)
{
    DWORD former = PortNumber;
    PortHandle = CandidateHandle;
    PortNumber = Candidate.port;
    CandidateHandle = NULL;
    TellPortEvent(PORT_FOUND_AGAIN, former);
    CheckDlgButton(dialog, IDC_TIMESTAMPS, BST_INDETERMINATE);
    CheckDlgButton(dialog, IDC_GROUND, BST_INDETERMINATE);
    PollResult poll = {Candidate.count, 0};
    for (DWORD i = 0; i < Candidate.count; i++)
        FeedByte(Candidate.bytes[i]);
    CountPoll(poll);
    WriteRecording();
    UpdateLog();
}

BOOL TryCandidate(HWND dialog)
{
    DWORD now = GetTickCount();
    if (!Candidate.port && !TakeCandidate(now)) {
        if (!PortsWaiting())
            KillTimer(dialog, TIMER_SEARCH);
        return FALSE;
    }
    if (CandidateHandle)
        ReadCandidate();
    else
        AskCandidate(now);
    switch (JudgeCandidate(now)) {
    case CANDIDATE_IS_THE_BOX:
        AdoptCandidate(dialog);
        return TRUE;
    case CANDIDATE_IS_NOT:
        CloseCandidate();
        RejectCandidate();
        break;
    case CANDIDATE_WAIT:
        break;
    }
    return FALSE;
}
