// The game's records as start-up left them, kept once and put back before
// every input, so that each input plays from the same state and a finding
// replays alone.
#pragma once

#include <cstring>
#include <vector>

struct KeptRecord {
    void *at;
    std::vector<unsigned char> bytes;
};

inline std::vector<KeptRecord> &KeptRecords()
{
    static std::vector<KeptRecord> kept;
    return kept;
}

template <class T> void KeepRecord(T &record)
{
    const unsigned char *p = reinterpret_cast<const unsigned char *>(&record);
    KeptRecords().push_back({&record, std::vector<unsigned char>(p, p + sizeof record)});
}

inline void RestoreRecords()
{
    for (KeptRecord &k : KeptRecords())
        memcpy(k.at, k.bytes.data(), k.bytes.size());
}
