// The heroine, her gun and her shot.
//
// Every frame is drawn from a pose: where her hips are, how her torso
// leans, the angles of her legs and arms. Only the head is a hand-drawn
// map (assets/art/heroine.txt). Posing a skeleton keeps her proportions the
// same in all 54 cells and makes the walk an even cycle. The frames are
// drawn facing right; the left-facing ones are their mirror images.
//
// Her cell is 16x64 and is her collision box: the soles stand on row 63,
// the hair reaches row 2. The gun is drawn beside her cell at chest height
// (rows 17-32), so in the walking and firing poses her hands meet the
// cell's edge at rows 23-25, where the gun's grip is.

#include <algorithm>
#include <cmath>

#include "art.h"

namespace {

const double PI = 3.14159265358979;

// Colour ramps, light to dark.
struct Ramp {
    uint8_t light, mid, dark;
};
const Ramp Jacket = {121, 123, 125};
const Ramp JacketFar = {123, 125, 126};
const Ramp Sleeve = {119, 121, 123};
const Ramp Legs = {170, 172, 174};
const Ramp LegsFar = {172, 174, 175};
const Ramp Boots = {210, 214, 218};
const Ramp Skin = {194, 197, 203};
const Ramp Hair = {59, 61, 63};
const uint8_t TRIM = 113, BELT = 218, BUCKLE = 68;

const double THIGH = 12.5, SHIN = 12.5, UPPER_ARM = 7, FOREARM = 7;
const int NECK_Y = 13;        // top of the neck when she stands upright
const double ANKLE_Y = 61.3;  // ankle of a planted foot: the sole is on row 63

struct Limb {
    double a1, a2;  // angles from straight down; positive swings towards +x
};

struct Pose {
    double hipX = 7.5, hipY = 34.5;  // hip joint
    double lean = 0;                 // sideways shift of the shoulders against the hips
    int drop = 0;                    // extra rows the chest sinks (breathing, slumping)
    Limb nearLeg, farLeg;
    Limb nearArm = {0.15, 0.25}, farArm = {-0.1, 0.05};
    bool aim = false;  // both hands on the grip at the cell's edge
    const char *head = "head";
    int headDx = 0, headDy = 0;
    double tail = 0;  // ponytail swing: positive lifts it back and up
};

void Shaded(Image &img, double x0, double y0, double x1, double y1, double r, const Ramp &c)
{
    Thick(img, x0, y0, x1, y1, r, c.dark);
    Thick(img, x0 - 0.4, y0 - 0.3, x1 - 0.4, y1 - 0.3, r - 0.6, c.mid);
    Thick(img, x0 - 0.7, y0 - 0.5, x1 - 0.7, y1 - 0.5, r - 1.1, c.light);
}

void DrawLeg(Image &img, double hx, double hy, const Limb &l, const Ramp &cloth)
{
    double kx = hx + THIGH * std::sin(l.a1), ky = hy + THIGH * std::cos(l.a1);
    double ax = kx + SHIN * std::sin(l.a2), ay = ky + SHIN * std::cos(l.a2);
    Shaded(img, hx, hy, kx, ky, 1.9, cloth);
    // The boot covers the lower half of the shin and the foot.
    double bx = kx + 0.5 * SHIN * std::sin(l.a2), by = ky + 0.5 * SHIN * std::cos(l.a2);
    Shaded(img, kx, ky, bx, by, 1.6, cloth);
    Shaded(img, bx, by, ax, ay, 1.7, Boots);
    // The foot points along the ground, turned with the shin a little.
    double fx = ax + 3.2 * std::cos(l.a2 * 0.6), fy = ay + 3.2 * std::sin(-l.a2 * 0.6) + 0.6;
    Thick(img, ax, ay + 1.5, fx, fy + 1.5, 1.05, Boots.dark);
    Thick(img, ax - 0.3, ay + 0.9, fx - 0.3, fy + 0.9, 0.8, Boots.mid);
}

double AnkleDrop(const Limb &l) { return THIGH * std::cos(l.a1) + SHIN * std::cos(l.a2); }

// The torso from the neck down to the hips, row by row: half-width, and
// what the row is made of.
void DrawTorso(Image &img, const Pose &p, const Ramp &jacket)
{
    int top = NECK_Y + p.drop;
    int bottom = int(p.hipY + 1);
    for (int y = top; y <= bottom; y++) {
        double t = double(y - top) / double(bottom - top);  // 0 at the neck, 1 at the hips
        double cx = p.hipX + p.lean * (1 - t);
        int r = y - top;
        double half;
        uint8_t body;
        bool cloth = true;
        if (r < 2) {
            half = 1.2;
            body = Skin.mid;
            cloth = false;
        } else if (r < 4) {
            half = 3.6;
            body = jacket.mid;
        } else if (t < 0.62) {
            half = 3.9 - (t > 0.45 ? 0.6 : 0);
            body = jacket.mid;
        } else if (t < 0.72) {
            half = 3.3;
            body = BELT;
            cloth = false;
        } else {
            half = 3.7;
            body = Legs.mid;
        }
        int x0 = int(std::floor(cx - half + 0.5)), x1 = int(std::floor(cx + half - 0.5));
        for (int x = x0; x <= x1; x++) {
            uint8_t c = body;
            if (cloth && body == jacket.mid) {
                if (x == x0 || x == x0 + 1)
                    c = jacket.light;
                else if (x == x1)
                    c = jacket.dark;
                if (x == int(cx + 1.5) && r >= 4)
                    c = TRIM;  // the jacket's zip, on her front
            } else if (body == Legs.mid) {
                c = x == x0 ? Legs.light : x == x1 ? Legs.dark : Legs.mid;
            } else if (body == BELT && x == int(cx + 1.5)) {
                c = BUCKLE;
            }
            if (r == 2 && (x == int(cx + 1.5) || x == int(cx + 0.5)))
                c = Skin.mid;  // open collar
            img.set(x, y, c);
        }
    }
}

// Two-bone arm from the shoulder to a hand target, elbow bent downwards.
void ArmTo(Image &img, double sx, double sy, double hx, double hy, const Ramp &sleeve)
{
    double dx = hx - sx, dy = hy - sy;
    double d = std::hypot(dx, dy);
    double reach = UPPER_ARM + FOREARM - 0.01;
    if (d > reach) {
        hx = sx + dx * reach / d;
        hy = sy + dy * reach / d;
        d = reach;
    }
    double a = std::acos((UPPER_ARM * UPPER_ARM + d * d - FOREARM * FOREARM) / (2 * UPPER_ARM * d));
    double base = std::atan2(dy, dx);
    double ex = sx + UPPER_ARM * std::cos(base + a), ey = sy + UPPER_ARM * std::sin(base + a);
    Shaded(img, sx, sy, ex, ey, 1.5, sleeve);
    Shaded(img, ex, ey, hx, hy, 1.3, sleeve);
    Disc(img, hx, hy, 1.2, Skin.mid);
}

void ArmAngles(Image &img, double sx, double sy, const Limb &l, const Ramp &sleeve)
{
    double ex = sx + UPPER_ARM * std::sin(l.a1), ey = sy + UPPER_ARM * std::cos(l.a1);
    double hx = ex + FOREARM * std::sin(l.a2), hy = ey + FOREARM * std::cos(l.a2);
    Shaded(img, sx, sy, ex, ey, 1.5, sleeve);
    Shaded(img, ex, ey, hx, hy, 1.3, sleeve);
    Disc(img, hx, hy, 1.2, Skin.mid);
}

const PixMaps &HeadMaps()
{
    static PixMaps maps = LoadPixMaps("heroine.txt");
    return maps;
}

Image DrawPose(const Pose &p)
{
    Image img(16, 64, pal::CLEAR);
    double shoulderX = p.hipX + p.lean, shoulderY = NECK_Y + p.drop + 3.5;
    // Back to front: far arm, far leg, torso, near leg, ponytail, head, near arm.
    if (p.aim)
        ArmTo(img, shoulderX - 1, shoulderY, 13.8, 24.8, JacketFar);
    else
        ArmAngles(img, shoulderX - 1, shoulderY, p.farArm, JacketFar);
    DrawLeg(img, p.hipX - 0.8, p.hipY, p.farLeg, LegsFar);
    DrawTorso(img, p, Jacket);
    {
        // The near leg gets a dark edge of its own so the legs part.
        Image leg(16, 64, pal::CLEAR);
        DrawLeg(leg, p.hipX + 0.6, p.hipY, p.nearLeg, Legs);
        Outline(leg, LegsFar.dark, false);
        for (int y = 0; y < int(p.hipY + 1); y++)
            for (int x = 0; x < 16; x++)
                if (leg.at(x, y) == LegsFar.dark)
                    leg.at(x, y) = pal::CLEAR;  // but not across the hips
        Paste(img, leg, 0, 0);
    }

    int hx = 2 + int(std::lround(p.lean)) + p.headDx, hy = 2 + p.drop + p.headDy;
    // The ponytail leaves the back of the head and swings behind her.
    double tx = hx + 1.5, ty = hy + 4.0;
    double ex = tx - 3.0 - 1.5 * p.tail, ey = ty + 8.0 - 3.0 * p.tail;
    Thick(img, tx, ty, (tx + ex) / 2 - 0.6, (ty + ey) / 2, 1.6, Hair.dark);
    Thick(img, (tx + ex) / 2 - 0.6, (ty + ey) / 2, ex, ey, 1.1, Hair.dark);
    Thick(img, tx - 0.3, ty - 0.3, (tx + ex) / 2 - 0.8, (ty + ey) / 2 - 0.3, 0.9, Hair.mid);
    Paste(img, HeadMaps().get(p.head), hx, hy);

    // The near arm, lighter than the jacket and edged in its darkest
    // teal where it crosses her body.
    Image arm(16, 64, pal::CLEAR);
    if (p.aim)
        ArmTo(arm, shoulderX + 1, shoulderY, 14.2, 24.2, Sleeve);
    else
        ArmAngles(arm, shoulderX + 1, shoulderY, p.nearArm, Sleeve);
    Outline(arm, 126, false);
    for (int y = 0; y < 64; y++)
        for (int x = 0; x < 16; x++)
            if (arm.at(x, y) == 126 && img.at(x, y) == pal::CLEAR)
                arm.at(x, y) = pal::CLEAR;
    Paste(img, arm, 0, 0);
    Outline(img);
    return img;
}

// Puts the lower foot's ankle where its sole meets the cell's bottom row;
// the chest and head follow the hips down.
void PlantFeet(Pose &p)
{
    double drop = std::max(AnkleDrop(p.nearLeg), AnkleDrop(p.farLeg));
    p.hipY = ANKLE_Y - drop;
    p.drop = int(std::lround(p.hipY - 34.5));
}

// The walk: five evenly spaced moments of one full stride. Each leg's
// thigh swings on a cosine; the knee bends while the leg swings forward.
// The hips ride as high as the planted foot allows, so she bobs.
Pose WalkPose(int i)
{
    Pose p;
    auto leg = [](double phase) {
        Limb l;
        l.a1 = 0.27 * std::cos(2 * PI * phase);
        double swing = std::fmod(phase + 1.0, 1.0);
        double bend = swing > 0.5 ? 0.95 * std::sin(PI * (swing - 0.5) / 0.5) : 0.08;
        l.a2 = l.a1 - bend;
        return l;
    };
    double ph = i / 5.0;
    p.nearLeg = leg(ph);
    p.farLeg = leg(ph + 0.5);
    PlantFeet(p);
    p.aim = true;
    p.hipX = 6.8;
    p.lean = 1.2;
    p.tail = 0.5 + 0.5 * std::cos(2 * PI * ph * 2);
    return p;
}

Pose StandPose()
{
    Pose p;
    p.nearLeg = {0.12, 0.04};
    p.farLeg = {-0.12, -0.06};
    PlantFeet(p);
    return p;
}

// Standing: a slow rise and fall of the chest, the ponytail swaying.
Pose IdlePose(int i)
{
    static const int rise[6] = {0, 0, 1, 1, 1, 0};
    Pose p = StandPose();
    p.drop += rise[i];  // the chest sinks as she breathes out
    p.nearArm = {0.12 + 0.03 * rise[i], 0.22};
    p.farArm = {-0.12 - 0.03 * rise[i], -0.02};
    p.tail = 0.15 * std::sin(2 * PI * i / 6.0);
    return p;
}

// Firing: steady, then the kick of the shot pushes her shoulders back.
Pose FirePose(int i)
{
    Pose p;
    p.nearLeg = {0.22, 0.12};
    p.farLeg = {-0.2, -0.12};
    PlantFeet(p);
    p.aim = true;
    p.lean = i == 0 ? 0.6 : i == 1 ? -0.4 : -1.0;
    p.tail = i == 2 ? 0.8 : 0.3;
    if (i == 2)
        p.headDx = -1;
    return p;
}

Image FlashWhite(const Image &src)
{
    Image out = src;
    for (uint8_t &c : out.px)
        if (c != pal::CLEAR && c != pal::BLACK)
            c = c == Skin.mid || c == Skin.light ? pal::WHITE : 113;
    return out;
}

// Sparkles: small plus-shaped stars in white and pale cyan.
void Sparkle(Image &img, int x, int y, bool big)
{
    img.set(x, y, pal::WHITE);
    if (big) {
        img.set(x - 1, y, 114);
        img.set(x + 1, y, 114);
        img.set(x, y - 1, 114);
        img.set(x, y + 1, 114);
    }
}

// Keeps a share of the body's pixels (a fixed pattern, so the dissolve
// runs one way) and scatters sparkles rising from it.
Image Dissolve(const Image &body, double keep, double rise, uint32_t seed)
{
    Image out(16, 64, pal::CLEAR);
    Rng rng(seed);
    for (int y = 0; y < 64; y++)
        for (int x = 0; x < 16; x++) {
            uint8_t c = body.at(x, y);
            double order = ((x * 7 + y * 13) % 17) / 17.0 * 0.5 + (Bayer(x, y) / 16.0) * 0.5;
            if (c != pal::CLEAR && order < keep)
                out.at(x, y) = c == pal::BLACK ? c : (order > keep - 0.12 ? 114 : c);
        }
    for (int i = 0; i < 9; i++) {
        int x = 2 + rng.range(12);
        int y = int(58 - rng.range(14) - rise * (20 + rng.range(24)));
        if (y > 1 && y < 62)
            Sparkle(out, x, y, i % 3 == 0);
    }
    return out;
}

// A column of light in which she forms again, facing the other way.
Image Beam(const Image *figure, uint32_t seed)
{
    Image out(16, 64, pal::CLEAR);
    for (int y = 2; y < 64; y++) {
        out.at(7, y) = 113;
        out.at(8, y) = pal::WHITE;
        if (y % 3 != 0)
            out.at(6, y) = 116;
        if (y % 3 != 1)
            out.at(9, y) = 116;
    }
    if (figure)
        for (int y = 0; y < 64; y++)
            for (int x = 0; x < 16; x++) {
                uint8_t c = figure->at(x, y);
                if (c == pal::BLACK)
                    out.at(x, y) = 118;
                else if (c != pal::CLEAR)
                    out.at(x, y) = (x + y) % 2 ? 113 : pal::WHITE;
            }
    Rng rng(seed);
    for (int i = 0; i < 6; i++)
        Sparkle(out, 3 + rng.range(10), 4 + rng.range(56), i % 2 == 0);
    return out;
}

// The dying row, facing right: the kick of the hit, a white flash, a
// stagger, the knees give, she slumps, dissolves into sparkles that rise,
// and a beam of light brings her back (the last cell is also her first
// step walking left, so she ends formed again).
std::vector<Image> DyingRow(const Image &fireKick, const Image &walkLeft0)
{
    std::vector<Image> row;
    row.push_back(fireKick);

    Pose hit = FirePose(2);
    hit.aim = false;
    hit.lean = -1.6;
    hit.head = "head_hurt";
    hit.headDx = -1;
    hit.nearArm = {-0.9, -1.4};
    hit.farArm = {-1.2, -1.8};
    hit.tail = 1.0;
    row.push_back(FlashWhite(DrawPose(hit)));

    Pose stagger = hit;
    stagger.lean = -2.0;
    stagger.hipX = 7.0;
    stagger.nearLeg = {0.3, 0.0};
    stagger.farLeg = {-0.35, -0.2};
    stagger.nearArm = {-1.6, -2.4};
    stagger.farArm = {-1.9, -2.6};
    row.push_back(DrawPose(stagger));

    Pose buckle = StandPose();
    buckle.head = "head_hurt";
    buckle.hipY = 39.5;
    buckle.drop = 5;
    buckle.lean = 1.0;
    buckle.nearLeg = {0.75, -0.35};
    buckle.farLeg = {0.45, -0.55};
    buckle.nearArm = {0.3, 0.5};
    buckle.farArm = {0.1, 0.3};
    buckle.headDy = 1;
    buckle.headDx = 1;
    buckle.tail = 0.2;
    row.push_back(DrawPose(buckle));

    Pose kneel = buckle;
    kneel.hipY = 45.5;
    kneel.drop = 11;
    kneel.lean = 1.5;
    kneel.nearLeg = {1.35, 0.05};
    kneel.farLeg = {0.3, -1.45};
    kneel.nearArm = {0.6, 0.9};
    kneel.farArm = {0.4, 0.7};
    kneel.headDx = 2;
    kneel.headDy = 2;
    row.push_back(DrawPose(kneel));

    Pose slump = kneel;
    slump.hipY = 50.5;
    slump.drop = 17;
    slump.hipX = 6.5;
    slump.lean = 2.2;
    slump.nearLeg = {1.5, -1.35};
    slump.farLeg = {1.45, -1.4};
    slump.nearArm = {0.9, 0.2};
    slump.farArm = {0.7, 0.1};
    slump.headDx = 2;
    slump.headDy = 4;
    slump.head = "head_blink";
    Image heap = DrawPose(slump);
    row.push_back(heap);
    row.push_back(FlashWhite(heap));
    row.push_back(Dissolve(heap, 0.75, 0.15, 7));
    row.push_back(Dissolve(heap, 0.45, 0.45, 8));
    row.push_back(Dissolve(heap, 0.18, 0.8, 9));
    row.push_back(Dissolve(heap, 0.0, 1.2, 10));
    row.push_back(Beam(nullptr, 11));
    row.push_back(Beam(&walkLeft0, 12));
    row.push_back(walkLeft0);
    return row;
}

Image GunPicture()
{
    // The blaster, pointing right, held at its grip (columns 0-3) by her
    // hands at the edge of her cell. Its bore is on rows 6-8, where the
    // shot leaves (her row 23 is the gun's row 6).
    Image g(32, 16, pal::CLEAR);
    Fill(g, 0, 4, 16, 5, 26);     // body
    Fill(g, 0, 4, 16, 1, 21);     // top light
    Fill(g, 1, 5, 14, 1, 23);
    Fill(g, 16, 5, 7, 3, 24);     // barrel
    Fill(g, 16, 5, 7, 1, 20);
    Fill(g, 23, 4, 2, 5, 27);     // muzzle ring
    Fill(g, 23, 4, 2, 1, 22);
    Fill(g, 2, 9, 3, 4, 213);     // wooden grip
    Fill(g, 2, 9, 1, 4, 210);
    Fill(g, 6, 9, 2, 2, 27);      // trigger guard
    Fill(g, 9, 6, 5, 1, 118);     // power cell, glowing cyan
    g.set(13, 6, 114);
    Fill(g, 5, 2, 6, 2, 27);      // sight rail
    Fill(g, 5, 2, 6, 1, 23);
    Outline(g);
    return g;
}

Image ShotPicture()
{
    // An opaque bolt of energy: its rectangle is its hit box.
    static const uint8_t rows[4][8] = {
        {60, 58, 66, 65, 65, 66, 58, 60},
        {58, 66, 64, 15, 15, 64, 66, 58},
        {58, 66, 64, 15, 15, 64, 66, 58},
        {60, 58, 66, 65, 65, 66, 58, 60},
    };
    Image s(8, 4);
    for (int y = 0; y < 4; y++)
        for (int x = 0; x < 8; x++)
            s.at(x, y) = rows[y][x];
    return s;
}

}  // namespace

Image GunSprite() { return GunPicture(); }
const Image &HeroineHead() { return HeadMaps().get("head"); }

void BuildHeroine(Pictures &out)
{
    std::vector<Image> right(28);
    for (int i = 0; i < 5; i++)
        right[i] = DrawPose(WalkPose(i));
    for (int i = 0; i < 6; i++)
        right[5 + i] = DrawPose(IdlePose(i));
    for (int i = 0; i < 3; i++)
        right[11 + i] = DrawPose(FirePose(i));
    std::vector<Image> dying = DyingRow(right[13], Mirror(right[0]));
    for (int i = 0; i < 14; i++)
        right[14 + i] = dying[i];

    // Cells 0-27 face right (27 ends the dying row and is also the first
    // step left). The left-facing rows mirror them: walking, standing and
    // firing sit 27 cells on, the dying row 26 on, because it starts on
    // the last firing cell (both are the kick of a shot or a hit).
    Image sheet(54 * 16, 64, pal::CLEAR);
    for (int c = 0; c < 54; c++) {
        const Image &cell = c <= 27 ? right[c] : c <= 40 ? Mirror(right[c - 27]) : Mirror(right[c - 26]);
        Paste(sheet, cell, 16 * c, 0);
    }
    out["pframe.bmp"] = sheet;

    Image gun(64, 16, pal::CLEAR);
    Image g = GunPicture();
    Paste(gun, g, 0, 0);
    Paste(gun, Mirror(g), 32, 0);
    out["gun.bmp"] = gun;
    out["shot.bmp"] = ShotPicture();
}
