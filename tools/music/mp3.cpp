#include "music/mp3.h"

#include "music/dsp.h"

#include <algorithm>
#include <cstring>
#include <lame/lame.h>

std::vector<unsigned char> encodeMp3(const Stereo& track, int kbps) {
    lame_global_flags* lame = lame_init();
    if (lame == nullptr) {
        return {};
    }
    lame_set_in_samplerate(lame, kSampleRate);
    lame_set_out_samplerate(lame, kSampleRate);
    lame_set_num_channels(lame, 2);
    lame_set_mode(lame, JOINT_STEREO);
    lame_set_VBR(lame, vbr_off);
    lame_set_brate(lame, kbps);
    lame_set_quality(lame, 5); // LAME's "good, fast" setting
    lame_set_bWriteVbrTag(lame, 1);
    lame_set_write_id3tag_automatic(lame, 0); // no ID3 tag: nothing but audio and the info tag
    if (lame_init_params(lame) < 0) {
        lame_close(lame);
        return {};
    }

    std::vector<unsigned char> out;
    const int chunk = 1152 * 16;
    std::vector<unsigned char> buffer(static_cast<size_t>(1.25 * chunk + 7200));
    bool ok = true;
    for (size_t i = 0; i < track.frames() && ok; i += chunk) {
        const int count = static_cast<int>(std::min<size_t>(chunk, track.frames() - i));
        const int written = lame_encode_buffer_ieee_float(
            lame, &track.l[i], &track.r[i], count, buffer.data(), static_cast<int>(buffer.size()));
        ok = written >= 0;
        out.insert(out.end(), buffer.begin(), buffer.begin() + std::max(written, 0));
    }
    const int flushed = lame_encode_flush(lame, buffer.data(), static_cast<int>(buffer.size()));
    ok = ok && flushed >= 0;
    out.insert(out.end(), buffer.begin(), buffer.begin() + std::max(flushed, 0));

    // The encoder reserved the first frame for the info tag; now that the stream is complete
    // (lengths, delay, CRC) fill it in.
    std::vector<unsigned char> tag(4096);
    const size_t tagSize = lame_get_lametag_frame(lame, tag.data(), tag.size());
    ok = ok && tagSize > 0 && tagSize <= out.size();
    if (ok) {
        std::memcpy(out.data(), tag.data(), tagSize);
    }
    lame_close(lame);
    return ok ? out : std::vector<unsigned char>{};
}
