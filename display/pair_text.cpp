#include "display/pair_text.h"

#include "display/number_text.h"

const char *const ContactNames[CHECK_CONTACTS] = {
    "left little",  "left ring",  "left middle",  "left index",  "left thumb",  "left ground",
    "right little", "right ring", "right middle", "right index", "right thumb", "right ground",
};

TextBuffer StartText(char *text, unsigned size)
{
    return TextBuffer{text, text + size - 1};
}

unsigned EndText(TextBuffer &out, char *text)
{
    *out.p = '\0';
    return (unsigned)(out.p - text);
}

void Put(TextBuffer &out, const char *s)
{
    while (*s && out.p < out.end)
        *out.p++ = *s++;
}

void PutNumber(TextBuffer &out, uint32_t n)
{
    char digits[DECIMAL_DIGITS_MAX + 1];
    *PutDecimal(digits, n) = '\0';
    Put(out, digits);
}

void PutPairName(TextBuffer &out, unsigned index)
{
    Put(out, ContactNames[CheckPairs[index].a]);
    Put(out, " + ");
    Put(out, ContactNames[CheckPairs[index].b]);
}

void PutPairList(TextBuffer &out, const PairSet &set)
{
    const char *separator = "";
    for (unsigned i = 0; i < CHECK_PAIRS; i++) {
        if (HasPairAt(set, i)) {
            Put(out, separator);
            PutPairName(out, i);
            separator = ", ";
        }
    }
}
