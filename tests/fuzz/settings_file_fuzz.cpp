// The settings file ("tavrix.ini"): sections, keys and values, and every setting read from them.
#include "app/core/ini_file.h"
#include "app/core/settings.h"

#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    TIniFile ini;
    ini.Parse(std::string(reinterpret_cast<const char*>(data), size));
    // What is written reads back as the same file.
    const std::string written = ini.Serialize();
    TIniFile again;
    again.Parse(written);
    if (again.Serialize() != written) std::abort();

    TShellSettings defaults;
    defaults.gameFont = {"Sans", 1, 10};
    defaults.databaseFont = {"Serif", 0, 9};
    TShellSettings read = DefaultShellSettings("/run/", defaults);
    ReadShellSettings(ini, read);
    // Every value read is one the program can write and read back unchanged.
    TIniFile out;
    WriteShellSettings(out, read);
    TShellSettings back = DefaultShellSettings("/run/", defaults);
    ReadShellSettings(out, back);
    if (!(back == read)) std::abort();
    return 0;
}
