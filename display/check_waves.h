// The check's sounds as whole RIFF WAVE files in memory, made by the program
// rather than shipped: PCM, mono, 16-bit, at 22,050 samples a second, which
// every sound device plays. Its 11 kHz of bandwidth holds the 2 kHz tick and
// the low harmonics that make the buzz heard on small speakers, and 16 bits
// keep the fades free of the hiss that 8 would add.
#ifndef TACTIVIEW_CHECK_WAVES_H
#define TACTIVIEW_CHECK_WAVES_H

#include "protocol/check_sound.h"

constexpr unsigned WAVE_RATE = 22050;
constexpr unsigned WAVE_HEADER_SIZE = 44;

// The longest sound, the FAIL buzz, fits: 17,684 bytes.
constexpr unsigned LONGEST_SOUND_MS = 400;
constexpr unsigned SOUND_WAVE_SIZE = WAVE_HEADER_SIZE + LONGEST_SOUND_MS * WAVE_RATE / 1000 * 2;

// Writes the wave of a sound other than SOUND_NONE; returns its length, the
// header's 44 bytes and two a sample.
unsigned MakeSoundWave(CheckSound sound, uint8_t (&wave)[SOUND_WAVE_SIZE]);

#endif
