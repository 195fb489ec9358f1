// Renders a module or an effect to a 44100 Hz 16-bit stereo WAV, the way the
// game plays it, for listening and for measuring with sox:
//
//   render_module FILE OUT.wav [SECONDS [FROM]]
//
// A module (.it) is played by libopenmpt with the back-end's settings and
// repeats forever, so SECONDS may run past its loop point; FROM skips that
// much first. An effect (.wav) is played once through the back-end's mixer.
// For a module it also prints what libopenmpt logged while loading (nothing,
// for a good file), its length before it loops and where its seam is.

#include <libopenmpt/libopenmpt.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "bass/mixer.h"
#include "../audio/wav.h"
#include "image.h"

static void Log(const char *message, void *)
{
    fprintf(stderr, "libopenmpt: %s\n", message);
}

static int RenderModule(const char *path, double seconds, double from, std::vector<int16_t> &out)
{
    std::vector<uint8_t> file = ReadFile(path);
    openmpt_module *mod = openmpt_module_create_from_memory2(file.data(), file.size(), Log, NULL, NULL, NULL, NULL,
                                                              NULL, NULL);
    if (!mod)
        return 0;
    double length = openmpt_module_get_duration_seconds(mod);
    printf("%s: %d channels, %d orders, %.2f s before it loops\n", path, openmpt_module_get_num_channels(mod),
           openmpt_module_get_num_orders(mod), length);
    openmpt_module_set_repeat_count(mod, -1);
    openmpt_module_ctl_set_integer(mod, "dither", 0);
    std::vector<int16_t> skip(size_t(from * 44100) * 2 + 2);
    openmpt_module_read_interleaved_stereo(mod, 44100, skip.size() / 2 - 1, skip.data());
    out.resize(size_t(seconds * 44100) * 2);
    openmpt_module_read_interleaved_stereo(mod, 44100, out.size() / 2, out.data());
    openmpt_module_destroy(mod);

    // The largest step between neighbouring frames near the seam, against
    // the largest anywhere: a click at the loop would stand out.
    size_t seam = size_t(std::lround((length - from) * 44100));
    if (seam > 220 && seam + 220 < out.size() / 2) {
        int near = 0, all = 0;
        for (size_t i = 2; i < out.size(); i++) {
            int step = std::abs(out[i] - out[i - 2]);
            all = std::max(all, step);
            if (i / 2 + 220 > seam && i / 2 < seam + 220)
                near = std::max(near, step);
        }
        printf("seam at %.3f s: largest step there %d, anywhere %d\n", length - from, near, all);
    }
    return 1;
}

static int RenderEffect(const char *path, double seconds, std::vector<int16_t> &out)
{
    // Offline, nothing is heard: the mixer runs only when asked.
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    bassOffline = 1;
    if (!BASS_Init(1, 44100, 0, NULL, NULL))
        return 0;
    HSAMPLE s = BASS_SampleLoad(FALSE, path, 0, 0, 3, BASS_SAMPLE_OVER_VOL);
    BASS_Start();
    BASS_SamplePlay(s);
    out.resize(size_t(seconds * 44100) * 2);
    BassRender(out.data(), int(out.size() / 2));
    BASS_Free();
    return s != 0;
}

int main(int argc, char **argv)
{
    if (argc < 3) {
        fprintf(stderr, "usage: render_module FILE OUT.wav [SECONDS [FROM]]\n");
        return 2;
    }
    std::string in = argv[1];
    double seconds = argc > 3 ? atof(argv[3]) : 10;
    double from = argc > 4 ? atof(argv[4]) : 0;
    std::vector<int16_t> frames;
    bool effect = in.size() > 4 && in.substr(in.size() - 4) == ".wav";
    if (!(effect ? RenderEffect(in.c_str(), seconds, frames) : RenderModule(in.c_str(), seconds, from, frames))) {
        fprintf(stderr, "render_module: %s could not be played\n", in.c_str());
        return 1;
    }
    if (!WriteFile(argv[2], EncodeWav(44100, 2, frames))) {
        fprintf(stderr, "render_module: cannot write %s\n", argv[2]);
        return 1;
    }
    return 0;
}
