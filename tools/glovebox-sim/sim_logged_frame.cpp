#include "sim_logged_frame.h"

#include "protocol/glove_protocol.h"

#include <cstring>

bool HasAt(const std::string &text, size_t at, const char *word)
{
    size_t n = std::strlen(word);
    return at <= text.size() && text.size() - at >= n && text.compare(at, n, word) == 0;
}

const char TextCutByTheEnd[] = "a text reply that the end of the log cuts short";

namespace
{

ReplayRow FrameRow(const Frame &frame)
{
    ReplayRow row;
    row.frame = frame;
    return row;
}

int HexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// Two upper-case hex digits, as the log shows a byte.
bool ReadHexByte(const std::string &text, size_t at, uint8_t *value)
{
    if (at > text.size() || text.size() - at < 2)
        return false;
    int high = HexDigit(text[at]), low = HexDigit(text[at + 1]);
    if (high < 0 || low < 0)
        return false;
    *value = (uint8_t)(high << 4 | low);
    return true;
}

// Why the bytes cannot be a frame that the receiver stored, or nullptr when
// they can: the end byte ends a frame wherever it comes, and a frame that
// does not end in it was cut at 64 bytes.
const char *StoredFrameFault(const Frame &frame)
{
    for (size_t i = 1; i + 1 < frame.size(); i++)
        if (frame[i] == FRAME_END)
            return "8F before the last byte";
    if (frame.back() != FRAME_END && frame.size() != FRAME_CAPACITY)
        return "a last byte other than 8F, which only a line of 64 bytes has";
    return nullptr;
}

// "80 08 10 8F" and CR LF: upper-case hex bytes with one space between them.
const char *ReadHexLine(const std::string &log, size_t at, std::vector<Reading> *readings)
{
    const char *malformed = "expected upper-case hex bytes with one space between them, then CR LF";
    Frame frame;
    uint8_t byte;
    for (;;) {
        if (!ReadHexByte(log, at, &byte))
            return malformed;
        frame.push_back(byte);
        if (frame.size() > FRAME_CAPACITY)
            return "more than 64 bytes";
        at += 2;
        if (HasAt(log, at, "\r\n"))
            break;
        if (!HasAt(log, at, " "))
            return malformed;
        at++;
    }
    const char *fault = StoredFrameFault(frame);
    if (!fault)
        readings->push_back({FrameRow(frame), at + 2});
    return fault;
}

// The log shows a zero byte and a backslash before a '0' alike, as \0. The
// payload holds a zero byte for each; a frame cut at 64 bytes takes as many
// of them as a backslash and a '0' as make it that long.
Frame TextReplyFrame(const Frame &payload, uint8_t last)
{
    size_t widen = 0;
    if (last != FRAME_END && payload.size() < FRAME_CAPACITY - 2)
        widen = FRAME_CAPACITY - 2 - payload.size();
    Frame frame = {FRAME_TEXT};
    for (uint8_t c : payload) {
        if (c == 0 && widen > 0) {
            frame.push_back('\\');
            widen--;
            c = '0';
        }
        frame.push_back(c);
    }
    frame.push_back(last);
    return frame;
}

// "82 "text" 8F" and CR LF. The text holds the payload bytes as they are, a
// zero byte as \0, and may hold quotes, CR and LF: every closing quote, hex
// byte and CR LF within 64 bytes that ends a frame is a reading. In a row of
// a recording with times, each CR LF of the text is followed by a tab that is
// not the text's.
const char *ReadTextLine(const std::string &log, size_t at, bool inRow,
                         std::vector<Reading> *readings)
{
    const char *fault =
        "a text reply without its closing quote, end byte and CR LF within 64 bytes";
    Frame payload;
    at += 4; // 82 "
    while (payload.size() <= FRAME_CAPACITY - 2) {
        uint8_t last;
        if (HasAt(log, at, "\" ") && ReadHexByte(log, at + 2, &last) &&
            HasAt(log, at + 4, "\r\n")) {
            Frame whole = TextReplyFrame(payload, last);
            if (const char *notStored = StoredFrameFault(whole))
                fault = notStored;
            else
                readings->push_back({FrameRow(whole), at + 6});
        }
        if (at == log.size()) {
            fault = TextCutByTheEnd;
            break;
        }
        if (log[at] == '\0' || (uint8_t)log[at] == FRAME_END) {
            fault = "a zero byte or 8F as it is in a text reply";
            break;
        }
        if (inRow && HasAt(log, at, "\r\n")) {
            if (!HasAt(log, at + 2, "\t"))
                break;
            payload.insert(payload.end(), {'\r', '\n'});
            at += 3;
            continue;
        }
        bool zero = HasAt(log, at, "\\0");
        payload.push_back(zero ? 0 : (uint8_t)log[at]);
        at += zero ? 2 : 1;
    }
    return readings->empty() ? fault : nullptr;
}

} // namespace

std::vector<Reading> ReadLoggedFrame(const std::string &log, size_t at, bool inRow,
                                     const char **fault)
{
    std::vector<Reading> readings;
    if (HasAt(log, at, "80 ") || HasAt(log, at, "81 "))
        *fault = ReadHexLine(log, at, &readings);
    else if (HasAt(log, at, "82 \""))
        *fault = ReadTextLine(log, at, inRow, &readings);
    else
        *fault = "expected a logged frame: 80 or 81 and hex bytes, or 82 and quoted text";
    return readings;
}
