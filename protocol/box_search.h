// Finding the glove box again on another port while its own is lost: the
// box's signature, the ports announced meanwhile and whose turn it is, and
// whether the bytes of the port being tried answer as the box. No platform
// call: the caller opens, reads and closes the ports and passes the time.
#ifndef TACTIVIEW_BOX_SEARCH_H
#define TACTIVIEW_BOX_SEARCH_H

#include "protocol/glove_protocol.h"

#include <stdint.h>

// A frame as the assembler keeps it, cut at FRAME_CAPACITY bytes like it.
struct KeptFrame {
    uint8_t bytes[FRAME_CAPACITY];
    uint32_t length; // 0: none
};

// The box's signature: the first text reply after a "CP" sent on the port.
extern KeptFrame Signature;

// A "CP" has gone out on the port: its next text reply is the signature.
void ExpectSignature(void);

// The frame receiver that keeps that reply.
void KeepSignature(const DecodedFrame &frame);

// Another port was picked: the box there has no signature until it answers.
void ForgetSignature(void);

// A port announced while the box is searched for is first opened this long
// after its arrival, as an adapter may refuse opening for a moment; opening
// is tried again until it has been a candidate for CANDIDATE_OPEN_MS, up to
// 2 s after the arrival. Once sent "CP", it has CANDIDATE_REPLY_MS to answer.
// A second at 9600 baud is 873 bytes, so a candidate's bytes fit in 1 KB.
constexpr uint32_t CANDIDATE_SETTLE_MS = 500;
constexpr uint32_t CANDIDATE_OPEN_MS = 1500;
constexpr uint32_t CANDIDATE_REPLY_MS = 1000;
constexpr uint32_t CANDIDATE_CAPACITY = 1024;

// The announced port being tried, one at a time, and what it sent.
struct CandidatePort {
    uint32_t port;    // 0: none is tried
    uint32_t sinceMs; // when it became the candidate, then when it was asked
    bool asked;       // "CP" went out on it
    bool gone;        // its removal was announced, or its reads failed
    uint8_t bytes[CANDIDATE_CAPACITY];
    uint32_t count;
};

extern CandidatePort Candidate;

enum CandidateVerdict { CANDIDATE_WAIT, CANDIDATE_IS_THE_BOX, CANDIDATE_IS_NOT };

// Starts searching, with no port announced yet; false, and nothing is searched
// for, when the box never answered "CP".
bool BeginSearch(void);

// Stops searching and forgets every announced port and the candidate.
void EndSearch(void);

// A port arrived; while searching it waits for its turn, unless it is waiting
// or tried already, or was rejected and has not gone since. True when noted.
bool NoteArrival(uint32_t port, uint32_t nowMs);

// A port has gone: a rejected one may be tried again once it arrives anew.
void NoteRemoval(uint32_t port);

// Whether an announced port still waits for its turn.
bool PortsWaiting(void);

// Makes the port that arrived first and has settled the candidate, when none
// is tried; returns its number, or 0.
uint32_t TakeCandidate(uint32_t nowMs);

// "CP" went out on the candidate: its time to answer starts.
void CandidateAsked(uint32_t nowMs);

// The candidate is the box when the first text reply among its bytes is the
// signature. Any other reply, none within its time, a port that did not open
// in time, or one that has gone, and it is not.
CandidateVerdict JudgeCandidate(uint32_t nowMs);

// Ends the candidate's turn; unless it has gone, it is not tried again until
// it has gone and arrived anew.
void RejectCandidate(void);

#endif
