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

// Days from 1970-01-01 to the date, in the Gregorian calendar.
static int64_t DaysFromCivil(int64_t year, unsigned month, unsigned day)
{
    year -= month <= 2;
    int64_t era = (year >= 0 ? year : year - 399) / 400;
    unsigned yearOfEra = (unsigned)(year - era * 400);
    unsigned dayOfYear = (153 * (month > 2 ? month - 3 : month + 9) + 2) / 5 + day - 1;
    unsigned dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + (int64_t)dayOfEra - 719468;
}

static unsigned Digits(const char *s, unsigned count)
{
    unsigned value = 0;
    for (unsigned i = 0; i < count; i++)
        value = value * 10 + (unsigned)(s[i] - '0');
    return value;
}

static unsigned DaysInMonth(unsigned year, unsigned month)
{
    static const uint8_t Days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return Days[month - 1] + (month == 2 && leap);
}

bool ReadRowTime(const char *s, unsigned length, int64_t *utcMs)
{
    static const char Pattern[] = "dddd-dd-ddTdd:dd:dd.ddd+dd:dd";
    if (length != sizeof Pattern - 1)
        return false;
    for (unsigned i = 0; i < sizeof Pattern - 1; i++) {
        char p = Pattern[i], c = s[i];
        if (p == 'd' ? c < '0' || c > '9' : p == '+' ? c != '+' && c != '-' : c != p)
            return false;
    }
    unsigned year = Digits(s, 4), month = Digits(s + 5, 2), day = Digits(s + 8, 2);
    unsigned hour = Digits(s + 11, 2), minute = Digits(s + 14, 2), second = Digits(s + 17, 2);
    unsigned offsetHours = Digits(s + 24, 2), offsetMinutes = Digits(s + 27, 2);
    if (month < 1 || month > 12 || day < 1 || day > DaysInMonth(year, month) || hour > 23 ||
        minute > 59 || second > 59 || offsetHours > 23 || offsetMinutes > 59)
        return false;
    int64_t offset = offsetHours * 60 + offsetMinutes;
    int64_t minutes = (DaysFromCivil(year, month, day) * 24 + hour) * 60 + minute;
    minutes -= s[23] == '-' ? -offset : offset;
    *utcMs = (minutes * 60 + second) * 1000 + Digits(s + 20, 3);
    return true;
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
