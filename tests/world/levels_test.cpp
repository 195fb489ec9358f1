// The three maps, and the more levels of assets/levels/more made for them,
// against what the game fixes about them: the heroine's start, the enemies'
// floors and walks, the border, the items; and the files in data/ against a
// fresh build from assets/levels/.

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <unistd.h>
#include <string>
#include <vector>

#include "actors/enemies.h"
#include "actors/player.h"
#include "game_fixture.h"
#include "sound/sound.h"
#include "image.h"
#include "temp_folder.h"
#include "world/custom.h"
#include "world/level.h"
#include "world/pickups.h"
#include "world/tilemap.h"

namespace {

struct Map {
    std::vector<int32_t> cells;
    int32_t at(int row, int col) const
    {
        if (row < 0 || col < 0 || row >= MAP_SIZE || col >= MAP_SIZE)
            return 0;
        return cells[MAP_SIZE * row + col];
    }
    bool solid(int row, int col) const { return IsSolidCode(at(row, col)); }
};

// The maps tested: 0..2 the game's own, 3..5 the more levels for levels
// 1..3, read as the game reads a custom level.
const char *const MoreLevelFiles[3] = {"assets/levels/more/orchard-hills.txt", "assets/levels/more/lantern-mine.txt",
                                       "assets/levels/more/cyclops-vaults.txt"};

int LevelOf(int map) { return map % 3; }

Map LoadMap(int map)
{
    const char *path = map < 3 ? LevelFiles[map] : MoreLevelFiles[map - 3];
    bool ok = false;
    const std::vector<uint8_t> bytes = ReadFile(path, &ok);
    EXPECT_TRUE(ok) << path;
    Map m;
    m.cells.assign(MAP_CELLS, 0);
    if (map >= 3) {
        char why[200] = "";
        EXPECT_EQ(ReadCustomLevel((const char *)bytes.data(), (int)bytes.size(), why, sizeof why), 0) << path << why;
        EXPECT_EQ(customLevel.level, LevelOf(map) + 1) << path;
        m.cells.assign(customLevel.codes, customLevel.codes + MAP_CELLS);
        customLevel.level = 0;  // read here only to be looked at
        return m;
    }
    for (size_t i = 0; i + 3 < bytes.size() && i / 4 < MAP_CELLS; i += 4)
        m.cells[i / 4] = int32_t(bytes[i] | bytes[i + 1] << 8 | bytes[i + 2] << 16 | uint32_t(bytes[i + 3]) << 24);
    return m;
}

bool IsItem(int32_t code) { return code >= FIRST_PICKUP_CODE && code <= LAST_PICKUP_CODE; }

// The solid codes each level is built from: its own block and the girder.
const int32_t LevelBlock[3] = {1, 13, 54};

class LevelMap : public ::testing::TestWithParam<int> {};

TEST_P(LevelMap, FileHoldsOnlyTheLevelsOwnCodes)
{
    const int level = LevelOf(GetParam());
    bool ok = false;
    if (GetParam() < 3) {
        EXPECT_EQ(ReadFile(LevelFiles[level], &ok).size(), size_t(LEVEL_FILE_BYTES));
    }
    const Map m = LoadMap(GetParam());
    for (int row = 0; row < MAP_SIZE; row++)
        for (int col = 0; col < MAP_SIZE; col++) {
            const int32_t code = m.at(row, col);
            const bool decoration = code > 1 && code < TILE_COUNT && !IsSolidCode(code) && (code < 79 || code > 86);
            const bool wall = code == LevelBlock[level] || code == 57;
            EXPECT_TRUE(code == 0 || decoration || wall || IsItem(code))
                << "level " << level + 1 << " cell (" << row << ", " << col << ") holds " << code;
        }
}

TEST_P(LevelMap, BorderIsClosed)
{
    const Map m = LoadMap(GetParam());
    for (int i = 0; i < MAP_SIZE; i++) {
        EXPECT_TRUE(m.solid(0, i) && m.solid(MAP_SIZE - 1, i)) << "column " << i;
        EXPECT_TRUE(m.solid(i, 0) && m.solid(i, MAP_SIZE - 1)) << "row " << i;
    }
}

// She appears at screen (111, 100), 16 wide and 64 tall, and must land on a
// floor right below without a wall in her box.
TEST_P(LevelMap, HeroineStartsAboveAFloor)
{
    const int level = LevelOf(GetParam());
    const Map m = LoadMap(GetParam());
    const int x = Levels[level].camX + 111, y = Levels[level].camY + 100;
    ASSERT_EQ(x % TILE, 0);
    ASSERT_EQ(y % TILE, 0);
    const int col = x / TILE, row = y / TILE;
    for (int r = row; r < row + 4; r++)
        EXPECT_FALSE(m.solid(r, col)) << "row " << r;
    EXPECT_TRUE(m.solid(row + 4, col));
}

// The pixels an enemy covers along its whole walk (x0 .. x1), its top row
// and its height in rows. An ogre walks from 16 * first - 1 to 16 * last + 1
// and is 32 wide; a ball rolls from 16 * first - 3 to 16 * last + 1 and is 16
// wide; spikes stay on their cell.
struct Walk {
    int x0, x1, row, rows;
};

Walk WalkOf(const EnemyPlacement &p)
{
    switch (p.kind) {
    case Ogre:
        return {TILE * p.first - 1, TILE * p.last + 1 + 31, p.row, 3};
    case DeathBall:
        return {TILE * p.first - 3, TILE * p.last + 1 + 15, p.row, 1};
    default:
        return {TILE * p.col, TILE * p.col + 15, p.row, 1};
    }
}

// Where an enemy turns it may touch a wall by one pixel and hang over the
// end of its floor by up to three (a ball turns up to 3 pixels past its
// span's first column; the second level's two low balls meet at a step).
enum { WALL_TOUCH = 1, EDGE_OVERHANG = 3 };

TEST_P(LevelMap, EveryEnemyWalksOnAFloorWithNoWallInItsWay)
{
    const int level = LevelOf(GetParam());
    const Map m = LoadMap(GetParam());
    for (int i = 0; i < Levels[level].enemyCount; i++) {
        const EnemyPlacement &p = Levels[level].enemies[i];
        const Walk w = WalkOf(p);
        for (int col = (w.x0 + EDGE_OVERHANG) / TILE; col <= (w.x1 - EDGE_OVERHANG) / TILE; col++)
            EXPECT_TRUE(m.solid(w.row + w.rows, col))
                << "level " << level + 1 << " slot " << p.slot << ": no floor under column " << col;
        for (int col = (w.x0 + WALL_TOUCH) / TILE; col <= (w.x1 - WALL_TOUCH) / TILE; col++)
            for (int r = w.row; r < w.row + w.rows; r++)
                EXPECT_FALSE(m.solid(r, col))
                    << "level " << level + 1 << " slot " << p.slot << ": wall at (" << r << ", " << col << ")";
    }
}

// Standing on a floor she reaches four rows up; a jump takes her hands about
// four rows higher. An item is in reach when the first solid cell below it
// is at most eight rows down and it is not walled in on all four sides.
TEST_P(LevelMap, EveryItemIsInReach)
{
    const int level = LevelOf(GetParam());
    const Map m = LoadMap(GetParam());
    for (int row = 0; row < MAP_SIZE; row++)
        for (int col = 0; col < MAP_SIZE; col++) {
            if (!IsItem(m.at(row, col)))
                continue;
            const bool walledIn = m.solid(row - 1, col) && m.solid(row + 1, col) && m.solid(row, col - 1) &&
                                  m.solid(row, col + 1);
            int below = 1;
            while (row + below < MAP_SIZE && !m.solid(row + below, col))
                below++;
            EXPECT_FALSE(walledIn) << "level " << level + 1 << " item at (" << row << ", " << col << ")";
            EXPECT_LE(below, 8) << "level " << level + 1 << " item at (" << row << ", " << col << ")";
        }
}

// One exit item, where she can walk up to it: on a floor at most four rows
// below, with room for her to stand there.
TEST_P(LevelMap, OneExitWithinWalkingReach)
{
    const int level = LevelOf(GetParam());
    const Map m = LoadMap(GetParam());
    int exits = 0;
    for (int row = 0; row < MAP_SIZE; row++)
        for (int col = 0; col < MAP_SIZE; col++) {
            if (m.at(row, col) != FIRST_PICKUP_CODE + int(ExitLevel))
                continue;
            exits++;
            int floor = row + 1;
            while (floor < MAP_SIZE && !m.solid(floor, col))
                floor++;
            EXPECT_LE(floor - row, 4) << "level " << level + 1;
            for (int r = floor - 4; r < floor; r++)
                EXPECT_FALSE(m.solid(r, col)) << "level " << level + 1 << " row " << r;
        }
    EXPECT_EQ(exits, 1) << "level " << level + 1;
}

INSTANTIATE_TEST_SUITE_P(AllThree, LevelMap, ::testing::Values(0, 1, 2),
                         [](const ::testing::TestParamInfo<int> &info) { return "Level" + std::to_string(info.param + 1); });
INSTANTIATE_TEST_SUITE_P(More, LevelMap, ::testing::Values(3, 4, 5), [](const ::testing::TestParamInfo<int> &info) {
    return "ForLevel" + std::to_string(info.param - 2);
});

// Where each level puts its enemies: slot, kind, cell and patrol span, and
// the slots a level leaves empty stay empty even when the level before used
// them. Each kind starts with its own direction, hit points, offset and speed.
struct Placement {
    int slot, kind, col, row, first, last;
};

const std::vector<Placement> Placements[3] = {
    {{0, SharpSpikes, 38, 23, 0, 0}, {1, SharpSpikes, 39, 23, 0, 0}, {2, DeathBall, 27, 32, 27, 31},
     {3, Ogre, 28, 15, 28, 33}, {4, Ogre, 21, 18, 19, 21}, {5, Ogre, 21, 66, 21, 27}, {6, Ogre, 40, 66, 34, 40},
     {8, Ogre, 54, 6, 54, 67}, {9, DeathBall, 34, 56, 34, 38}},
    {{0, DeathBall, 23, 66, 23, 30}, {1, DeathBall, 43, 63, 43, 47}, {2, DeathBall, 52, 62, 48, 52},
     {3, DeathBall, 58, 46, 58, 63}, {4, Ogre, 47, 40, 43, 47}, {5, Ogre, 29, 37, 29, 34},
     {6, DeathBall, 19, 24, 19, 27}, {7, Ogre, 33, 21, 29, 37}, {8, Ogre, 39, 21, 34, 44}},
    {{0, SharpSpikes, 2, 68, 0, 0}, {1, SharpSpikes, 57, 11, 0, 0}, {2, SharpSpikes, 58, 11, 0, 0},
     {3, SharpSpikes, 62, 11, 0, 0}, {4, SharpSpikes, 63, 11, 0, 0}, {5, Ogre, 20, 46, 20, 26},
     {6, DeathBall, 38, 56, 38, 43}, {7, Ogre, 47, 23, 47, 53}, {8, Ogre, 27, 52, 20, 27},
     {9, Ogre, 34, 66, 27, 40}, {10, DeathBall, 60, 39, 60, 63}, {11, Ogre, 42, 43, 42, 45},
     {12, DeathBall, 64, 50, 57, 72}},
};

const int CameraStart[3][2] = {{113, 444}, {97, 940}, {257, 476}};

// dir, hit points, offset, speed
const int KindStart[3][4] = {{0, 15, 1, 1}, {1, 1000, 0, 0}, {1, 50, 1, 4}};

using LevelSetUpTest = GameTest;

TEST_F(LevelSetUpTest, EveryPlacementFillsItsSlotAndTheOtherSlotsStayEmpty)
{
    for (int level : {2, 1, 0, 2}) {
        for (int slot = 0; slot < MAX_ENEMIES; slot++) {  // as a level in play leaves them
            Enemies[slot].frameBase = 4;
            Enemies[slot].frameStep = slot % 3;
        }
        levelIndex = level;
        SetUpLevel();
        EXPECT_EQ(camX, CameraStart[level][0]);
        EXPECT_EQ(camY, CameraStart[level][1]);
        EXPECT_EQ(currentMusic, level + 1);
        for (int slot = 0; slot < MAX_ENEMIES; slot++) {
            const Enemy &e = Enemies[slot];
            const Placement *p = nullptr;
            for (const Placement &q : Placements[level])
                if (q.slot == slot)
                    p = &q;
            if (!p) {
                EXPECT_EQ(e.active, 0) << "level " << level + 1 << " slot " << slot;
                continue;
            }
            EXPECT_EQ(e.active, 1) << "level " << level + 1 << " slot " << slot;
            EXPECT_EQ(e.kind, p->kind) << "level " << level + 1 << " slot " << slot;
            EXPECT_EQ(worldX[slot], 16 * p->col) << "level " << level + 1 << " slot " << slot;
            EXPECT_EQ(worldY[slot], 16 * p->row) << "level " << level + 1 << " slot " << slot;
            EXPECT_EQ(e.leftEnd, 16 * p->first) << "level " << level + 1 << " slot " << slot;
            EXPECT_EQ(e.rightEnd, 16 * p->last) << "level " << level + 1 << " slot " << slot;
            EXPECT_EQ(e.frameBase, 0);
            EXPECT_EQ(e.frameStep, slot % 3);  // kept from the slot's last enemy
            EXPECT_EQ(e.dir, KindStart[p->kind][0]);
            EXPECT_EQ(e.hitPoints, KindStart[p->kind][1]);
            EXPECT_EQ(e.offset, KindStart[p->kind][2]);
            EXPECT_EQ(e.speed, KindStart[p->kind][3]);
        }
    }
}

// The maps in data/ are exactly what build_levels makes from assets/levels/.
TEST(LevelFiles, RebuildByteForByte)
{
    const std::string folder = MakeTestFolder().string();
    const std::string cmd = std::string(KV_TOOLS_DIR "/build_levels ") + folder + " " KV_SOURCE_DIR "/assets/levels";
    ASSERT_EQ(system(cmd.c_str()), 0) << cmd;
    for (int n = 1; n <= 3; n++) {
        const std::string name = "/new" + std::to_string(n) + ".lvl";
        bool okBuilt = false, okData = false;
        const std::vector<uint8_t> built = ReadFile(folder + name, &okBuilt);
        const std::vector<uint8_t> data = ReadFile(KV_SOURCE_DIR "/data" + name, &okData);
        EXPECT_TRUE(okBuilt && okData) << name;
        EXPECT_TRUE(built == data) << name << " differs from a fresh build";
    }
}

}  // namespace
