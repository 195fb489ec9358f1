// The ogre, the death ball, the spikes and the explosion: all drawn from
// shapes in code, shaded with light from the top left and outlined in
// black like the heroine.

#include <algorithm>
#include <cmath>

#include "art.h"

namespace {

const double PI = 3.14159265358979;

// A ramp from light to dark and a shaded ellipse: each pixel picks its
// shade from how much its surface faces the light (up and to the left).
using Ramp = std::vector<uint8_t>;

void Blob(Image &img, double cx, double cy, double rx, double ry, const Ramp &ramp, double bias = 0)
{
    for (int y = int(cy - ry - 1); y <= int(cy + ry + 1); y++)
        for (int x = int(cx - rx - 1); x <= int(cx + rx + 1); x++) {
            double nx = (x + 0.5 - cx) / rx, ny = (y + 0.5 - cy) / ry;
            double d = nx * nx + ny * ny;
            if (d > 1)
                continue;
            double lit = 0.5 + 0.45 * nx + 0.4 * ny + 0.25 * d + bias;  // 0 = bright
            int i = int(lit * ramp.size());
            if (i < 0)
                i = 0;
            if (i >= int(ramp.size()))
                i = int(ramp.size()) - 1;
            img.set(x, y, ramp[i]);
        }
}

void Limb(Image &img, double x0, double y0, double x1, double y1, double r, const Ramp &ramp)
{
    Thick(img, x0, y0, x1, y1, r, ramp[ramp.size() - 2]);
    Thick(img, x0 - 0.5, y0 - 0.4, x1 - 0.5, y1 - 0.4, r - 0.8, ramp[1]);
}

// --- The ogre -------------------------------------------------------------

const Ramp OgreSkin = {74, 75, 76, 77, 78};
const Ramp OgreSkinFar = {76, 77, 78, 79};
const Ramp Hide = {210, 213, 216, 218};
const Ramp Club = {208, 211, 214, 217};
const uint8_t EYE = 33, TUSK = 17, HORN = 19;

struct OgrePose {
    double nearFoot = 0, farFoot = 0;  // forward reach of each foot
    double nearLift = 0, farLift = 0;  // how high each foot is off the floor
    double bob = 0;                    // the body sinks on planted steps
    double clubRaise = 0;              // 0 carried, 1 raised over the head
    bool roar = false;
};

Image DrawOgre(const OgrePose &p)
{
    Image img(32, 48, pal::CLEAR);
    double b = p.bob;
    // Far leg and far arm first.
    Limb(img, 13, 33 + b, 13 + p.farFoot, 44 - p.farLift, 3.2, OgreSkinFar);
    Blob(img, 14 + p.farFoot, 45.2 - p.farLift, 3.6, 2.0, OgreSkinFar);
    Limb(img, 11, 17 + b, 9 - p.nearFoot * 0.6, 31 + b, 2.8, OgreSkinFar);
    Blob(img, 9 - p.nearFoot * 0.6, 32 + b, 2.6, 2.6, OgreSkinFar);
    // Body: broad chest and a heavy belly.
    Blob(img, 15, 22 + b, 9.5, 9, OgreSkin);
    Blob(img, 17, 28 + b, 8, 7, OgreSkin, -0.1);
    // Hide kilt with a belt.
    for (int y = int(31 + b); y < int(38 + b); y++)
        for (int x = 8; x < 25; x++) {
            double w = (y - 31 - b) * 0.3;
            if (x >= 9 - w && x <= 24 + w * 0.3)
                img.set(x, y, ((x + y) % 5 == 0) ? Hide[2] : (x < 12 ? Hide[1] : Hide[2]));
        }
    Fill(img, 9, int(31 + b), 16, 1, Hide[3]);
    img.set(19, int(31 + b), 69);
    // Near leg.
    Limb(img, 18, 34 + b, 18 + p.nearFoot, 44 - p.nearLift, 3.4, OgreSkin);
    Blob(img, 19.5 + p.nearFoot, 45.2 - p.nearLift, 4.0, 2.0, OgreSkin);
    // Head, thrust forward on a thick neck, with a heavy brow and tusks.
    double hy = 11 + b;
    Image body = img;
    img = Image(32, 48, pal::CLEAR);
    Blob(img, 19, hy + 3, 4, 4, OgreSkin);
    Blob(img, 21, hy, 5.5, 5.5, OgreSkin);
    Blob(img, 24, hy + 3, 3.5, 2.8, OgreSkin, 0.1);  // jaw
    Fill(img, 20, int(hy - 2), 7, 1, OgreSkin[4]);   // brow
    Fill(img, 23, int(hy - 1), 3, 2, 224);           // deep-set eye
    img.set(24, int(hy - 1), EYE);
    img.set(25, int(hy - 1), 53);
    img.set(26, int(hy + 1), OgreSkin[4]);           // nostril
    if (p.roar) {
        Fill(img, 24, int(hy + 3), 4, 2, 40);  // open mouth
        img.set(26, int(hy + 2), TUSK);
        img.set(24, int(hy + 2), TUSK);
    } else {
        img.set(25, int(hy + 2), TUSK);
        img.set(27, int(hy + 2), TUSK);
        Fill(img, 24, int(hy + 3), 4, 1, OgreSkin[4]);
    }
    // Two short horns.
    Line(img, 18, int(hy - 4), 16, int(hy - 8), HORN);
    Line(img, 17, int(hy - 4), 15, int(hy - 7), 21);
    Line(img, 22, int(hy - 5), 22, int(hy - 9), HORN);
    img.set(16, int(hy + 1), OgreSkin[3]);  // ear
    // The head is edged in black where it meets the body.
    Outline(img, pal::BLACK, false);
    for (int y = 0; y < 48; y++)
        for (int x = 0; x < 32; x++)
            if (img.at(x, y) == pal::BLACK && body.at(x, y) == pal::CLEAR)
                img.at(x, y) = pal::CLEAR;
    Paste(body, img, 0, 0);
    img = body;
    // Near arm and the club.
    double hx = 24 + p.nearFoot * 0.4 - p.clubRaise * 2, hyy = 29 + b - p.clubRaise * 14;
    Limb(img, 18, 18 + b, hx, hyy, 3.0, OgreSkin);
    double cx = hx + 3 - p.clubRaise * 6, cy = hyy - 11 - p.clubRaise * 2;
    Thick(img, hx, hyy, cx, cy, 1.2, Club[2]);
    Thick(img, (hx + cx) / 2, (hyy + cy) / 2, cx, cy, 2.4, Club[2]);
    Thick(img, (hx + cx) / 2 - 0.5, (hyy + cy) / 2 - 0.5, cx - 0.5, cy - 0.5, 1.5, Club[0]);
    Blob(img, hx, hyy, 2.5, 2.3, OgreSkin);
    Outline(img);
    return img;
}

// The walk: three steps in a loop, each foot planted in turn.
OgrePose OgreWalk(int i)
{
    OgrePose p;
    static const double nf[3] = {3, 0, -3}, ff[3] = {-3, 1, 3};
    static const double nl[3] = {0, 2, 0}, fl[3] = {0, 0, 1.5};
    p.nearFoot = nf[i];
    p.farFoot = ff[i];
    p.nearLift = nl[i];
    p.farLift = fl[i];
    p.bob = i == 0 ? 1 : 0;
    return p;
}

void BuildOgres(Pictures &out)
{
    Image walk[3];
    for (int i = 0; i < 3; i++)
        walk[i] = DrawOgre(OgreWalk(i));
    OgrePose roarPose;
    roarPose.clubRaise = 1;
    roarPose.roar = true;
    roarPose.nearFoot = 1;
    roarPose.farFoot = -1;
    Image roar = DrawOgre(roarPose);
    // 0-2 walk towards larger x and 4-6 towards smaller x; the others are
    // only seen for a moment after a slot changes kind: a roar facing the
    // way of the row they follow, and more steps.
    out["mframe2.bmp"] = Strip({walk[0], walk[1], walk[2], roar, Mirror(walk[0]), Mirror(walk[1]), Mirror(walk[2]),
                                Mirror(roar), Mirror(walk[1]), Mirror(walk[2]), Mirror(walk[0]), Mirror(roar), roar});
}

// --- The death ball -----------------------------------------------------

const Ramp Iron = {19, 22, 25, 27, 28, 31};

Image DrawBall(double turn)
{
    Image img(16, 16, pal::CLEAR);
    const double cx = 8, cy = 8.5;
    // Eight spikes, turning with the ball: triangles lit on their upper
    // side.
    for (int k = 0; k < 8; k++) {
        double a = turn + k * PI / 4;
        double ux = std::cos(a), uy = std::sin(a);
        double bx = cx + 3.8 * ux, by = cy + 3.8 * uy, tx = cx + 8.2 * ux, ty = cy + 8.2 * uy;
        double px = -uy * 2.3, py = ux * 2.3;
        for (int y = 0; y < 16; y++)
            for (int x = 0; x < 16; x++) {
                double qx = x + 0.5, qy = y + 0.5;
                auto side = [&](double x0, double y0, double x1, double y1) {
                    return (x1 - x0) * (qy - y0) - (y1 - y0) * (qx - x0);
                };
                double s1 = side(bx + px, by + py, tx, ty), s2 = side(tx, ty, bx - px, by - py),
                       s3 = side(bx - px, by - py, bx + px, by + py);
                if ((s1 >= 0 && s2 >= 0 && s3 >= 0) || (s1 <= 0 && s2 <= 0 && s3 <= 0)) {
                    double lit = (qx - cx) * 0.3 + (qy - cy) * 0.3;
                    img.set(x, y, lit < -1 ? 19 : lit < 1 ? 22 : 25);
                }
            }
    }
    Blob(img, cx, cy, 4.9, 4.9, Iron);
    // A glowing seam round the ball shows it roll.
    for (int k = -2; k <= 2; k++) {
        double a = turn + PI / 8 + k * 0.3;
        img.set(int(cx + 3.4 * std::cos(a)), int(cy + 3.4 * std::sin(a)), k == 0 ? 68 : 34);
        double a2 = a + PI;
        img.set(int(cx + 3.4 * std::cos(a2)), int(cy + 3.4 * std::sin(a2)), k == 0 ? 68 : 34);
    }
    img.set(6, 6, 16);  // a glint that stays where the light is
    img.set(5, 7, 19);
    Outline(img);
    return img;
}

void BuildBalls(Pictures &out)
{
    // Eight spikes repeat every 45 degrees; five frames turn through one
    // such step, so the roll loops without a jump. Rolling towards larger
    // x turns clockwise on screen.
    std::vector<Image> cells;
    for (int i = 0; i < 10; i++)
        cells.push_back(DrawBall((i < 5 ? 1 : -1) * (i % 5) * PI / 20));
    out["ball.bmp"] = Strip(cells);
}

// --- The spikes -----------------------------------------------------------

void Glint(Image &img, int x, int y, int size)
{
    img.set(x, y, pal::WHITE);
    for (int d = 1; d <= size; d++) {
        uint8_t c = d == size ? 114 : pal::WHITE;
        img.set(x - d, y, c);
        img.set(x + d, y, c);
        img.set(x, y - d, c);
        img.set(x, y + d, c);
    }
}

Image DrawSpikes(int frame)
{
    Image img(16, 16, pal::CLEAR);
    static const int tipX[3] = {3, 8, 13}, tipY[3] = {4, 1, 4};
    for (int k = 0; k < 3; k++) {
        for (int y = tipY[k]; y < 14; y++) {
            int half = (y - tipY[k]) / 4;
            for (int x = tipX[k] - half; x <= tipX[k] + half; x++) {
                uint8_t c = x < tipX[k] ? 18 : x == tipX[k] ? 21 : 25;
                img.set(x, y, c);
            }
        }
    }
    Fill(img, 0, 13, 16, 3, 26);  // base plate
    Fill(img, 0, 13, 16, 1, 22);
    for (int x = 2; x < 16; x += 5)
        img.set(x, 14, 28);
    Outline(img);
    // The glint runs from tip to tip and then along the plate.
    if (frame < 6) {
        int k = frame / 2;
        Glint(img, tipX[k], tipY[k] + 1, frame % 2 ? 2 : 1);
    } else {
        int x = frame == 6 ? 6 : 12;
        img.set(x, 13, pal::WHITE);
        img.set(x + 1, 13, pal::WHITE);
        img.set(x - 1, 13, 19);
    }
    return img;
}

void BuildSpikes(Pictures &out)
{
    std::vector<Image> cells;
    for (int i = 0; i < 8; i++)
        cells.push_back(DrawSpikes(i));
    out["spike1.bmp"] = Strip(cells);
}

// --- The explosion --------------------------------------------------------

// Five moments: a white flash, a fireball, its burst, smoke with embers,
// and the last wisps. Ragged edges come from a fixed random field.
Image DrawExplosion(int frame)
{
    Image img(16, 16, pal::CLEAR);
    static const double radius[5] = {3.5, 6.0, 7.6, 7.8, 7.8};
    Rng rng(100 + frame);
    double noise[16][16];
    for (auto &row : noise)
        for (double &n : row)
            n = rng.unit();
    const Ramp fire = {15, 64, 68, 58, 60, 35, 39};
    const Ramp smoke = {21, 23, 25, 27, 28};
    for (int y = 0; y < 16; y++)
        for (int x = 0; x < 16; x++) {
            double d = std::hypot(x + 0.5 - 8, y + 0.5 - 8) / radius[frame];
            double edge = d + (noise[y][x] - 0.5) * 0.35;
            if (edge > 1)
                continue;
            uint8_t c;
            switch (frame) {
            case 0:
                c = edge < 0.5 ? fire[0] : edge < 0.8 ? fire[1] : fire[2];
                break;
            case 1:
                c = fire[std::min(6, int(edge * 5))];
                break;
            case 2:
                c = edge < 0.35 ? fire[2] : edge < 0.6 ? fire[3] : edge < 0.8 ? fire[5] : smoke[2];
                break;
            case 3:
                if (noise[y][x] > 0.8 && edge < 0.7)
                    c = fire[3];
                else
                    c = smoke[std::min(4, int(edge * 4 + noise[y][x]))];
                if (edge < 0.45 && noise[y][x] < 0.5)
                    continue;  // the cloud opens in the middle
                break;
            default:
                if ((x + y) % 2 || noise[y][x] < 0.35 || edge < 0.5)
                    continue;
                c = smoke[2 + int(noise[y][x] * 2.9)];
                break;
            }
            img.at(x, y) = c;
        }
    return img;
}

void BuildExplosions(Pictures &out)
{
    std::vector<Image> cells;
    for (int i = 0; i < 5; i++)
        cells.push_back(DrawExplosion(i));
    out["explo.bmp"] = Strip(cells);
}

}  // namespace

void BuildEnemies(Pictures &out)
{
    BuildOgres(out);
    BuildBalls(out);
    BuildSpikes(out);
    BuildExplosions(out);
}
