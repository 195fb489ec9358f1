// Gamepads reach the game as its own keys. The layout and the dead zone are
// checked on readings of any pad, garbage included; the rest on a pad that
// SDL itself presents, pressed by the test.

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "../../tools/levels/replay.h"
#include "actors/player.h"
#include "core/mode.h"
#include "game_fixture.h"
#include "input/keys.h"
#include "input/pad.h"
#include "virtual_pad.h"
#include "world/level.h"

namespace {

bool PadHolds(Uint32 keys, SDLKey key)
{
    for (int i = 0; i < PAD_KEY_COUNT; i++)
        if (PadKeyCodes[i] == key)
            return (keys >> i) & 1;
    return false;
}

}  // namespace

// A reading with one control set by the caller, the rest at rest.
template <typename Set>
PadReading With(Set set)
{
    PadReading r = {};
    set(r);
    return r;
}

TEST(PadLayout, EachControlHoldsItsKeyAndTheStickNeedsHalfItsTravel)
{
    EXPECT_EQ(PadKeys(PadReading{}), 0u);
    struct Case {
        PadReading r;
        SDLKey key;
    } cases[] = {
        {With([](PadReading &r) { r.right = 1; }), SDLK_RIGHT},
        {With([](PadReading &r) { r.left = 1; }), SDLK_LEFT},
        {With([](PadReading &r) { r.up = 1; }), SDLK_UP},
        {With([](PadReading &r) { r.down = 1; }), SDLK_DOWN},
        {With([](PadReading &r) { r.jump = 1; }), SDLK_LALT},
        {With([](PadReading &r) { r.fire = 1; }), SDLK_SPACE},
        {With([](PadReading &r) { r.start = 1; }), SDLK_RETURN},
        {With([](PadReading &r) { r.back = 1; }), SDLK_ESCAPE},
        {With([](PadReading &r) { r.hat = SDL_HAT_RIGHT; }), SDLK_RIGHT},
        {With([](PadReading &r) { r.hat = SDL_HAT_LEFT; }), SDLK_LEFT},
        {With([](PadReading &r) { r.hat = SDL_HAT_UP; }), SDLK_UP},
        {With([](PadReading &r) { r.hat = SDL_HAT_DOWN; }), SDLK_DOWN},
        {With([](PadReading &r) { r.axisX = 16384; }), SDLK_RIGHT},
        {With([](PadReading &r) { r.axisX = -16384; }), SDLK_LEFT},
        {With([](PadReading &r) { r.axisY = -16384; }), SDLK_UP},
        {With([](PadReading &r) { r.axisY = 16384; }), SDLK_DOWN},
    };
    for (const Case &c : cases) {
        const Uint32 keys = PadKeys(c.r);
        EXPECT_TRUE(PadHolds(keys, c.key)) << SDL_GetKeyName(c.key);
        EXPECT_EQ(__builtin_popcount(keys), 1) << SDL_GetKeyName(c.key);
    }
    // One step inside the dead zone is nothing, either way on either axis.
    EXPECT_EQ(PadKeys(With([](PadReading &r) { r.axisX = 16383, r.axisY = -16383; })), 0u);
    EXPECT_EQ(PadKeys(With([](PadReading &r) { r.axisX = -16383, r.axisY = 16383; })), 0u);
    // Garbage: every control at once, the stick at its limits. Nothing
    // breaks, and every key the pad has is held.
    const PadReading all = {-32768, 32767, 0xff, 1, 1, 1, 1, 1, 1, 1, 1};
    EXPECT_EQ(PadKeys(all), (1u << PAD_KEY_COUNT) - 1);
}

class PadTest : public GameTest {
protected:
    void SetUp() override
    {
        GameTest::SetUp();
        ASSERT_TRUE(AttachVirtualPad()) << SDL_GetError();
        LookForPads();
        ASSERT_EQ(pads.count, 1);
    }
    void TearDown() override
    {
        DetachVirtualPad();
        GameTest::TearDown();
    }
    void Tap(int button)
    {
        PressPadButton(button, true);
        Pass();
        PressPadButton(button, false);
        Pass();
    }
    // Start chosen with the pad: level 1, the heroine standing at her start.
    void StartWithThePad()
    {
        Tap(PAD_START);
        ASSERT_EQ(GameMode, Playing);
    }
};

TEST_F(PadTest, TheMenuIsMovedAndChosenWithThePad)
{
    Tap(PAD_DPAD_DOWN);  // Start -> Help
    Tap(PAD_START);
    EXPECT_EQ(GameMode, Help);
    Tap(PAD_BACK);  // Escape leaves the help pages
    EXPECT_EQ(GameMode, Menu);
    // The stick moves the cursor too: down twice from Help is Quit, then up
    // once is Help again.
    MovePadAxis(PAD_LEFT_Y, 32767);
    Pass();
    MovePadAxis(PAD_LEFT_Y, 0);
    Pass();
    MovePadAxis(PAD_LEFT_Y, -32768);
    Pass();
    MovePadAxis(PAD_LEFT_Y, 0);
    Pass();
    Tap(PAD_START);
    EXPECT_EQ(GameMode, Help);
}

TEST_F(PadTest, TheStickWalksHerOnlyPastItsDeadZone)
{
    StartWithThePad();
    const int x = player.rect.x + camX;
    MovePadAxis(PAD_LEFT_X, 16383);
    Passes(20);
    EXPECT_EQ(player.rect.x + camX, x);
    MovePadAxis(PAD_LEFT_X, 16384);
    Passes(20);
    EXPECT_EQ(player.rect.x + camX, x + 20 * WALK_STEP);
}

// Pulled out while she walks: the next pass has nothing held.
TEST_F(PadTest, APadPulledOutMidWalkStopsHer)
{
    StartWithThePad();
    PressPadButton(PAD_DPAD_RIGHT, true);
    Passes(10);
    const int x = player.rect.x + camX;
    EXPECT_GT(x, START_X + Levels[0].camX);
    DetachVirtualPad();
    Passes(10);
    EXPECT_EQ(player.rect.x + camX, x);
    EXPECT_EQ(keyState[SDLK_RIGHT], 0);
}

// A pad too poor for the layout (two buttons, no stick) still plays what it
// has and reads nothing for what it lacks.
TEST_F(PadTest, APadWithFewButtonsPlaysWhatItHas)
{
    DetachVirtualPad();
    ASSERT_TRUE(AttachVirtualPad(1, 0));
    LookForPads();
    ASSERT_EQ(pads.count, 1);
    Tap(PAD_START);  // it has no Start: the menu stays
    EXPECT_EQ(GameMode, Menu);
    Hold(SDLK_RETURN);
    Pass();
    Release(SDLK_RETURN);
    Pass();
    ASSERT_EQ(GameMode, Playing);
    // It jumps, while the keyboard walks her: both hold their keys at once.
    const int x = player.rect.x + camX;
    Hold(SDLK_RIGHT);
    PressPadButton(PAD_A, true);
    Pass();
    EXPECT_EQ(player.jumpLatch, 1);
    EXPECT_EQ(player.rect.x + camX, x + WALK_STEP);
    // Let go of the pad: the keyboard's own table again, still walking.
    PressPadButton(PAD_A, false);
    Pass();
    EXPECT_EQ(player.rect.x + camX, x + 2 * WALK_STEP);
    EXPECT_EQ(keyState[SDLK_LALT], 0);
}

// With SDL's standard layout turned off, a pad is read by its own
// numbering, as most pads number theirs: button 0 jumps, 2 fires, 6 is
// Escape and 7 Enter; the others, the standard layout's D-pad buttons
// among them, hold nothing.
TEST_F(PadTest, APadOfItsOwnNumberingIsReadAsMostPadsNumberTheirs)
{
    const int layout = pads.controllerLayout;
    pads.controllerLayout = 0;
    const struct {
        int button;
        SDLKey key;
    } held[] = {{0, SDLK_LALT}, {2, SDLK_SPACE}, {6, SDLK_ESCAPE}, {7, SDLK_RETURN}};
    for (const auto &h : held) {
        PressPadButton(h.button, true);
        ReadPads();
        for (int i = 0; i < PAD_KEY_COUNT; i++)
            EXPECT_EQ(keyState[PadKeyCodes[i]], PadKeyCodes[i] == h.key) << "button " << h.button;
        PressPadButton(h.button, false);
    }
    for (int button : {1, 3, 4, 5, 8, 9, 10, 11, 12, 13, 14}) {
        PressPadButton(button, true);
        ReadPads();
        for (int i = 0; i < PAD_KEY_COUNT; i++)
            EXPECT_EQ(keyState[PadKeyCodes[i]], 0) << "button " << button;
        PressPadButton(button, false);
    }
    pads.controllerLayout = layout;
}

// The pad's motion never enters the event queue, which the loop empties one
// event a pass: a flood of stick motion would delay the keyboard.
TEST_F(PadTest, StickMotionNeverQueuesEvents)
{
    for (int i = 0; i < 1000; i++) {
        MovePadAxis(PAD_LEFT_X, i % 2 ? 32767 : -32768);
        SDL_JoystickUpdate();
    }
    SDL_PumpEvents();
    SDL_Event events[16];
    EXPECT_EQ(SDL_PeepEvents(events, 16, SDL_PEEKEVENT, SDL_JOYEVENTMASK), 0);
}

// The first level's recorded run, played with the pad's buttons alone,
// leaves the level on the pass the keyboard's run does.
TEST_F(PadTest, ARecordedRunPlayedWithThePadReachesTheExitOnTheKeyboardsPass)
{
    std::ifstream in(KV_SOURCE_DIR "/tests/replays/level1.txt");
    std::stringstream text;
    text << in.rdbuf();
    const Replay replay = ParseReplay(text.str());
    ASSERT_EQ(replay.error, "");
    // Start held for one pass, as the keyboard's run holds Enter.
    PressPadButton(PAD_START, true);
    Pass();
    PressPadButton(PAD_START, false);
    ASSERT_EQ(GameMode, Playing);
    int pass = 0, completed = 0;
    for (const ReplayStep &step : replay.steps) {
        PressPadButton(PAD_DPAD_RIGHT, step.right);
        PressPadButton(PAD_DPAD_LEFT, step.left);
        PressPadButton(PAD_A, step.jump);
        PressPadButton(PAD_X, step.fire);
        for (int i = 0; i < step.passes && !completed; i++) {
            Pass();
            pass++;
            if (levelIndex != 0)
                completed = pass;
        }
    }
    EXPECT_EQ(completed, 5701);  // the keyboard's pass (tests/world/replays_test.cpp)
}
