// A played session heard offline: replay scripts played one after another
// through the headless rig, with the audio back-end's mixer fed by the
// virtual clock, so what comes out is what the speakers would have played,
// frame for frame. Shared by tools/dev/render_session.cpp and the tests.
#pragma once

#include <cmath>
#include <cstdint>
#include <functional>
#include <vector>

#include "../levels/replay.h"
#include "bass/mixer.h"
#include "rig.h"
#include "sound/sound.h"
#include "vclock.h"

// Keeps the mixer level with the virtual clock. As the game runs, the mixer
// runs too: offline, right after every pass, for the time that pass took;
// or, as a device would, in blocks of BASS_BLOCK frames, each mixed at the
// moment its callback would have come.
struct SessionListener {
    bool device = false;
    Uint32 startMs = vclock.now;
    Uint64 rendered = 0;
    std::vector<int16_t> frames;  // 2 values a frame, 44100 frames a second

    void CatchUp()
    {
        Uint64 target = Uint64(vclock.now - startMs) * 44100 / 1000;
        if (!device) {
            Render(target - rendered);
            return;
        }
        Uint32 now = vclock.now;
        while (rendered + BASS_BLOCK <= target) {
            vclock.now = startMs + Uint32(rendered * 1000 / 44100);  // when the callback comes
            Render(BASS_BLOCK);
        }
        vclock.now = now;
    }

    void Render(Uint64 n)
    {
        if (n == 0)
            return;
        size_t at = frames.size();
        frames.resize(at + size_t(n) * 2);
        BassRender(frames.data() + at, int(n));
        rendered += n;
    }
};

// Every start of one effect: the frame of the output it sounds at (before
// the limiter's delay) and the virtual time at which the game asked for it.
struct EffectStart {
    Uint64 frame;
    Uint32 ms;
};

struct SessionSound {
    Uint32 startMs;  // the virtual time of the first frame
    std::vector<int16_t> frames;
    std::vector<EffectStart> shots;  // every SfxShoot
};

// Plays the menu for menuPasses passes, then each script from the start of
// its level; Escape leads back to the menu between two scripts.
inline SessionSound HearSession(const std::vector<Replay> &scripts, int menuPasses, bool device)
{
    SessionListener ear;
    ear.device = device;
    SessionSound heard;
    heard.startMs = ear.startMs;
    int shoot = int(EffectSamples[SfxShoot] & 0xFFF) - 1;
    Uint64 lastShot = 0;
    // A shot started in this pass is still waiting for the mixer.
    auto afterPass = [&](int) {
        if (shoot >= 0)
            for (const BassPlayback &p : bass.samples[shoot].playbacks)
                if (p.active && !p.heard && (heard.shots.empty() || p.at > lastShot)) {
                    heard.shots.push_back({p.at, vclock.now});
                    lastShot = p.at;
                }
        ear.CatchUp();
    };
    for (int i = 0; i < menuPasses; i++) {
        Pass();
        afterPass(0);
    }
    for (const Replay &script : scripts) {
        if (GameMode == Playing) {
            Press(SDLK_ESCAPE);
            afterPass(0);
        }
        PlayReplay(script, afterPass);
    }
    ear.CatchUp();
    heard.frames = std::move(ear.frames);
    return heard;
}

// What a second of sound measures: its loudest value (dBFS), how many of
// its values sit at full scale, and its RMS level (dBFS).
struct SecondLevels {
    double peakDb = -120, rmsDb = -120;
    int fullScale = 0;
};

inline double Decibels(double ratio)
{
    return ratio > 0 ? 20 * std::log10(ratio) : -120;
}

inline SecondLevels Measure(const int16_t *v, size_t count)
{
    SecondLevels s;
    double energy = 0;
    int peak = 0;
    for (size_t i = 0; i < count; i++) {
        int a = std::abs(int(v[i]));
        peak = std::max(peak, a);
        s.fullScale += a >= 32767;
        energy += double(v[i]) * v[i];
    }
    s.peakDb = Decibels(peak / 32768.0);
    s.rmsDb = count ? Decibels(std::sqrt(energy / count) / 32768.0) : -120;
    return s;
}

inline std::vector<SecondLevels> MeasureSeconds(const std::vector<int16_t> &frames)
{
    std::vector<SecondLevels> out;
    for (size_t at = 0; at < frames.size(); at += 2 * 44100)
        out.push_back(Measure(frames.data() + at, std::min(frames.size() - at, size_t(2 * 44100))));
    return out;
}
