#pragma once
// The open opening book of the program: the current variant's book named in the engine options,
// its comment lines, and the book-move lookup on it.
//
// Threads: OpenBook, Close and SetSettings run on the interface thread; lookups run on the
// interface thread and the engine thread at the same time. The open book is swapped under a lock
// that a lookup holds only to take its own reference, so a lookup in progress finishes on the book
// it started with.

#include "gamedb/book_file.h"
#include "gamedb/book_moves.h"
#include "gamedb/user_prompt.h"

#include <array>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

// The engine options' book file names and "use book" flags, Russian .. Czech.
struct TBookSettings {
    std::array<std::string, 7> book;
    std::array<bool, 7> useBook{true, true, true, true, true, true, true};
    bool operator==(const TBookSettings&) const = default;
};

class TOpeningBook {
  public:
    void SetSettings(const TBookSettings& s);
    TBookSettings Settings() const;

    // Closes the open book; takes the variant's file name and "use book" flag from the settings
    // (whether or not the file exists); opens the file when it exists, with the lines of its
    // comment file when that exists. A missing book leaves it closed without a message; a book
    // that exists but cannot be read is reported through `prompt`.
    void Open(TGameType variant, IUserPrompt& prompt);
    void Close();

    bool IsOpen() const;
    std::string FileName() const; // the current variant's book, open or not
    bool InUse() const;           // the current variant's "use book" flag
    std::vector<std::string> Comments() const;
    std::int64_t RecordCount() const; // 0 when closed

    // The book moves of a position into the caller's own list (see ListBookMoves in book_moves.h).
    void ListBookMoves(const TBoard& board, int side, TGameType variant, const std::string& takeSeparator,
                       TBookMoveList& out) const;

  private:
    struct TOpen {
        std::unique_ptr<TBookFile> file;
        std::vector<std::string> comments;
    };
    std::shared_ptr<const TOpen> Current() const;

    mutable std::mutex m_mutex;
    TBookSettings m_settings;
    std::string m_fileName;
    bool m_inUse = false;
    std::shared_ptr<const TOpen> m_open;
};

// The program's book.
TOpeningBook& OpeningBook();
// Opens the current variant's book in OpeningBook(), reporting a book that cannot be read to `prompt`.
void OpenBook(IUserPrompt& prompt);
