// The file is laid out as Impulse Tracker itself saves it: the 192-byte
// header, the order list, the offset tables, the instruments (554 bytes
// each), the sample headers (80 bytes each), the packed patterns and last
// the sample data, every offset counted from the start of the file.

#include "itwriter.h"

#include <algorithm>

namespace {

struct Bytes {
    std::vector<uint8_t> b;
    void U8(int v) { b.push_back(uint8_t(v)); }
    void U16(int v) { U8(v & 0xFF), U8((v >> 8) & 0xFF); }
    void U32(uint32_t v) { U16(int(v & 0xFFFF)), U16(int(v >> 16)); }
    void Text(const std::string &s, size_t size)  // zero-padded, always zero-terminated
    {
        for (size_t i = 0; i < size; i++)
            U8(i + 1 < size && i < s.size() ? s[i] : 0);
    }
    void Magic(const char *m)
    {
        for (int i = 0; i < 4; i++)
            U8(m[i]);
    }
    void Zeros(size_t n) { b.insert(b.end(), n, 0); }
    void Put32(size_t at, uint32_t v)
    {
        for (int i = 0; i < 4; i++)
            b[at + i] = uint8_t(v >> (8 * i));
    }
    size_t Size() const { return b.size(); }
};

const int TRACKER_VERSION = 0x0214;

void Header(Bytes &o, const ItModule &m)
{
    o.Magic("IMPM");
    o.Text(m.title, 26);
    o.U16(0);  // pattern highlight: not stored
    o.U16(int(m.orders.size()) + 1);
    o.U16(int(m.instruments.size()));
    o.U16(int(m.samples.size()));
    o.U16(int(m.patterns.size()));
    o.U16(TRACKER_VERSION);
    o.U16(TRACKER_VERSION);
    o.U16(0x01 | 0x04 | 0x08);  // stereo, instruments, linear slides
    o.U16(0);                   // no message, no MIDI set-up
    o.U8(m.globalVolume);
    o.U8(m.mixVolume);
    o.U8(m.speed);
    o.U8(m.tempo);
    o.U8(128);  // full stereo separation
    o.U8(0);    // pitch wheel depth
    o.U16(0), o.U32(0), o.U32(0);  // message length and offset, reserved
    for (int c = 0; c < 64; c++)
        o.U8(c < int(m.pan.size()) ? m.pan[c] : 32 | 128);  // +128: channel off
    for (int c = 0; c < 64; c++)
        o.U8(c < int(m.volume.size()) ? m.volume[c] : 64);
}

void Envelope(Bytes &o, const std::vector<ItEnvelopePoint> &points, int sustain, int flat)
{
    if (points.empty()) {
        o.U8(0), o.U8(2), o.U8(0), o.U8(0), o.U8(0), o.U8(0);
        o.U8(flat), o.U16(0), o.U8(flat), o.U16(100);
        o.Zeros(23 * 3 + 1);
        return;
    }
    o.U8(1 | (sustain >= 0 ? 4 : 0));
    o.U8(int(points.size()));
    o.U8(0), o.U8(0);
    o.U8(std::max(sustain, 0)), o.U8(std::max(sustain, 0));
    for (const ItEnvelopePoint &p : points)
        o.U8(p.value), o.U16(p.tick);
    o.Zeros((25 - points.size()) * 3 + 1);
}

void Instrument(Bytes &o, const ItInstrument &in)
{
    size_t start = o.Size();
    o.Magic("IMPI");
    o.Zeros(12);  // DOS file name
    o.U8(0);
    o.U8(in.nna);
    o.U8(0), o.U8(0);  // no duplicate check
    o.U16(in.fadeout);
    o.U8(0), o.U8(60);  // no pitch-pan separation, centred on C-5
    o.U8(in.globalVolume);
    o.U8(32 | 128);  // default pan off: the channel's pan holds
    o.U8(0), o.U8(0);  // no random volume or pan
    o.U16(TRACKER_VERSION);
    std::vector<int> used(in.keyboard.begin(), in.keyboard.end());
    std::sort(used.begin(), used.end());
    o.U8(int(std::unique(used.begin(), used.end()) - used.begin())), o.U8(0);
    o.Text(in.name, 26);
    o.U8(0), o.U8(0);  // no filter
    o.U8(0), o.U8(0xFF), o.U16(0xFFFF);  // no MIDI
    for (int note = 0; note < 120; note++)
        o.U8(note), o.U8(in.keyboard[note]);
    Envelope(o, in.envelope, in.sustain, 64);
    Envelope(o, {}, -1, 0);  // panning
    Envelope(o, {}, -1, 0);  // pitch
    o.Zeros(554 - (o.Size() - start));
}

void SampleHeader(Bytes &o, const ItSample &s, uint32_t dataAt)
{
    o.Magic("IMPS");
    o.Zeros(12);
    o.U8(0);
    o.U8(s.globalVolume);
    o.U8(0x01 | 0x02 | (s.loop ? 0x10 : 0));  // data present, 16-bit, loop
    o.U8(s.volume);
    o.Text(s.name, 26);
    o.U8(0x01);  // signed
    o.U8(0);     // no default pan
    o.U32(uint32_t(s.pcm.size()));
    o.U32(s.loop ? s.loopBegin : 0);
    o.U32(s.loop ? s.loopEnd : 0);
    o.U32(s.c5Speed);
    o.U32(0), o.U32(0);  // no sustain loop
    o.U32(dataAt);
    o.U8(s.vibratoSpeed), o.U8(s.vibratoDepth), o.U8(s.vibratoSweep), o.U8(0);
}

// Every cell that holds something is written with its own mask, never
// leaning on the "same as before" bits: larger, but plain to check.
void Pattern(Bytes &o, const ItPattern &p)
{
    Bytes packed;
    for (int row = 0; row < p.rows; row++) {
        for (int c = 0; c < p.channels; c++) {
            const ItCell &cell = p.At(row, c);
            if (cell.Empty())
                continue;
            int mask = (cell.note != NOTE_NONE ? 1 : 0) | (cell.instrument ? 2 : 0) | (cell.volume >= 0 ? 4 : 0) |
                       (cell.effect ? 8 : 0);
            packed.U8((c + 1) | 128);
            packed.U8(mask);
            if (mask & 1)
                packed.U8(cell.note);
            if (mask & 2)
                packed.U8(cell.instrument);
            if (mask & 4)
                packed.U8(cell.volume);
            if (mask & 8)
                packed.U8(cell.effect - 'A' + 1), packed.U8(cell.param);
        }
        packed.U8(0);
    }
    o.U16(int(packed.Size()));
    o.U16(p.rows);
    o.U32(0);
    o.b.insert(o.b.end(), packed.b.begin(), packed.b.end());
}

}  // namespace

std::vector<uint8_t> EncodeIt(const ItModule &m)
{
    Bytes o;
    Header(o, m);
    for (int order : m.orders)
        o.U8(order);
    o.U8(255);
    size_t instrumentTable = o.Size();
    o.Zeros(4 * m.instruments.size());
    size_t sampleTable = o.Size();
    o.Zeros(4 * m.samples.size());
    size_t patternTable = o.Size();
    o.Zeros(4 * m.patterns.size());

    for (size_t i = 0; i < m.instruments.size(); i++) {
        o.Put32(instrumentTable + 4 * i, uint32_t(o.Size()));
        Instrument(o, m.instruments[i]);
    }
    std::vector<size_t> headers;
    for (size_t i = 0; i < m.samples.size(); i++) {
        o.Put32(sampleTable + 4 * i, uint32_t(o.Size()));
        headers.push_back(o.Size());
        SampleHeader(o, m.samples[i], 0);
    }
    for (size_t i = 0; i < m.patterns.size(); i++) {
        o.Put32(patternTable + 4 * i, uint32_t(o.Size()));
        Pattern(o, m.patterns[i]);
    }
    for (size_t i = 0; i < m.samples.size(); i++) {
        o.Put32(headers[i] + 0x48, uint32_t(o.Size()));
        for (int16_t v : m.samples[i].pcm)
            o.U16(uint16_t(v));
    }
    return o.b;
}
