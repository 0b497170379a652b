#pragma once
// Building an opening book: every position after a move of the given games, merged with the
// records already in the book file, sorted by (key, side), one record per pair.
//
// Threads: a TBookBuilder belongs to one thread. BuildBookFile runs on the interface thread.

#include "gamedb/book_record.h"
#include "gamedb/game_database.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

class TBookBuilder {
  public:
    // Room for `positions` more positions without growing.
    void Reserve(std::size_t positions);
    // The records of an existing book, `count` records of 32 bytes in file order (sorted or not;
    // equal pairs are merged like the others).
    void AddFileRecords(const std::uint8_t* bytes, std::size_t count);
    // Adds every position after a move of `g`, in the main line and in every variation, made in g's
    // own variant from its start position with the side its header names. Main-line positions
    // count the game's result (1-0, draw, 0-1; a game without a result or lost on time counts
    // nothing); the book mark comes from the move mark. A game whose variant or start key is not
    // valid adds nothing.
    void AddGameToBook(const TGame& g);
    // Positions added so far (file records not included).
    std::size_t PositionCount() const { return m_entries.size(); }

    // Sorts and merges everything added: counters summed (stopping at 65,535), the larger mark and
    // comment number kept (a stored mark above 7 counts as 0), the other bytes of the earliest
    // record of each pair (the file's, when it has one). Hands the records to `sink` in order, in
    // chunks of whole records; stops when the sink returns false. Returns the number of records, or
    // -1 when the sink failed. The builder is empty afterwards.
    std::int64_t Finish(const std::function<bool(const std::uint8_t* data, std::size_t n)>& sink);
    // Finish into one buffer.
    std::vector<std::uint8_t> Finish();

    // A position packed into two words that sort as (key, side) do, with the result and the mark
    // in the low bits. Key bytes are below 128 for every board, so 7 bits a byte keep the order.
    struct TEntry {
        std::uint64_t hi = 0, lo = 0;
    };

  private:
    std::vector<TBookRecord> m_file;
    std::vector<TEntry> m_entries;
    // Scratch of the tree walk, kept between games.
    std::vector<std::uint16_t> m_first, m_next;
    struct TStep {
        int node;
        bool counting;
        int side;
        TBoard board;
    };
    std::vector<TStep> m_stack;
};

// Called every 100th game with the number of games read so far.
using TBookProgress = std::function<void(int gamesRead)>;

struct TBookBuildReport {
    bool ok = false;
    std::int64_t records = 0;   // records written
    std::int64_t positions = 0; // positions added from the games
    int skippedGames = 0;       // games the database could not give (damaged, unreadable)
    std::string error;          // what failed, with the system's reason
};

// Adds the games `games` (numbers in `db`, in this order) to the book `fileName`: reads the book
// when it exists (a missing file starts empty; any other failure to read it stops the build
// before anything is written), reads each game into a scratch record (a game the database reports
// damaged is skipped and counted), and replaces the file with the sorted, merged records through
// a temporary file, so on any error the old book is left as it was.
TBookBuildReport BuildBook(const std::string& fileName, const TGameDatabase& db,
                           const std::vector<std::int32_t>& games, const TBookProgress& progress);

// The "Build tree" command: closes the program's book, BuildBook, shows "Total " and the number of
// records (or the error) through `prompt`, and reopens the current variant's book (a book that
// cannot be read is reported there too).
TBookBuildReport BuildBookFile(const std::string& fileName, const TGameDatabase& db,
                               const std::vector<std::int32_t>& games, const TBookProgress& progress,
                               IUserPrompt& prompt);
