// Text written into a buffer of the caller's, with no allocation: numbers
// where the caller has made room for them, each writer returning where its
// text ends; and a bounded writer of words and numbers, which cuts its text
// short rather than overrun the buffer.
#ifndef TACTIVIEW_TEXT_WRITER_H
#define TACTIVIEW_TEXT_WRITER_H

#include <stdint.h>

// The most digits a decimal number takes: 18446744073709551615.
constexpr unsigned DECIMAL_DIGITS_MAX = 20;

// Writes value in decimal: with width 0 in as many digits as it needs,
// otherwise in exactly width digits, its lowest ones, with leading zeros.
char *PutDecimal(char *p, uint64_t value, unsigned width = 0);

// Writes a byte as two upper-case hex digits.
char *PutHexByte(char *p, uint8_t value);

// Text being written: from p up to end, where the terminator goes.
struct TextBuffer {
    char *p;
    char *end;
};

// Starts writing into text, which holds size characters, the terminator
// included.
TextBuffer StartText(char *text, unsigned size);

// Terminates the text and returns its length.
unsigned EndText(TextBuffer &out, char *text);

// Writes s, or at most `most` characters of it.
void Put(TextBuffer &out, const char *s, unsigned most = ~0u);

void PutNumber(TextBuffer &out, uint64_t n);

#endif
