// Records the decoder's window effects so the core can be tested without a window.
#ifndef TACTIVIEW_WINDOW_RECORDER_H
#define TACTIVIEW_WINDOW_RECORDER_H

#include <initializer_list>
#include <string>
#include <vector>

struct WindowRecord {
    int timestampBox;
    int groundBox;
    int timerStarts;
    int refreshes;
    std::vector<std::string> log;
    // What the receivers were given beside each line: "81 at 272 ms, 1 group",
    // "80, 0 groups", or "82" for a text reply.
    std::vector<std::string> frames;
    // Window effects in the order they happened: "box", "timer", "refresh", "log".
    std::vector<std::string> effects;
};

extern WindowRecord Recorded;

// Puts the assembler, the contact state and the record back to their start,
// with both mode boxes indeterminate as after the program's start-up.
void ResetCore();

// Feeds the bytes to FeedByte in order.
void Feed(std::initializer_list<int> bytes);
void Feed(const std::vector<int> &bytes);

#endif
