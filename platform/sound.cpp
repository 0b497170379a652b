#include "platform/sound.h"

#include "platform/byte_codec.h"

#include <chrono>
#include <mutex>
#include <thread>

#ifdef VQ_HAVE_ALSA
#include <alsa/asoundlib.h>
#endif

namespace {

bool Fail(std::string* error, const char* msg) {
    if (error) *error = msg;
    return false;
}

void WaitFor(const TWaveFormat& w) {
    std::this_thread::sleep_for(std::chrono::milliseconds(w.DurationMs()));
}

#ifdef VQ_HAVE_ALSA
// Plays through the default device; false when there is none.
void QuietAlsaError(const char*, int, const char*, int, const char*, ...) {}

bool PlayAlsa(const TWaveFormat& w) {
    // A machine without a sound card is normal here: keep ALSA from printing about it.
    static std::once_flag quiet;
    std::call_once(quiet, [] { snd_lib_error_set_handler(QuietAlsaError); });
    snd_pcm_t* pcm = nullptr;
    if (snd_pcm_open(&pcm, "default", SND_PCM_STREAM_PLAYBACK, 0) < 0) return false;
    const snd_pcm_format_t format = w.bitsPerSample == 8 ? SND_PCM_FORMAT_U8 : SND_PCM_FORMAT_S16_LE;
    if (snd_pcm_set_params(pcm, format, SND_PCM_ACCESS_RW_INTERLEAVED, w.channels, w.sampleRate, 1, 100000) <
        0) {
        snd_pcm_close(pcm);
        return false;
    }
    const std::size_t frameBytes = static_cast<std::size_t>(w.channels) * (w.bitsPerSample / 8);
    snd_pcm_uframes_t frames = w.sampleBytes / frameBytes;
    const std::uint8_t* p = w.samples;
    while (frames > 0) {
        snd_pcm_sframes_t n = snd_pcm_writei(pcm, p, frames);
        if (n < 0) n = snd_pcm_recover(pcm, static_cast<int>(n), 1);
        if (n < 0) break;
        p += static_cast<std::size_t>(n) * frameBytes;
        frames -= static_cast<snd_pcm_uframes_t>(n);
    }
    snd_pcm_drain(pcm); // blocks until the last sample has played
    snd_pcm_close(pcm);
    return true;
}
#endif
} // namespace

long TWaveFormat::DurationMs() const {
    const long bytesPerSecond = static_cast<long>(sampleRate) * channels * (bitsPerSample / 8);
    return bytesPerSecond > 0 ? static_cast<long>(sampleBytes * 1000 / bytesPerSecond) : 0;
}

bool ParseWave(const std::uint8_t* data, std::size_t size, TWaveFormat& out, std::string* error) {
    out = {};
    if (!data || size < 12 || GetLe32(data) != 0x46464952u /*RIFF*/ ||
        GetLe32(data + 8) != 0x45564157u /*WAVE*/)
        return Fail(error, "Not a RIFF WAVE sound");
    bool haveFormat = false;
    std::size_t pos = 12;
    while (pos + 8 <= size) {
        const std::uint32_t id = GetLe32(data + pos);
        const std::uint32_t len = GetLe32(data + pos + 4);
        const std::size_t body = pos + 8;
        if (len > size - body) return Fail(error, "WAVE chunk runs past the end of the data");
        if (id == 0x20746D66u) { // "fmt "
            if (len < 16) return Fail(error, "WAVE format chunk too short");
            if (GetLe16(data + body) != 1) return Fail(error, "WAVE sound is not PCM");
            out.channels = GetLe16(data + body + 2);
            out.sampleRate = static_cast<int>(GetLe32(data + body + 4));
            out.bitsPerSample = GetLe16(data + body + 14);
            if (out.channels < 1 || out.channels > 2 || (out.bitsPerSample != 8 && out.bitsPerSample != 16) ||
                out.sampleRate < 1000 || out.sampleRate > 192000)
                return Fail(error, "Unsupported WAVE format");
            haveFormat = true;
        } else if (id == 0x61746164u) { // "data"
            if (!haveFormat) return Fail(error, "WAVE data before its format");
            const std::size_t frameBytes = static_cast<std::size_t>(out.channels) * (out.bitsPerSample / 8);
            out.samples = data + body;
            out.sampleBytes = len - len % frameBytes;
            return true;
        }
        pos = body + len + (len & 1); // chunks are padded to even length
    }
    return Fail(error, haveFormat ? "WAVE sound has no data" : "WAVE sound has no format");
}

bool PlayWave(const std::uint8_t* data, std::size_t size) {
    TWaveFormat w;
    if (!ParseWave(data, size, w)) return false;
#ifdef VQ_HAVE_ALSA
    if (PlayAlsa(w)) return true;
#endif
    WaitFor(w);
    return true;
}

bool SoundDeviceCompiledIn() {
#ifdef VQ_HAVE_ALSA
    return true;
#else
    return false;
#endif
}
