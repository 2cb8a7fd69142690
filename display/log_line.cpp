#include "display/log_line.h"

#include "display/text_writer.h"

static char *PutHexBytes(char *p, const uint8_t *bytes, unsigned count)
{
    for (unsigned i = 0; i < count; i++) {
        p = PutHexByte(p, bytes[i]);
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
    char *p = PutHexByte(line, b[0]);
    *p++ = ' ';
    if (b[0] == FRAME_TEXT)
        p = PutQuotedText(p, b + 1, n - 2);
    else
        p = PutHexBytes(p, b + 1, n - 2);
    p = PutHexByte(p, b[n - 1]);
    *p++ = '\r';
    *p++ = '\n';
    *p = '\0';
    return (unsigned)(p - line);
}
