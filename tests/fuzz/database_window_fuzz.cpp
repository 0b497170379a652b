// A database of any bytes under the database window's readers: the input is cut into the index, name
// and move files ([u16 index length][u16 name length][index][names][moves], lengths little-endian),
// which are opened as the window opens them. The list is reset and its pages read at the top, the
// middle and the end; the check reads every game; the first games are marked deleted and the database
// is cleaned up. A page always has the lines asked for, and after a clean-up no listed record is
// marked deleted and the count is the index file's.
#include "gamedb/database_commands.h"
#include "gamedb/database_session.h"
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

void ReadPages(const TDatabaseSession& session, std::int32_t lines) {
    const std::int32_t count = session.GameListCount();
    for (std::int32_t offset : {0, count / 2, count - lines, count + 3}) {
        if (offset < 0) offset = 0;
        if (static_cast<std::int32_t>(
                ReadListPage(session.GameDatabase, session.GameList, offset, lines).size()) != lines)
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

    TDatabaseSession session;
    OpenDatabase(base + ".vqb", session.GameDatabase);
    if (!session.GameDatabase.open) return 0;
    ResetGameList(session.GameList, session.GameDatabase);
    if (session.GameListCount() != session.GameDatabase.gameCount) std::abort();
    ReadPages(session, 7);
    CheckDatabase(session.GameDatabase);

    // Mark the first games (a stale list entry past the file among them) and clean up.
    for (std::int32_t p = 1; p <= std::min(session.GameListCount(), 3); ++p)
        session.GameList[p].selected = 1;
    session.GameList.Append(session.GameDatabase.gameCount + 5);
    session.GameList[session.GameListCount()].selected = 1;
    DeleteListedGames(session.GameDatabase, session.GameList, 1);
    ReadPages(session, 5);
    const TCleanUpResult r = CleanUpDatabase(session.GameDatabase);
    if (session.GameDatabase.open && r.status == TDbStatus::Ok) {
        if (session.GameDatabase.gameCount != IndexRecordCount(session.GameDatabase)) std::abort();
        ResetGameList(session.GameList, session.GameDatabase);
        for (std::int32_t p = 1; p <= session.GameListCount(); ++p) {
            TGameIndexRecord record;
            if (ReadListedRecord(session.GameDatabase, session.GameList, p, record) == TDbStatus::Ok &&
                (record.flags & 128))
                std::abort();
        }
        ReadPages(session, 4);
    }
    return 0;
}
