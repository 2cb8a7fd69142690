#include "protocol/check_sound.h"

#include "protocol/check_verdict.h"

// What the check was after the last report followed here. Its plan's pairs
// made only grow until the check starts afresh, so a pair made for the first
// time shows as one more of them.
static struct {
    uint32_t changes;
    Verdict verdict;
    unsigned planMade;
} Heard;

static void NoteStanding(const CheckStanding &standing)
{
    Heard.changes = ContactCheck.changes;
    Heard.verdict = standing.verdict;
    Heard.planMade = standing.planMade;
}

static CheckSound SoundOfChange(const CheckStanding &now)
{
    if (now.verdict != Heard.verdict && now.verdict == VERDICT_PASS)
        return SOUND_PASS;
    if (now.verdict != Heard.verdict && now.verdict == VERDICT_FAIL)
        return SOUND_FAIL;
    return now.planMade > Heard.planMade ? SOUND_TICK : SOUND_NONE;
}

// A check reset or given a plan since the last report moved its changes
// without one: what it is now is the "before" of this report.
CheckSound CheckContactsForSound(const DecodedFrame &frame, uint32_t pcMs)
{
    if (ContactCheck.changes != Heard.changes)
        NoteStanding(JudgeCheck(ContactCheck));
    CheckContacts(frame, pcMs);
    if (ContactCheck.changes == Heard.changes)
        return SOUND_NONE;
    CheckStanding now = JudgeCheck(ContactCheck);
    CheckSound sound = SoundOfChange(now);
    NoteStanding(now);
    return sound;
}
