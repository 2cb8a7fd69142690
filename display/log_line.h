// Builds the receive log's text for one frame.
#ifndef TACTIVIEW_LOG_LINE_H
#define TACTIVIEW_LOG_LINE_H

#include "protocol/glove_protocol.h"

// Large enough for the longest line with its terminator: a full contact report
// takes three characters a byte plus the line break's second character
// (3 * 64 + 1 = 193). A full text reply of zero bytes takes 2 * 64 + 6 = 134.
constexpr unsigned LOG_LINE_SIZE = 3 * FRAME_CAPACITY + 2;

// Writes the line of the frame b[0 .. n - 1] into line, which holds
// LOG_LINE_SIZE characters, and returns its length. n is 2 to 64; b[0] is the
// start byte and b[n - 1] the byte taken as the end byte.
//
// Contact reports show every byte as two hex digits; text replies show their
// characters between double quotes, a zero byte as the two characters \0 so
// that the rest of the reply still reaches the log.
unsigned FormatLogLine(char *line, const uint8_t *b, unsigned n);

#endif
