// The contacts and their pairs in words, as every text of the contact check
// writes them ("left index + right thumb").
#ifndef TACTIVIEW_PAIR_TEXT_H
#define TACTIVIEW_PAIR_TEXT_H

#include "display/text_writer.h"
#include "protocol/contact_check.h"

// In the order of the contacts: the left glove's, then the right glove's.
extern const char *const ContactNames[CHECK_CONTACTS];

// The longest pair's name, "right middle + right ground", with a separator
// ", " after it.
constexpr unsigned PAIR_NAME_SIZE = 29;

void PutPairName(TextBuffer &out, unsigned index); // an index into CheckPairs

// The pairs of the set in the report's order, separated by ", ".
void PutPairList(TextBuffer &out, const PairSet &set);

#endif
