// The bytes that cross the serial line to the glove box, the receive state
// machine that assembles them into frames, and the decoded contact picture.
// Nothing here depends on the platform; the window effects of a decoded frame
// go through window_effects.h.
#ifndef TACTIVIEW_GLOVE_PROTOCOL_H
#define TACTIVIEW_GLOVE_PROTOCOL_H

#include <stdint.h>

// Two-letter commands; each is written as exactly two bytes with no terminator.
#define CMD_QUERY_LEFT "CL"
#define CMD_QUERY_RIGHT "CR"
#define CMD_QUERY_SIGNATURE "CP"
#define CMD_TIMESTAMPS_ON "T1"
#define CMD_TIMESTAMPS_OFF "T0"
#define CMD_GROUND_ON "G1"
#define CMD_GROUND_OFF "G0"

// Frame start and end bytes. Only the three start bytes open a frame, and the
// end byte ends one wherever it occurs.
enum {
    FRAME_CONTACTS = 0x80,
    FRAME_CONTACTS_TIMED = 0x81,
    FRAME_TEXT = 0x82,
    FRAME_END = 0x8F,
};

// At most this many bytes of one frame are kept, start and end byte included.
constexpr unsigned FRAME_CAPACITY = 64;

// One contact group per colour of the display.
constexpr unsigned MAX_GROUPS = 5;

// Bits of a ContactMask, one byte per glove per group. Bits 6 and 7 carry nothing.
enum {
    CONTACT_LITTLE = 0x01,
    CONTACT_RING = 0x02,
    CONTACT_MIDDLE = 0x04,
    CONTACT_INDEX = 0x08,
    CONTACT_THUMB = 0x10,
    CONTACT_GROUND = 0x20,
};

// Timestamps are two 7-bit bytes, T_low | (T_high << 7), in milliseconds.
constexpr unsigned TIMESTAMP_HIGH_SHIFT = 7;

// The decoded contact picture of the last contact report. Groups[k] holds the
// left glove's mask in its low byte and the right glove's in its high byte.
struct ContactPicture {
    uint8_t GroupCount;
    uint16_t Groups[MAX_GROUPS];
    uint32_t TimestampMs; // 0 = none shown
};

extern ContactPicture ContactState;

// A completed frame as the decoder read it, with its log line: what each
// receiver of frames is given, so that none reads the frame back out of the
// line's text.
struct DecodedFrame {
    uint8_t start; // FRAME_CONTACTS, FRAME_CONTACTS_TIMED or FRAME_TEXT
    // A contact report's groups and timestamp: ContactState as the report
    // left it. NULL for a text reply.
    const ContactPicture *contacts;
    // The report carried the box's clock, which is contacts->TimestampMs; a
    // timed report too short to hold its two timestamp bytes carries none.
    // Unlike the picture, which shows no timestamp of 0, 0 ms is a time here.
    bool timed;
    const char *line; // ends in CR LF
    unsigned length;  // of the line, without its terminator
    // The frame as the assembler kept it, at most FRAME_CAPACITY bytes; none
    // for a frame that a test makes of its line.
    const uint8_t *bytes = nullptr;
    unsigned size = 0;
};

// The frame being received; FrameLength 0 means no frame is open.
extern uint8_t FrameBuffer[FRAME_CAPACITY];
extern uint32_t FrameLength;

// The byte that the port is read into before it is fed to the assembler.
extern uint8_t ReceivedByte;

// What the assembler consumed without keeping it in a frame: bytes that
// arrived while no frame was open, frames longer than FRAME_CAPACITY, and the
// bytes of those frames past the capacity, end byte included. Counted for
// the line statistics; zeroed only by them.
struct FrameDropCounts {
    uint64_t BytesOutsideFrames;
    uint64_t CutFrames;
    uint64_t BytesPastCut;
};

extern FrameDropCounts FrameDrops;

// What one byte did to a frame being assembled at frame, whose first
// *length bytes have come.
enum FrameByte {
    BYTE_OUTSIDE,  // no frame was open and the byte opens none: it is dropped
    BYTE_KEPT,     // stored, and *length grew
    BYTE_PAST_CUT, // the frame holds FRAME_CAPACITY bytes: consumed, not stored
};

// The one rule of where a frame starts and ends, which every reader of the
// box's bytes follows: only a start byte opens a frame, and the end byte
// closes an open one wherever it comes, so a start byte inside a frame is
// payload. After a byte that closes the frame (ClosesFrame) the caller
// starts the next at *length 0.
FrameByte TakeFrameByte(uint8_t *frame, uint32_t *length, uint8_t c);

inline bool ClosesFrame(FrameByte taken, uint8_t c)
{
    return taken != BYTE_OUTSIDE && c == FRAME_END;
}

// Advances the frame assembler by one received byte; a completed frame is
// processed before this returns.
void FeedByte(uint8_t c);

// Forgets the frame that is open, if any: its port was lost, so the rest of
// it will never come, and the next port's first bytes must not complete it.
void DropFrame(void);

// Acts on the completed frame FrameBuffer[0 .. FrameLength - 1]: logs it and,
// for a contact report, updates ContactState and the mode boxes.
void ProcessFrame(void);

#endif
