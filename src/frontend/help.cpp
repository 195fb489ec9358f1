// The help pages. Every page is redrawn whole each frame; the texts are
// drawn exactly as they stand, leading and trailing blanks included.

#include "frontend/help.h"

#include "actors/enemies.h"
#include "actors/player.h"
#include "core/mode.h"
#include "frontend/menu.h"
#include "input/keys.h"
#include "sound/sound.h"
#include "video/art.h"
#include "video/blit.h"
#include "video/text.h"
#include "video/video.h"
#include "world/tilemap.h"

int helpPage;
int helpAnimFrame, helpAnimTimer;

struct HelpLine {
    int x, y;
    const char *text;
};

static const HelpLine StoryPage[] = {
    {16, 16, "       The Story"},
    {16, 32, "       ~~~~~~~~~"},
    {16, 48, "Doc Cyclops has released"},
    {16, 64, "the Ogres from another  "},
    {16, 80, "dimension. Only one girl"},
    {16, 96, "is tough enough to stop "},
    {16, 112, "the invasion."},
    {16, 128, ""},
    {16, 144, "      Kestra Vale!"},
};

// The keys page names Space for jumping and Alt for shooting, the other way
// round from the game's controls. It is kept as it always was.
static const HelpLine KeysPage[] = {
    {16, 16, "        The KEYS"},
    {16, 32, "        ~~~~~~~~"},
    {16, 64, "Arrow keys - Move"},
    {16, 80, "Space      - Jump"},
    {16, 96, "Alt        - Shoot"},
    {16, 112, "1          - Fullscreen"},
    {16, 128, "2          - Window    "},
    {16, 144, "Escape     - Menu "},
    {16, 48, "Enter      - Start Game"},
};

static const HelpLine CollectablesPage[] = {
    {16, 16, "    The Collectables"},
    {16, 32, "    ~~~~~~~~~~~~~~~~"},
};

struct HelpTile {
    int frame, tileY;
    HelpLine label;
};

static const HelpTile CollectableTiles[] = {
    {79, 44, {48, 48, "- Exit Level"}},
    {80, 60, {48, 64, "- Krugerrand "}},
    {81, 76, {48, 80, "- Green Key"}},
    {82, 92, {48, 96, "- Extra Health"}},
    {83, 108, {48, 112, "- Soft Toy"}},
    {84, 124, {48, 128, "- SuperDawg(tm)"}},
    {85, 140, {48, 144, "- Delicious Dessert"}},
    {86, 156, {48, 160, "- Retro Joypad"}},
};

static const HelpLine BadguysPage[] = {
    {16, 16, "      The Badguys"},
    {16, 32, "      ~~~~~~~~~~~"},
};

static const HelpLine BadguyLabels[] = {
    {48, 64, " - Ogre"},
    {48, 112, " - Death Ball"},
    {48, 144, " - Sharp Spikes"},
};

template <int N>
static void DrawLines(const HelpLine (&lines)[N])
{
    for (const HelpLine &l : lines)
        DrawText(BackBuffer, l.x, l.y, l.text);
}

static void Blit(SDL_Surface *sheet, SDL_Rect *frame, int x, int y)
{
    SDL_Rect at = {(Sint16)x, (Sint16)y, 0, 0};
    Blit(sheet, frame, BackBuffer, &at);
}

// The animation counters are shared by pages 0 and 3 and never reset, so
// each frame of an animation shows for 16 passes wherever it left off.
static void AnimationStep(int frameCount)
{
    helpAnimTimer++;
    if (helpAnimTimer > 15) {
        helpAnimFrame++;
        if (helpAnimFrame >= frameCount)
            helpAnimFrame = 0;
        helpAnimTimer = 0;
    }
}

static void DrawStoryPage()
{
    DrawLines(StoryPage);
    AnimationStep(6);
    Blit(PlayerSheet, &PlayerFrames[5 + helpAnimFrame], 180, 112);
}

static void DrawCollectablesPage()
{
    DrawLines(CollectablesPage);
    for (const HelpTile &t : CollectableTiles)
        Blit(TileSheet, &TileFrames[t.frame], 16, t.tileY);
    for (const HelpTile &t : CollectableTiles)
        DrawText(BackBuffer, t.label.x, t.label.y, t.label.text);
}

static void DrawBadguysPage()
{
    AnimationStep(4);
    if (helpAnimFrame >= 4)
        helpAnimFrame = 0;  // left there by the story page's six frames
    DrawLines(BadguysPage);
    OgreFrames[helpAnimFrame].w = 32;  // play may have narrowed it near the left edge
    Blit(OgreSheet, &OgreFrames[helpAnimFrame], 24, 48);
    Blit(BallSheet, &BallFrames[helpAnimFrame], 32, 108);
    Blit(SpikeSheet, &SpikeFrames[2 * helpAnimFrame], 32, 138);
    DrawLines(BadguyLabels);
}

void DrawHelpPage()
{
    ClearToFrame();
    switch (helpPage) {
    case 0:
        DrawStoryPage();
        break;
    case 1:
        DrawLines(KeysPage);
        break;
    case 2:
        DrawCollectablesPage();
        break;
    case 3:
        DrawBadguysPage();
        break;
    }
    DrawText(BackBuffer, 16, 190, "<< Escape       Space >>");
}

// Escape and Space are both looked at in the same pass: with both held the
// page turns and the menu opens.
void HandleHelpKeys()
{
    if (keyState[SDLK_ESCAPE]) {
        PlayEffect(SfxMenu2);
        GameMode = Menu;
    }
    if (keyState[SDLK_SPACE] && keyLatch == 0) {
        keyLatch = 1;
        PlayEffect(SfxCollect);
        helpPage++;
        if (helpPage > 3)
            helpPage = 0;
    } else if (!keyState[SDLK_SPACE]) {
        keyLatch = 0;
    }
}
