// The ports announced during a search are kept in a small table in the order
// of their arrival; one that is rejected stays in it, so that a second
// announcement does not try it again, until its removal frees its entry.
#include "protocol/box_search.h"

#include <string.h>

KeptFrame Signature;
CandidatePort Candidate;

static bool SignatureExpected;
static bool Searching;

enum AnnouncedState : uint8_t { ENTRY_FREE, ENTRY_WAITING, ENTRY_REJECTED };

struct AnnouncedPort {
    uint32_t port;
    uint32_t arrivedMs;
    AnnouncedState state;
};

// More ports than this that arrive while the box is away are not tried.
static const unsigned ANNOUNCED_CAPACITY = 16;
static AnnouncedPort Announced[ANNOUNCED_CAPACITY];

void ExpectSignature(void)
{
    SignatureExpected = true;
}

void KeepSignature(const DecodedFrame &frame)
{
    if (!SignatureExpected || frame.start != FRAME_TEXT)
        return;
    SignatureExpected = false;
    Signature.length = frame.size < FRAME_CAPACITY ? frame.size : FRAME_CAPACITY;
    if (Signature.length)
        memcpy(Signature.bytes, frame.bytes, Signature.length);
}

void ForgetSignature(void)
{
    Signature.length = 0;
}

static void ForgetPorts(void)
{
    memset(Announced, 0, sizeof Announced);
    memset(&Candidate, 0, sizeof Candidate);
}

bool BeginSearch(void)
{
    ForgetPorts();
    Searching = Signature.length != 0;
    return Searching;
}

void EndSearch(void)
{
    ForgetPorts();
    Searching = false;
}

static AnnouncedPort *FindAnnounced(uint32_t port)
{
    for (AnnouncedPort &entry : Announced)
        if (entry.state != ENTRY_FREE && entry.port == port)
            return &entry;
    return nullptr;
}

// Returns whether the table had room.
static bool AddAnnounced(uint32_t port, uint32_t arrivedMs, AnnouncedState state)
{
    for (AnnouncedPort &entry : Announced) {
        if (entry.state == ENTRY_FREE) {
            entry = {port, arrivedMs, state};
            return true;
        }
    }
    return false;
}

bool NoteArrival(uint32_t port, uint32_t nowMs)
{
    bool tried = Candidate.port == port && !Candidate.gone;
    if (!Searching || port == 0 || tried || FindAnnounced(port))
        return false;
    return AddAnnounced(port, nowMs, ENTRY_WAITING);
}

void NoteRemoval(uint32_t port)
{
    if (port == 0)
        return;
    if (AnnouncedPort *entry = FindAnnounced(port))
        entry->state = ENTRY_FREE;
    if (Candidate.port == port)
        Candidate.gone = true;
}

bool PortsWaiting(void)
{
    for (const AnnouncedPort &entry : Announced)
        if (entry.state == ENTRY_WAITING)
            return true;
    return false;
}

uint32_t TakeCandidate(uint32_t nowMs)
{
    AnnouncedPort *first = nullptr;
    for (AnnouncedPort &entry : Announced) {
        uint32_t waited = nowMs - entry.arrivedMs;
        if (entry.state == ENTRY_WAITING && waited >= CANDIDATE_SETTLE_MS &&
            (!first || waited > nowMs - first->arrivedMs))
            first = &entry;
    }
    if (!first || Candidate.port)
        return 0;
    first->state = ENTRY_FREE;
    memset(&Candidate, 0, sizeof Candidate);
    Candidate.port = first->port;
    Candidate.sinceMs = nowMs;
    return Candidate.port;
}

void CandidateAsked(uint32_t nowMs)
{
    Candidate.asked = true;
    Candidate.sinceMs = nowMs;
}

// The candidate's bytes are framed by the assembler's own rule, in a frame
// of their own.
static bool FirstTextReply(const uint8_t *bytes, uint32_t count, KeptFrame *reply)
{
    reply->length = 0;
    for (uint32_t i = 0; i < count; i++) {
        if (!ClosesFrame(TakeFrameByte(reply->bytes, &reply->length, bytes[i]), bytes[i]))
            continue;
        if (reply->bytes[0] == FRAME_TEXT)
            return true;
        reply->length = 0;
    }
    return false;
}

static bool IsSignature(const KeptFrame &reply)
{
    return reply.length == Signature.length &&
           memcmp(reply.bytes, Signature.bytes, reply.length) == 0;
}

CandidateVerdict JudgeCandidate(uint32_t nowMs)
{
    KeptFrame reply;
    uint32_t waited = nowMs - Candidate.sinceMs;
    if (Candidate.gone)
        return CANDIDATE_IS_NOT;
    if (!Candidate.asked)
        return waited >= CANDIDATE_OPEN_MS ? CANDIDATE_IS_NOT : CANDIDATE_WAIT;
    if (FirstTextReply(Candidate.bytes, Candidate.count, &reply))
        return IsSignature(reply) ? CANDIDATE_IS_THE_BOX : CANDIDATE_IS_NOT;
    if (Candidate.count == CANDIDATE_CAPACITY || waited >= CANDIDATE_REPLY_MS)
        return CANDIDATE_IS_NOT;
    return CANDIDATE_WAIT;
}

// A table full of other ports leaves this one free to be tried again.
void RejectCandidate(void)
{
    if (!Candidate.gone)
        AddAnnounced(Candidate.port, 0, ENTRY_REJECTED);
    Candidate.port = 0;
}
