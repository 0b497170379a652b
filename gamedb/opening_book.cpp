#include "gamedb/opening_book.h"

#include "gamedb/book_comments.h"
#include "gamedb/user_prompt.h"
#include "platform/file_io.h"
#include "rules/variant_state.h"

namespace {

// A comment file is a few lines of text; a larger one is taken for a wrong file and not read.
constexpr std::size_t MaxCommentFileBytes = 16 << 20;

std::vector<std::string> LoadComments(const std::string& path) {
    std::string text;
    if (!RegularFileExists(path) || !ReadWholeFile(path, text, MaxCommentFileBytes)) return {};
    return ParseBookComments(text);
}

} // namespace

void TOpeningBook::SetSettings(const TBookSettings& s) {
    std::lock_guard lock(m_mutex);
    m_settings = s;
}

TBookSettings TOpeningBook::Settings() const {
    std::lock_guard lock(m_mutex);
    return m_settings;
}

void TOpeningBook::Open(TGameType variant, IUserPrompt& prompt) {
    Close();
    std::string name;
    bool inUse = false;
    {
        std::lock_guard lock(m_mutex);
        if (IsValidVariant(variant)) {
            name = m_settings.book[variant - 1];
            inUse = m_settings.useBook[variant - 1];
        }
        m_fileName = name;
        m_inUse = inUse;
    }
    if (name.empty() || !RegularFileExists(name)) return;
    auto open = std::make_shared<TOpen>();
    std::string error;
    open->file = TBookFile::Open(name, &error);
    if (!open->file) {
        prompt.ShowMessage("Cannot open the opening book " + name + ": " + error);
        return;
    }
    open->comments = LoadComments(BookCommentFileName(name));
    std::lock_guard lock(m_mutex);
    m_open = std::move(open);
}

void TOpeningBook::Close() {
    std::shared_ptr<const TOpen> old;
    std::lock_guard lock(m_mutex);
    old.swap(m_open); // a lookup still running keeps its own reference
}

std::shared_ptr<const TOpeningBook::TOpen> TOpeningBook::Current() const {
    std::lock_guard lock(m_mutex);
    return m_open;
}

bool TOpeningBook::IsOpen() const {
    return Current() != nullptr;
}

std::string TOpeningBook::FileName() const {
    std::lock_guard lock(m_mutex);
    return m_fileName;
}

bool TOpeningBook::InUse() const {
    std::lock_guard lock(m_mutex);
    return m_inUse;
}

std::vector<std::string> TOpeningBook::Comments() const {
    const auto open = Current();
    return open ? open->comments : std::vector<std::string>{};
}

std::int64_t TOpeningBook::RecordCount() const {
    const auto open = Current();
    return open ? open->file->RecordCount() : 0;
}

void TOpeningBook::ListBookMoves(const TBoard& board, int side, TGameType variant,
                                 const std::string& takeSeparator, TBookMoveList& out) const {
    const auto open = Current();
    static const std::vector<std::string> none;
    ::ListBookMoves(open ? open->file.get() : nullptr, open ? open->comments : none, board, side, variant,
                    takeSeparator, out);
}

TOpeningBook& OpeningBook() {
    static TOpeningBook book;
    return book;
}

void OpenBook(IUserPrompt& prompt) {
    OpeningBook().Open(CurrentVariant.load(), prompt);
}
