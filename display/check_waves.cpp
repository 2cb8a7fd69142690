// Each sound is a tone or two, each tone faded in and out over 4 ms so that
// its edges do not click.
#include "display/check_waves.h"

#include <math.h>
#include <string.h>

struct Tone {
    uint16_t hz, ms; // a sound of one tone has a second of 0 ms
    bool buzz;       // a sine clipped into a rounded square, for its harmonics
};

// A short high tick; two rising tones, a fifth apart; a low buzz. In the
// order of CheckSound, from SOUND_TICK.
static constexpr Tone SoundTones[CHECK_SOUNDS][2] = {
    {{2000, 30, false}},
    {{880, 120, false}, {1320, 180, false}},
    {{150, 400, true}},
};

static constexpr bool FitsItsWave(const Tone (&tones)[2])
{
    return tones[0].ms + tones[1].ms <= LONGEST_SOUND_MS;
}
static_assert(FitsItsWave(SoundTones[0]) && FitsItsWave(SoundTones[1]) &&
                  FitsItsWave(SoundTones[2]),
              "a sound is longer than its wave");

// Half of full scale: loud enough, and a buzz clipped at it keeps headroom.
static const double LOUDNESS = 16000;
static const unsigned FADE_SAMPLES = WAVE_RATE * 4 / 1000;
static const double PI = 3.14159265358979;

static void Put16(uint8_t *at, unsigned value)
{
    at[0] = (uint8_t)value;
    at[1] = (uint8_t)(value >> 8);
}

static void Put32(uint8_t *at, uint32_t value)
{
    Put16(at, value & 0xFFFF);
    Put16(at + 2, value >> 16);
}

static void WriteHeader(uint8_t *wave, uint32_t dataSize)
{
    memcpy(wave, "RIFF", 4);
    Put32(wave + 4, WAVE_HEADER_SIZE - 8 + dataSize);
    memcpy(wave + 8, "WAVEfmt ", 8);
    Put32(wave + 16, 16);            // the format's size
    Put16(wave + 20, 1);             // PCM
    Put16(wave + 22, 1);             // mono
    Put32(wave + 24, WAVE_RATE);     // samples a second
    Put32(wave + 28, WAVE_RATE * 2); // bytes a second
    Put16(wave + 32, 2);             // bytes a sample
    Put16(wave + 34, 16);            // bits a sample
    memcpy(wave + 36, "data", 4);
    Put32(wave + 40, dataSize);
}

// Returns the bytes written.
static unsigned WriteTone(uint8_t *at, const Tone &tone)
{
    unsigned count = tone.ms * WAVE_RATE / 1000;
    for (unsigned i = 0; i < count; i++) {
        double sample = sin(2 * PI * tone.hz * i / WAVE_RATE);
        if (tone.buzz)
            sample = fmax(-1, fmin(1, 3 * sample));
        unsigned edge = i < count - 1 - i ? i : count - 1 - i;
        if (edge < FADE_SAMPLES)
            sample *= (double)edge / FADE_SAMPLES;
        Put16(at + 2 * i, (uint16_t)lround(sample * LOUDNESS));
    }
    return 2 * count;
}

unsigned MakeSoundWave(CheckSound sound, uint8_t (&wave)[SOUND_WAVE_SIZE])
{
    unsigned length = WAVE_HEADER_SIZE;
    for (const Tone &tone : SoundTones[sound - SOUND_TICK])
        length += WriteTone(wave + length, tone);
    WriteHeader(wave, length - WAVE_HEADER_SIZE);
    return length;
}
