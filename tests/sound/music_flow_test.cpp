// The game's music and effects as a player hears them: the game runs pass by
// pass with the audio back-end offline, and after every pass the test mixes
// what the speakers would play until the next one (397 frames, the 9 ms of
// a windowed frame). What is heard is compared with each module played
// straight through libopenmpt from its beginning.
//
// The game runs in a folder of its own whose levels are plain floors under
// the heroine's start, and the enemies are cleared once play begins: no
// pickup or enemy can add a sound of its own to what the test listens to.

#include <sys/stat.h>
#include <unistd.h>

#include "actors/enemies.h"
#include "bass/audio_test.h"
#include "vclock.h"
#include "rig.h"
#include "core/mode.h"
#include "sound/sound.h"
#include "world/level.h"
#include "world/tilemap.h"

namespace fs = std::filesystem;

namespace {

const int FRAME = 397;

// A map with one solid floor, two cells deep, under the heroine's feet.
std::vector<uint8_t> FloorLevel(int level)
{
    int row = (Levels[level].camY + 100 + 64) / TILE;
    std::vector<uint8_t> bytes(LEVEL_FILE_BYTES, 0);
    for (int r = row; r < row + 2; r++)
        for (int c = 0; c < MAP_SIZE; c++)
            bytes[4 * (MAP_SIZE * r + c)] = 1;
    return bytes;
}

class GameSound : public ::testing::Test {
protected:
    fs::path home = fs::current_path();

    // The game's own data, linked into a folder of the test's own, with
    // floor levels.
    void MakeHome()
    {
        fs::path dir = TestFolder();
        fs::create_directories(dir / "data");
        for (const auto &entry : fs::directory_iterator(home / "data"))
            if (entry.path().extension() != ".lvl")
                fs::create_symlink(entry.path(), dir / "data" / entry.path().filename());
        for (int i = 0; i < 3; i++)
            WriteFile((dir / LevelFiles[i]).string(), FloorLevel(i));
        ASSERT_EQ(chdir(dir.c_str()), 0);
        bassOffline = 1;
    }

    void SetUp() override
    {
        MakeHome();
        RigStart();
        ExpectSoundLoaded();
    }
    void TearDown() override
    {
        RigStop();
        EXPECT_EQ(chdir(home.c_str()), 0);
    }

    static void StartPlaying()
    {
        Hold(SDLK_RETURN);
        Pass();  // the blip starts, then the level's set-up stops everything
        Release(SDLK_RETURN);
        ASSERT_EQ(GameMode, Playing);
        ClearEnemies();
    }

    static BassModule *Module(int i) { return BassFindModule(MusicModules[i]); }

    // Every test here listens to the game's own sound: without an output
    // the test fails at once instead of looking into modules that are not
    // there.
    static void ExpectSoundLoaded()
    {
        ASSERT_TRUE(bass.initialised) << "the audio back-end did not open";
        for (int i = 0; i < 4; i++)
            ASSERT_NE(Module(i), nullptr) << MusicFiles[i];
    }

    // One pass, then what is heard until the next.
    static Frames Step()
    {
        Pass();
        return Render(FRAME);
    }

    static void Steps(int n)
    {
        for (int i = 0; i < n; i++)
            Step();
    }

    static void Tap(SDLKey key)
    {
        Hold(key);
        Step();
        Release(key);
        Step();
    }

    // The next passes sound exactly like the module from its beginning,
    // once what the first of them stops has faded out.
    static void ExpectModuleFromItsStart(const char *path, int passes, bool afterAFade = false)
    {
        ReferenceModule ref(path);
        ASSERT_NE(ref.mod, nullptr) << path;
        for (int pass = 0; pass < passes; pass++) {
            Frames heard = Step();
            Frames expected = ref.Read(FRAME);
            size_t from = pass == 0 && afterAFade ? 2 * (BASS_DELAY + BASS_FADE) : 0;
            for (size_t i = from; i < heard.size(); i++)
                ASSERT_EQ(heard[i], expected[i]) << path << ", pass " << pass << ", frame " << i / 2;
        }
    }

    // What was sounding falls silent within 5 ms, and its last step into the
    // silence is below -54 dBFS.
    static void ExpectFadeToSilence(const Frames &f)
    {
        int last = -1;
        for (size_t i = 0; i < f.size(); i++)
            if (f[i] != 0)
                last = int(i);
        ASSERT_LE(last / 2, BASS_DELAY + BASS_FADE);
        if (last >= 0) {
            EXPECT_LT(std::abs(f[last]), 65);
            EXPECT_LT(std::abs(f[last ^ 1]), 65);
        }
    }

    static int ModulesPlaying()
    {
        int n = 0;
        for (int i = 0; i < 4; i++)
            n += Module(i) && Module(i)->playing;
        return n;
    }
};

TEST_F(GameSound, StartUpSelectsTheFirstLevelsMusicAndPlaysNothing)
{
    EXPECT_EQ(currentMusic, 1);
    EXPECT_EQ(ModulesPlaying(), 0);
    EXPECT_TRUE(Silent(Render(4000)));
    for (int i = 0; i < 4; i++)
        EXPECT_NE(MusicModules[i], 0u) << MusicFiles[i];
    for (int i = 0; i < SFX_COUNT; i++)
        EXPECT_NE(EffectSamples[i], 0u) << EffectFiles[i];
}

TEST_F(GameSound, TheMenuMusicStartsAtTheFirstMenuPassAndGoesOn)
{
    ExpectModuleFromItsStart("data/menu.it", 400);
    EXPECT_EQ(currentMusic, 0);
    EXPECT_EQ(ModulesPlaying(), 1);
}

TEST_F(GameSound, TheHelpPagesNeitherInterruptNorRestartTheMenuMusic)
{
    Steps(20);
    Tap(SDLK_DOWN);  // the cursor on Help
    Tap(SDLK_RETURN);
    ASSERT_EQ(GameMode, Help);
    for (int page = 0; page < 5; page++) {
        Steps(30);
        Tap(SDLK_SPACE);
    }
    Tap(SDLK_ESCAPE);
    ASSERT_EQ(GameMode, Menu);
    Steps(30);

    // Every pass heard 397 frames of the menu's module, effects on top of it:
    // the module has played exactly that long, never restarted.
    int passes = 20 + 2 + 2 + 5 * (30 + 2) + 2 + 30;
    double heard = passes * FRAME / 44100.0;
    EXPECT_NEAR(openmpt_module_get_position_seconds(Module(0)->mod), heard, 0.05);
    EXPECT_TRUE(Module(0)->playing);
    EXPECT_EQ(ModulesPlaying(), 1);
}

TEST_F(GameSound, EnterOnStartSilencesItsBlipAndTheLevelMusicStartsFromItsBeginning)
{
    Steps(50);
    StartPlaying();
    EXPECT_EQ(BassActivePlaybacks(EffectSamples[SfxMenu2]), 0);
    ExpectFadeToSilence(Render(FRAME));
    ExpectModuleFromItsStart("data/level01.it", 200);
    EXPECT_EQ(ModulesPlaying(), 1);
}

TEST_F(GameSound, EscapeAndStartAgainPlayTheLevelMusicFromItsBeginningAgain)
{
    Steps(10);
    StartPlaying();
    Render(FRAME);
    Steps(100);

    Hold(SDLK_ESCAPE);
    Pass();  // the last Playing pass ends with the blip
    Release(SDLK_ESCAPE);
    ASSERT_EQ(GameMode, Menu);
    EXPECT_EQ(BassActivePlaybacks(EffectSamples[SfxMenu2]), 1);
    Render(FRAME);
    // The menu pass fades out the blip and the level's module and starts the
    // menu's module afresh.
    ExpectModuleFromItsStart("data/menu.it", 30, true);
    EXPECT_EQ(BassActivePlaybacks(EffectSamples[SfxMenu2]), 0);

    StartPlaying();
    Render(FRAME);
    ExpectModuleFromItsStart("data/level01.it", 100);
}

TEST_F(GameSound, ALevelAdvanceStartsTheNextLevelsMusicFromItsBeginning)
{
    Steps(10);
    StartPlaying();
    Render(FRAME);
    Steps(60);
    Hold(SDLK_3);  // skip to the next level
    Pass();
    Release(SDLK_3);
    ClearEnemies();
    EXPECT_EQ(currentMusic, 2);
    ExpectFadeToSilence(Render(FRAME));
    ExpectModuleFromItsStart("data/level02.it", 100);
}

// Every level's music is rewound when it stops, the third's too: left by
// Escape and started again, the third level begins its module afresh.
TEST_F(GameSound, TheThirdLevelsMusicStartsFromItsBeginningWhenPlayedAgain)
{
    Steps(10);
    StartPlaying();
    Render(FRAME);
    for (int skip = 0; skip < 2; skip++) {
        Steps(60);
        Hold(SDLK_3);  // skip to the next level
        Pass();
        Release(SDLK_3);
        ClearEnemies();
        Render(FRAME);
    }
    EXPECT_EQ(currentMusic, 3);
    Steps(100);
    Hold(SDLK_ESCAPE);
    Pass();
    Release(SDLK_ESCAPE);
    ASSERT_EQ(GameMode, Menu);
    Render(FRAME);
    Steps(10);
    StartPlaying();
    Render(FRAME);
    ExpectModuleFromItsStart("data/level03.it", 100);
}

TEST_F(GameSound, SoundsThatFailedToLoadLeaveSilenceAndNothingElse)
{
    MusicModules[levelIndex + 1] = 0;  // as if the first level's module had not loaded
    EffectSamples[SfxMenu1] = 0;   // and data/sfxmenu1.wav neither
    ReferenceModule menu("data/menu.it");
    for (int pass = 0; pass < 10; pass++) {
        Hold(pass == 4 ? SDLK_DOWN : SDLK_UNKNOWN);
        Frames heard = Step();
        ReleaseAll();
        Frames expected = menu.Read(FRAME);
        for (size_t i = 0; i < heard.size(); i++)
            ASSERT_EQ(heard[i], expected[i]) << "pass " << pass << ", frame " << i / 2;
    }
    Tap(SDLK_UP);  // back to Start, with its silent blip
    StartPlaying();
    ExpectFadeToSilence(Render(FRAME));
    for (int pass = 0; pass < 100; pass++)
        ASSERT_TRUE(Silent(Step())) << "pass " << pass;
    EXPECT_EQ(ModulesPlaying(), 0);
}

// Sound files replaced by what cannot be played: start-up neither hangs nor
// stops, names each file once, and the game plays on, silent where they are.
class DamagedSound : public GameSound {
protected:
    std::string said;

    void SetUp() override
    {
        MakeHome();
        fs::remove("data/sfxbang.wav");
        ASSERT_EQ(mkfifo("data/sfxbang.wav", 0600), 0);
        fs::remove("data/sfxjump.wav");
        WriteFile("data/sfxjump.wav", EncodeWav(44100, 1, {}));
        fs::remove("data/menu.it");
        fs::create_directory("data/menu.it");
        fs::remove("data/level02.it");
        WriteFile("data/level02.it", std::vector<uint8_t>(3000, 0x5A));
        ::testing::internal::CaptureStderr();
        alarm(20);
        RigStart();
        alarm(0);
        said = ::testing::internal::GetCapturedStderr();
    }
};

TEST_F(DamagedSound, TheGamePlaysOnSilentWhereTheFilesAre)
{
    for (const char *file : {"data/sfxbang.wav", "data/sfxjump.wav", "data/menu.it", "data/level02.it"})
        EXPECT_NE(said.find(std::string("kestravale: ") + file + ": "), std::string::npos) << said;
    EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 4) << said;
    EXPECT_EQ(MusicModules[0], 0u);
    EXPECT_EQ(EffectSamples[SfxJump], 0u);
    // The menu is silent, apart from its blips; the first level has its music.
    for (int pass = 0; pass < 20; pass++)
        ASSERT_TRUE(Silent(Step())) << "pass " << pass;
    Tap(SDLK_DOWN);
    EXPECT_FALSE(Silent(Render(3000)));
    Tap(SDLK_UP);
    StartPlaying();
    Render(FRAME);
    ExpectModuleFromItsStart("data/level01.it", 50);
    Hold(SDLK_LALT);  // a jump, without its sound
    Step();
    Release(SDLK_LALT);
    EXPECT_EQ(EffectCount(SfxJump), 1);
}

}  // namespace
