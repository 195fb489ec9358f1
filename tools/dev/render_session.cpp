// Renders the sound of a played session offline and measures it: the replay
// scripts are played one after another through the headless rig (the first
// from the title menu, Escape back to it between them), the audio
// back-end's mixer following the virtual clock, and every second of the
// output is measured.
//
//   render_session [options] SCRIPT...
//     --menu SECONDS     the title menu first, so long (default 0)
//     --device           mix in 512-frame blocks, each when a device's
//                        callback would come, instead of after every pass
//     --music-only       the effects run but are not heard
//     --effects-only     the music runs but is not heard
//     --out FILE.wav     the whole session, 44100 Hz 16-bit stereo
//     --quiet            the summary alone, not every second
//     --from SECONDS     the summary leaves out the session's first seconds
//
// For every second: its peak (dBFS), the values at full scale, its RMS level
// (dBFS). Then the whole session, and the spacing of the shots fired: how
// far each lands from where the time between the passes that fired them
// puts it. Run it from the top folder, where data/ is.

#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>

#include "image.h"
#include "session.h"
#include "wav.h"

int main(int argc, char **argv)
{
    std::vector<Replay> scripts;
    std::string out;
    double menu = 0, from = 0;
    bool device = false, quiet = false, muteMusic = false, muteEffects = false;
    for (int i = 1; i < argc; i++) {
        if (!strcmp(argv[i], "--menu") && i + 1 < argc)
            menu = atof(argv[++i]);
        else if (!strcmp(argv[i], "--device"))
            device = true;
        else if (!strcmp(argv[i], "--music-only"))
            muteEffects = true;
        else if (!strcmp(argv[i], "--effects-only"))
            muteMusic = true;
        else if (!strcmp(argv[i], "--out") && i + 1 < argc)
            out = argv[++i];
        else if (!strcmp(argv[i], "--from") && i + 1 < argc)
            from = atof(argv[++i]);
        else if (!strcmp(argv[i], "--quiet"))
            quiet = true;
        else if (argv[i][0] == '-') {
            fprintf(stderr, "render_session: unknown option %s\n", argv[i]);
            return 2;
        } else {
            bool ok = false;
            std::vector<uint8_t> bytes = ReadFile(argv[i], &ok);
            Replay r = ParseReplay(std::string(bytes.begin(), bytes.end()));
            if (!ok || !r.error.empty()) {
                fprintf(stderr, "render_session: %s: %s\n", argv[i], ok ? r.error.c_str() : "cannot read it");
                return 1;
            }
            scripts.push_back(r);
        }
    }
    if (scripts.empty() && menu <= 0) {
        fprintf(stderr, "usage: render_session [--menu SECONDS] [--device] [--music-only|--effects-only] "
                        "[--out FILE.wav] [--quiet] SCRIPT...\n");
        return 2;
    }

    setenv("SDL_AUDIODRIVER", "dummy", 1);
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    bassOffline = 1;
    RigStart();  // every record of the game fresh: the muting comes after it
    bassMuteMusic = muteMusic;
    bassMuteEffects = muteEffects;
    SessionSound heard = HearSession(scripts, int(menu * 1000 / 9), device);
    RigStop();

    std::vector<SecondLevels> seconds = MeasureSeconds(heard.frames);
    if (!quiet) {
        printf("second   peak dBFS   at full scale   RMS dBFS\n");
        for (size_t i = 0; i < seconds.size(); i++)
            printf("%6zu   %9.2f   %13d   %8.2f\n", i, seconds[i].peakDb, seconds[i].fullScale, seconds[i].rmsDb);
    }
    size_t skip = std::min(heard.frames.size(), size_t(from * 44100) * 2);
    size_t count = heard.frames.size() - skip;
    SecondLevels all = Measure(heard.frames.data() + skip, count);
    printf("session: %.1f s, peak %.2f dBFS, %d values at full scale (%.4f%%), RMS %.2f dBFS\n",
           count / 2 / 44100.0, all.peakDb, all.fullScale, 100.0 * all.fullScale / std::max<size_t>(1, count),
           all.rmsDb);
    if (heard.shots.size() > 1) {
        // Each shot against the first: where the time the game asked for it
        // puts it. And how late the first sounds after it was asked for,
        // the limiter's delay included (a device adds its own buffer).
        const EffectStart &first = heard.shots[0];
        double worst = 0;
        for (const EffectStart &s : heard.shots) {
            double off = double(s.frame - first.frame) - double(s.ms - first.ms) * 44.1;
            worst = std::max(worst, std::fabs(off));
        }
        double late = double(first.frame + BASS_DELAY) - double(first.ms - heard.startMs) * 44.1;
        printf("shots: %zu, each within %.2f ms of its place by the game's clock; heard %.1f ms after it is fired\n",
               heard.shots.size(), worst / 44.1, late / 44.1);
    }
    if (!out.empty() && !WriteFile(out, EncodeWav(44100, 2, heard.frames))) {
        fprintf(stderr, "render_session: cannot write %s\n", out.c_str());
        return 1;
    }
    return 0;
}
