#include "display/timed_row.h"

#include "display/text_writer.h"

unsigned FormatRowTime(char *text, const RowTime &time)
{
    char *p = PutDecimal(text, time.year, 4);
    *p++ = '-';
    p = PutDecimal(p, time.month, 2);
    *p++ = '-';
    p = PutDecimal(p, time.day, 2);
    *p++ = 'T';
    p = PutDecimal(p, time.hour, 2);
    *p++ = ':';
    p = PutDecimal(p, time.minute, 2);
    *p++ = ':';
    p = PutDecimal(p, time.second, 2);
    *p++ = '.';
    p = PutDecimal(p, time.milliseconds, 3);
    int offset = time.offsetMinutes;
    *p++ = offset < 0 ? '-' : '+';
    if (offset < 0)
        offset = -offset;
    p = PutDecimal(p, (unsigned)offset / 60, 2);
    *p++ = ':';
    p = PutDecimal(p, (unsigned)offset % 60, 2);
    *p = '\0';
    return (unsigned)(p - text);
}

// A CR LF with more text after it, which gets a tab.
static bool InnerLineBreak(const char *text, unsigned length, unsigned i)
{
    return text[i] == '\n' && i > 0 && text[i - 1] == '\r' && i + 1 < length;
}

unsigned RowLength(unsigned timeLength, const char *text, unsigned length)
{
    if (length == 0)
        return 0;
    unsigned size = timeLength + 1 + length;
    for (unsigned i = 0; i < length; i++)
        size += InnerLineBreak(text, length, i);
    return size;
}

unsigned FormatRow(char *row, const char *time, const char *text, unsigned length)
{
    if (length == 0)
        return 0;
    char *p = row;
    while (*time)
        *p++ = *time++;
    *p++ = '\t';
    for (unsigned i = 0; i < length; i++) {
        *p++ = text[i];
        if (InnerLineBreak(text, length, i))
            *p++ = '\t';
    }
    return (unsigned)(p - row);
}

unsigned FormatEvent(char *line, const char *text)
{
    static const char Mark[] = "# ", End[] = "\r\n";
    TextBuffer out = StartText(line, EVENT_SIZE);
    Put(out, Mark);
    Put(out, text, EVENT_SIZE - sizeof Mark - sizeof End + 1);
    Put(out, End);
    return EndText(out, line);
}
