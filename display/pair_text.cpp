#include "display/pair_text.h"

const char *const ContactNames[CHECK_CONTACTS] = {
    "left little",  "left ring",  "left middle",  "left index",  "left thumb",  "left ground",
    "right little", "right ring", "right middle", "right index", "right thumb", "right ground",
};

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
