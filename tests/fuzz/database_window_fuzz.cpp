// A database of any bytes under the database window's readers: the input is cut into the index, name
// and move files ([u16 index length][u16 name length][index][names][moves], lengths little-endian),
// which are opened as the window opens them. The list is reset and its pages read at the top, the
// middle and the end; the check reads every game; the first games are marked deleted and the database
// is cleaned up. A page always has the lines asked for, and after a clean-up no listed record is
// marked deleted and the count is the index file's.
#include "gamedb/database_commands.h"
#include "gamedb/game_database.h"
#include "gamedb/game_list.h"
#include "gamedb/game_list_page.h"

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include <unistd.h>

namespace {

const std::filesystem::path& WorkDir() {
    static const std::filesystem::path dir = [] {
        const std::filesystem::path shm = "/dev/shm";
        const auto base = std::filesystem::is_directory(shm) ? shm : std::filesystem::temp_directory_path();
        auto d = base / ("vq_dbwin_fuzz_" + std::to_string(::getpid()));
        std::filesystem::create_directories(d);
        std::atexit([] { std::filesystem::remove_all(WorkDir()); });
        return d;
    }();
    return dir;
}

void WriteFile(const std::string& name, const std::uint8_t* data, std::size_t size) {
    std::ofstream out(name, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
}

void ReadPages(std::int32_t lines) {
    const std::int32_t count = GameListCount();
    for (std::int32_t offset : {0, count / 2, count - lines, count + 3}) {
        if (offset < 0) offset = 0;
        if (static_cast<std::int32_t>(ReadListPage(GameDatabase, GameList, offset, lines).size()) != lines)
            std::abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 4) return 0;
    std::size_t indexSize = data[0] | std::size_t(data[1]) << 8;
    std::size_t namesSize = data[2] | std::size_t(data[3]) << 8;
    data += 4;
    size -= 4;
    indexSize = std::min(indexSize, size);
    namesSize = std::min(namesSize, size - indexSize);
    const std::string base = (WorkDir() / "db").string();
    WriteFile(base + ".vqb", data, indexSize);
    WriteFile(base + ".vqn", data + indexSize, namesSize);
    WriteFile(base + ".vqm", data + indexSize + namesSize, size - indexSize - namesSize);

    OpenDatabase(base + ".vqb", GameDatabase);
    if (!GameDatabase.open) return 0;
    ResetGameList();
    if (GameListCount() != GameDatabase.gameCount) std::abort();
    ReadPages(7);
    CheckDatabase(GameDatabase);

    // Mark the first games (a stale list entry past the file among them) and clean up.
    for (std::int32_t p = 1; p <= std::min(GameListCount(), 3); ++p)
        GameList[p].selected = 1;
    GameList.Append(GameDatabase.gameCount + 5);
    GameList[GameListCount()].selected = 1;
    DeleteListedGames(GameDatabase, GameList, 1);
    ReadPages(5);
    const TCleanUpResult r = CleanUpDatabase(GameDatabase);
    if (GameDatabase.open && r.status == TDbStatus::Ok) {
        if (GameDatabase.gameCount != IndexRecordCount(GameDatabase)) std::abort();
        ResetGameList();
        for (std::int32_t p = 1; p <= GameListCount(); ++p) {
            TGameIndexRecord record;
            if (ReadListedRecord(p, record) == TDbStatus::Ok && (record.flags & 128)) std::abort();
        }
        ReadPages(4);
    }
    if (GameDatabase.open) CloseDatabase(GameDatabase);
    GameList.Clear();
    GameDatabase.currentGame = 0;
    return 0;
}
