#include "platform/serial_port_list.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <system_error>

namespace {

constexpr const char* Families[] = {"ttyS", "ttyUSB", "ttyACM"};

// The family index and the unit number of a port name; false for any other name.
bool ParsePortName(const std::string& name, int& family, unsigned long& unit) {
    for (int f = 0; f < 3; ++f) {
        const std::string prefix = Families[f];
        if (name.size() <= prefix.size() || name.compare(0, prefix.size(), prefix) != 0) continue;
        const std::string digits = name.substr(prefix.size());
        if (digits.size() > 6 ||
            !std::all_of(digits.begin(), digits.end(), [](unsigned char c) { return std::isdigit(c) != 0; }))
            return false;
        family = f;
        unit = std::stoul(digits);
        return true;
    }
    return false;
}

// A ttyS entry names a UART only when the kernel gives it a type other than 0.
bool HasUart(const std::filesystem::path& sysRoot, const std::string& name) {
    std::ifstream in(sysRoot / "class" / "tty" / name / "type");
    int type = -1;
    if (!(in >> type)) return true; // nothing to tell: keep the port
    return type != 0;
}

} // namespace

std::vector<std::string> ListSerialPorts(const std::string& devRoot, const std::string& sysRoot) {
    struct TEntry {
        int family;
        unsigned long unit;
        std::string path;
    };
    std::vector<TEntry> found;
    std::error_code ec;
    for (std::filesystem::directory_iterator it(devRoot, ec), end; !ec && it != end; it.increment(ec)) {
        const std::string name = it->path().filename().string();
        int family = 0;
        unsigned long unit = 0;
        if (!ParsePortName(name, family, unit)) continue;
        if (family == 0 && !HasUart(sysRoot, name)) continue;
        found.push_back({family, unit, it->path().string()});
    }
    std::sort(found.begin(), found.end(), [](const TEntry& a, const TEntry& b) {
        return a.family != b.family ? a.family < b.family : a.unit < b.unit;
    });
    std::vector<std::string> paths;
    for (const TEntry& e : found)
        paths.push_back(e.path);
    return paths;
}
