// Ogres, death balls and spikes. They are fixed to their row: they never
// fall and never look at the map. Two counters shared by all 13 slots pace
// them; since every slot, live or dead, advances both, and 13 shares no
// factor with 11 or 16, each slot moves once in 11 passes and animates once
// in 16.

#include "actors/enemies.h"

#include "actors/player.h"
#include "core/rects.h"
#include "sound/sound.h"
#include "video/art.h"
#include "video/blit.h"
#include "video/video.h"
#include "world/tilemap.h"

Enemy Enemies[MAX_ENEMIES];
Sint32 worldX[MAX_ENEMIES], worldY[MAX_ENEMIES];
Sint32 enemyMoveTimer, enemyAnimTimer;
SDL_Rect OgreFrames[13];
SDL_Rect SpikeFrames[8];
SDL_Rect BallFrames[10];

struct KindStart {
    Sint32 dir, hitPoints, offset, speed, animSteps;
};

static const KindStart KindStarts[3] = {
    {0, 15, 1, 1, 3},    // Ogre
    {1, 1000, 0, 0, 8},  // SharpSpikes
    {1, 50, 1, 4, 5},    // DeathBall
};

static bool KnownKind(Sint32 kind) { return kind >= Ogre && kind <= DeathBall; }

// frameStep is not reset: a slot keeps the step of the enemy it held before.
void SpawnEnemy(int slot, int kind, int col, int row, int first, int last)
{
    if (slot < 0 || slot >= MAX_ENEMIES || !KnownKind(kind))
        return;
    Enemy &e = Enemies[slot];
    worldX[slot] = TILE * col;
    worldY[slot] = TILE * row;
    e.leftEnd = TILE * first;
    e.rightEnd = TILE * last;
    e.rect.x = (Sint16)(TILE * col - camX);
    e.rect.y = (Sint16)(TILE * row - camY);
    e.active = 1;
    e.frameBase = 0;
    e.kind = kind;
    e.dir = KindStarts[kind].dir;
    e.hitPoints = KindStarts[kind].hitPoints;
    e.offset = KindStarts[kind].offset;
    e.speed = KindStarts[kind].speed;
}

// A step carried over from another kind can point past a short sheet; then
// the first cell of the current row is shown until the next animation step.
static SDL_Rect *EnemyFrame(SDL_Rect *frames, int count, const Enemy &e)
{
    int cell = e.frameBase + e.frameStep;
    if (cell < 0 || cell >= count)
        cell = e.frameBase >= 0 && e.frameBase < count ? e.frameBase : 0;
    return &frames[cell];
}

static void DrawEnemy(Enemy &e)
{
    switch (e.kind) {
    case Ogre: {
        // Near the left edge only the left half is drawn, and the box is 16 wide.
        SDL_Rect *frame = EnemyFrame(OgreFrames, 13, e);
        frame->w = e.rect.x > 8 ? 32 : 16;
        Blit(OgreSheet, frame, BackBuffer, &e.rect);
        break;
    }
    case SharpSpikes:
        Blit(SpikeSheet, EnemyFrame(SpikeFrames, 8, e), BackBuffer, &e.rect);
        break;
    case DeathBall:
        Blit(BallSheet, EnemyFrame(BallFrames, 10, e), BackBuffer, &e.rect);
        break;
    }
}

// Contact costs a hit point per enemy per frame, whatever the heroine's
// state; the hurt sound plays once per life.
void DrawEnemies()
{
    for (int i = 0; i < MAX_ENEMIES; i++) {
        Enemy &e = Enemies[i];
        if (e.active != 1)
            continue;
        const Sint32 x = e.kind == SharpSpikes ? worldX[i] : worldX[i] + e.offset;
        e.rect.x = (Sint16)(x - camX);
        e.rect.y = (Sint16)(worldY[i] - camY);
        DrawEnemy(e);
        if (RectsOverlap(player.rect, e.rect)) {
            player.hitPoints--;
            if (player.hurtLatch == 0) {
                PlayEffect(SfxHit);
                player.hurtLatch++;
            }
        }
    }
}

// The move gate compares the screen x with the world rightEnd + 1, without
// the Camera: it stops an enemy clipped at the left edge (x raised to 0) and
// one whose screen x exceeds its world span end.
static bool MayMove(const Enemy &e)
{
    return 0 < e.rect.x && e.rect.x < e.rightEnd + 1;
}

static void MoveEnemy(Enemy &e)
{
    switch (e.kind) {
    case Ogre:
        if (!MayMove(e))
            break;
        if (e.dir == 0) {
            e.frameBase = 0;
            e.offset++;
        } else if (e.dir == 1) {
            e.frameBase = 4;
            e.offset--;
        }
        break;
    case DeathBall:
        if (e.rect.x >= e.rightEnd - camX) {
            if (e.frameBase == 0)
                e.frameBase = 5;
            e.dir = 1;
        }
        if (e.rect.x <= e.leftEnd - camX) {
            if (e.frameBase == 5)
                e.frameBase = 0;
            e.dir = 0;
        }
        if (MayMove(e)) {
            if (e.dir == 0)
                e.offset += e.speed;
            else if (e.dir == 1)
                e.offset -= e.speed;
        }
        break;
    default:
        break;
    }
}

void UpdateEnemies()
{
    for (Enemy &e : Enemies) {
        if (e.rect.x > e.rightEnd - camX)
            e.dir = 1;
        if (e.rect.x < e.leftEnd - camX)
            e.dir = 0;
        enemyMoveTimer++;
        enemyAnimTimer++;
        if (enemyAnimTimer > 15) {
            e.frameStep++;
            if (KnownKind(e.kind) && e.frameStep >= KindStarts[e.kind].animSteps)
                e.frameStep = 0;
            enemyAnimTimer = 0;
        }
        if (enemyMoveTimer > 10) {
            MoveEnemy(e);
            enemyMoveTimer = 0;
        }
    }
}
