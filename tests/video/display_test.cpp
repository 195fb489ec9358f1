// Without a display SDL falls back to drawing nowhere; the game must tell
// that from a driver chosen on purpose (the tests, a benchmark).

#include <gtest/gtest.h>

#include <SDL.h>

#include "video/display.h"

TEST(Display, MissingOnlyWhenSdlFellBackToADriverThatShowsNothing)
{
    EXPECT_TRUE(DisplayIsMissing(NULL, "offscreen"));
    EXPECT_TRUE(DisplayIsMissing("", "offscreen"));
    EXPECT_TRUE(DisplayIsMissing(NULL, "dummy"));
    EXPECT_FALSE(DisplayIsMissing(NULL, "x11"));
    EXPECT_FALSE(DisplayIsMissing(NULL, "wayland"));
    EXPECT_FALSE(DisplayIsMissing(NULL, "kmsdrm"));
    // Chosen by the player: never second-guessed.
    EXPECT_FALSE(DisplayIsMissing("dummy", "dummy"));
    EXPECT_FALSE(DisplayIsMissing("offscreen", "offscreen"));
}

// The scaling method is asked for before SDL starts, and a player's own
// choice in the environment stands.
TEST(Display, AsksForSharpScalingUnlessThePlayerChoseOtherwise)
{
    unsetenv("SDL12COMPAT_SCALE_METHOD");
    setenv("SDL_RENDER_SCALE_QUALITY", "linear", 1);
    AskForSharpScaling();
    EXPECT_STREQ(getenv("SDL12COMPAT_SCALE_METHOD"), "nearest");
    EXPECT_STREQ(getenv("SDL_RENDER_SCALE_QUALITY"), "linear");
    unsetenv("SDL12COMPAT_SCALE_METHOD");
    unsetenv("SDL_RENDER_SCALE_QUALITY");
}

// Every frame goes to a driver that shows nothing and to the page's canvas,
// which paints the newest at its own refresh; a display server gets at most
// one a refresh.
TEST(Display, EveryFrameIsFlippedOnlyWhereNoDisplayServerTakesIt)
{
    EXPECT_TRUE(DriverTakesEveryFrame("dummy"));
    EXPECT_TRUE(DriverTakesEveryFrame("offscreen"));
    EXPECT_TRUE(DriverTakesEveryFrame("canvas"));
    EXPECT_FALSE(DriverTakesEveryFrame("x11"));
    EXPECT_FALSE(DriverTakesEveryFrame("wayland"));
    EXPECT_FALSE(DriverTakesEveryFrame("KMSDRM"));
    EXPECT_FALSE(DriverTakesEveryFrame("dummy2"));
    EXPECT_FALSE(DriverTakesEveryFrame(""));
}
