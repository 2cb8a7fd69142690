#include "app/check_sounds.h"

#include "app/settings.h"
#include "display/check_waves.h"
#include "protocol/check_sound.h"

#include <mmsystem.h>

BOOL SoundsOn;

// The value that keeps SoundsOn for the user.
static const char KeptSounds[] = "Sounds";

// Played from memory, so they stay for the program's life; from SOUND_TICK.
static uint8_t Waves[CHECK_SOUNDS][SOUND_WAVE_SIZE];

// The first call into the sound driver loads it: 25-55 ms under Wine with no
// sound device, about 100 ms with one. PlaySound loads it on the thread that
// plays, and returns at once, but a second PlaySound made during that load
// waits for it (17-126 ms measured), inside a poll. So the driver is loaded
// as the sounds are turned on, at start or by a click, where a moment's wait
// costs nothing.
static void LoadSoundDriver(void)
{
    static BOOL loaded;
    if (!loaded)
        waveOutGetNumDevs();
    loaded = TRUE;
}

static void SetSounds(BOOL on)
{
    SoundsOn = on;
    if (on)
        LoadSoundDriver();
}

void MakeCheckSounds(void)
{
    for (unsigned i = 0; i < CHECK_SOUNDS; i++)
        MakeSoundWave((CheckSound)(SOUND_TICK + i), Waves[i]);
    SetSounds(ReadStationFlag(KeptSounds));
}

void TurnSoundsOn(BOOL on)
{
    SetSounds(on);
    KeepStationFlag(KeptSounds, on);
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
