// The check's sounds as Windows' own reader of RIFF files takes them from
// memory.
#include "display/check_waves.h"

#include <windows.h>
#include <mmsystem.h>

#include <gtest/gtest.h>

#include <algorithm>

namespace
{

// Each is a PCM wave of the length it was made with, whose RIFF chunk and data
// end with the file, loud, and faded to silence at its end so that it does
// not click.
TEST(CheckWaves, WindowsReadsEachAsTheWaveItWasMadeAs)
{
    static uint8_t wave[SOUND_WAVE_SIZE];
    static int16_t samples[SOUND_WAVE_SIZE / 2];
    const unsigned ms[CHECK_SOUNDS] = {30, 300, 400};
    const PCMWAVEFORMAT pcm = {{WAVE_FORMAT_PCM, 1, 22050, 44100, 2}, 16};
    for (unsigned i = 0; i < CHECK_SOUNDS; i++) {
        LONG length = (LONG)MakeSoundWave((CheckSound)(SOUND_TICK + i), wave);
        MMIOINFO memory = {};
        memory.fccIOProc = FOURCC_MEM;
        memory.pchBuffer = (HPSTR)wave;
        memory.cchBuffer = length;
        HMMIO file = mmioOpenA(NULL, &memory, MMIO_READ);
        MMCKINFO riff = {}, format = {}, data = {};
        riff.fccType = mmioFOURCC('W', 'A', 'V', 'E');
        format.ckid = mmioFOURCC('f', 'm', 't', ' ');
        data.ckid = mmioFOURCC('d', 'a', 't', 'a');
        PCMWAVEFORMAT read = {};
        ASSERT_EQ(mmioDescend(file, &riff, NULL, MMIO_FINDRIFF), MMSYSERR_NOERROR);
        EXPECT_EQ(riff.cksize + 8, (DWORD)length);
        ASSERT_EQ(mmioDescend(file, &format, &riff, MMIO_FINDCHUNK), MMSYSERR_NOERROR);
        EXPECT_EQ(mmioRead(file, (HPSTR)&read, sizeof read), (LONG)sizeof read);
        EXPECT_EQ(memcmp(&read, &pcm, sizeof pcm), 0) << "sound " << i;
        mmioAscend(file, &format, 0);
        ASSERT_EQ(mmioDescend(file, &data, &riff, MMIO_FINDCHUNK), MMSYSERR_NOERROR);
        unsigned count = ms[i] * 22050 / 1000;
        EXPECT_EQ(data.cksize, 2 * count);
        EXPECT_EQ(mmioRead(file, (HPSTR)samples, length), (LONG)data.cksize);
        mmioClose(file, 0);
        EXPECT_GT(*std::max_element(samples, samples + count), 12000);
        EXPECT_EQ(samples[count - 1], 0);
    }
}

} // namespace
