#include "display/log_line.h"

static const char HexDigits[] = "0123456789ABCDEF";

static char *PutHex(char *p, uint8_t value)
{
    *p++ = HexDigits[value >> 4];
    *p++ = HexDigits[value & 0x0F];
    return p;
}

static char *PutHexBytes(char *p, const uint8_t *bytes, unsigned count)
{
    for (unsigned i = 0; i < count; i++) {
        p = PutHex(p, bytes[i]);
        *p++ = ' ';
    }
    return p;
}

static char *PutQuotedText(char *p, const uint8_t *chars, unsigned count)
{
    *p++ = '"';
    for (unsigned i = 0; i < count; i++) {
        if (chars[i] == 0) {
            *p++ = '\\';
            *p++ = '0';
        } else {
            *p++ = (char)chars[i];
        }
    }
    *p++ = '"';
    *p++ = ' ';
    return p;
}

unsigned FormatLogLine(char *line, const uint8_t *b, unsigned n)
{
    char *p = PutHex(line, b[0]);
    *p++ = ' ';
    if (b[0] == FRAME_TEXT)
        p = PutQuotedText(p, b + 1, n - 2);
    else
        p = PutHexBytes(p, b + 1, n - 2);
    p = PutHex(p, b[n - 1]);
    *p++ = '\r';
    *p++ = '\n';
    *p = '\0';
    return (unsigned)(p - line);
}
