// CHB files: every whole record after record 0 read and converted as the import does, each from a
// buffer of exactly one record so that a read past it is caught; the game that comes out must be one
// the store accepts and reads back. Small inputs also run through the whole import, file and
// database included. The first bytes go through the code-page detection and conversion.
#include "gamedb/chb_import.h"
#include "gamedb/dos_cyrillic.h"
#include "gamedb/game_block.h"

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include <unistd.h>

namespace {

void CheckStorable(TGame& g) {
    if (!CheckGameForStore(g)) std::abort();
    TMoveBytes mb;
    EncodeGameMoves(g, mb);
    static auto back = std::make_unique<TGame>();
    back->header = g.header;
    if (DecodeGameMoves(mb, *back) != TDecodeResult::Ok || back->header.nodeCount != g.header.nodeCount)
        std::abort();
}

const std::filesystem::path& WorkDir() {
    static const std::filesystem::path dir = [] {
        // In memory where the system has it: every import saves its names and log with a sync.
        const std::filesystem::path shm = "/dev/shm";
        const auto base = std::filesystem::is_directory(shm) ? shm : std::filesystem::temp_directory_path();
        auto d = base / ("vq_chb_fuzz_" + std::to_string(::getpid()));
        std::filesystem::create_directories(d);
        std::atexit([] { std::filesystem::remove_all(WorkDir()); });
        return d;
    }();
    return dir;
}

void ImportWholeFile(const std::uint8_t* data, std::size_t size) {
    static TGameDatabase db;
    static int imports = 0;
    const std::string chb = (WorkDir() / "in.chb").string();
    {
        std::ofstream out(chb, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    }
    // A fresh database now and then, so a long run does not fill the disk.
    if (imports++ % 256 == 0 && !CreateDatabase((WorkDir() / "out.vqb").string(), db)) std::abort();
    const std::int32_t before = IndexRecordCount(db);
    const TChbImportResult r = ImportChbDatabase(chb, db, gtRussian);
    if (r.status != TChbImportStatus::Done ||
        r.records != std::int64_t(size / ChbRecordSize) - (size >= ChbRecordSize) ||
        IndexRecordCount(db) != before + r.stored)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string text(reinterpret_cast<const char*>(data), std::min<std::size_t>(size, 300));
    IsDosCyrillic(text);
    DosToWinCyrillic(text);

    static auto game = std::make_unique<TGame>();
    for (std::size_t at = ChbRecordSize; at + ChbRecordSize <= size; at += ChbRecordSize) {
        auto bytes = std::make_unique<std::uint8_t[]>(ChbRecordSize);
        std::copy(data + at, data + at + ChbRecordSize, bytes.get());
        TChbRecord r;
        DecodeChbRecord(std::span<const std::uint8_t, ChbRecordSize>(bytes.get(), ChbRecordSize), r);
        for (TGameType v : {gtRussian, gtEnglish, gtItalian}) {
            TChbFaults faults;
            if (!ConvertChbGame(r, v, *game, faults)) std::abort();
            CheckStorable(*game);
            if (game->header.nodeCount > ChbMaxPlies || game->header.result > 5) std::abort();
        }
    }
    if (size <= 8 * ChbRecordSize) ImportWholeFile(data, size);
    return 0;
}
