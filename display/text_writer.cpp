#include "display/text_writer.h"

char *PutDecimal(char *p, uint64_t value, unsigned width)
{
    unsigned count = width;
    if (count == 0)
        for (uint64_t rest = value; count == 0 || rest > 0; rest /= 10)
            count++;
    for (unsigned i = count; i-- > 0; value /= 10)
        p[i] = (char)('0' + value % 10);
    return p + count;
}

char *PutHexByte(char *p, uint8_t value)
{
    static const char HexDigits[] = "0123456789ABCDEF";
    *p++ = HexDigits[value >> 4];
    *p++ = HexDigits[value & 0x0F];
    return p;
}

TextBuffer StartText(char *text, unsigned size)
{
    return TextBuffer{text, text + size - 1};
}

unsigned EndText(TextBuffer &out, char *text)
{
    *out.p = '\0';
    return (unsigned)(out.p - text);
}

void Put(TextBuffer &out, const char *s, unsigned most)
{
    for (; *s && most > 0 && out.p < out.end; most--)
        *out.p++ = *s++;
}

void PutNumber(TextBuffer &out, uint64_t n)
{
    char digits[DECIMAL_DIGITS_MAX];
    char *end = PutDecimal(digits, n);
    for (char *d = digits; d < end && out.p < out.end; d++)
        *out.p++ = *d;
}
