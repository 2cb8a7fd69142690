#include "app/check_sounds.h"

#include "display/check_waves.h"
#include "protocol/check_sound.h"

#include <mmsystem.h>

BOOL SoundsOn;

// Played from memory, so they stay for the program's life; from SOUND_TICK.
static uint8_t Waves[CHECK_SOUNDS][SOUND_WAVE_SIZE];

// The first call into the sound driver loads it: 25-55 ms under Wine with no
// sound device, about 100 ms with one. PlaySound loads it on the thread that
// plays, and returns at once, but a second PlaySound made during that load
// waits for it (17-126 ms measured), inside a poll. A thread of its own loads
// the driver at start instead, so that start-up does not wait either.
static DWORD WINAPI LoadSoundDriver(LPVOID)
{
    waveOutGetNumDevs();
    return 0;
}

void MakeCheckSounds(void)
{
    for (unsigned i = 0; i < CHECK_SOUNDS; i++)
        MakeSoundWave((CheckSound)(SOUND_TICK + i), Waves[i]);
    HANDLE thread = CreateThread(NULL, 0, LoadSoundDriver, NULL, 0, NULL);
    if (thread)
        CloseHandle(thread);
}

// While the sounds are off, the check is followed as it is without them; the
// sound decision takes up the check as it finds it once they are on again.
// A new sound cuts short the one playing.
void CheckContactsAloud(const DecodedFrame &frame, uint32_t pcMs)
{
    if (!SoundsOn) {
        CheckContacts(frame, pcMs);
        return;
    }
    CheckSound sound = CheckContactsForSound(frame, pcMs);
    if (sound != SOUND_NONE)
        PlaySoundA((LPCSTR)Waves[sound - SOUND_TICK], NULL, SND_MEMORY | SND_ASYNC | SND_NODEFAULT);
}
