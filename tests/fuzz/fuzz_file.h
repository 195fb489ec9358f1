// A private file for a fuzz target's input, for the loaders that read files:
// in a folder of its own (mkdtemp) that goes when the program exits.
#pragma once

#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

inline std::string FuzzFolder()
{
    static std::string folder;
    if (folder.empty()) {
        std::filesystem::path base = std::filesystem::exists("/dev/shm") ? "/dev/shm" : std::filesystem::temp_directory_path();
        folder = (base / "kv-fuzz-XXXXXX").string();
        if (!mkdtemp(folder.data()))
            abort();
        atexit([] { std::filesystem::remove_all(folder); });
    }
    return folder;
}

// Writes the input whole into the named file of the private folder.
inline std::string WriteInput(const char *name, const uint8_t *data, size_t size)
{
    const std::string path = FuzzFolder() + "/" + name;
    FILE *f = fopen(path.c_str(), "wb");
    if (!f || (size && fwrite(data, 1, size, f) != size))
        abort();
    fclose(f);
    return path;
}
