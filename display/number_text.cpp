#include "display/number_text.h"

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
