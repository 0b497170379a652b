#include "commands.h"

#include "registry.h"

#include <cctype>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <string_view>
#include <vector>

namespace marrak::inline MARRAK_RULES_NS {

const char* const engine_name = italian_rules ? "Marrak Italian" : "Marrak";
const char* const engine_version = "1.15v";

namespace {

constexpr const char* build_date = "March 14, 2006";
constexpr const char* contact = "marrak@fenwold.example";
// The longest word a command may carry, and the longest book file name.
constexpr std::size_t max_word = 79;
constexpr std::size_t max_book_file = 87;

bool is_blank(char c) {
    return std::isspace(static_cast<unsigned char>(c)) != 0;
}

// The words of a command, split at white space.
std::vector<std::string_view> split_words(std::string_view command) {
    std::vector<std::string_view> words;
    std::size_t at = 0;
    while (at < command.size()) {
        while (at < command.size() && is_blank(command[at]))
            ++at;
        const std::size_t start = at;
        while (at < command.size() && !is_blank(command[at]))
            ++at;
        if (at > start) words.push_back(command.substr(start, at - start));
    }
    return words;
}

// Writes a reply, cut to the caller's buffer.
void reply_printf(char* reply, const char* format, ...) __attribute__((format(printf, 2, 3)));
void reply_printf(char* reply, const char* format, ...) {
    if (!reply) return;
    va_list args;
    va_start(args, format);
    std::vsnprintf(reply, ENGINE_STATUS_TEXT_SIZE, format, args);
    va_end(args);
}

// A word as echoed in a reply: at most the length a word may have.
std::string echo(std::string_view word) {
    return std::string(word.substr(0, max_word));
}

const char* help_file_name() {
    return italian_rules ? "MarrakItalianHelp.htm" : "MarrakHelp.htm";
}

int square_bit(int n) {
    return italian_rules ? (n - 1) ^ 3 : n - 1;
}

// The numeric "set" parameters: where the value lives and what a change does.
int run_set(engine_context& ctx, const std::vector<std::string_view>& words, char* reply) {
    const std::string_view name = words.size() > 1 ? words[1] : std::string_view{};
    const std::string value_word = words.size() > 2 ? std::string(words[2]) : std::string();
    engine_settings& s = ctx.settings();
    const registry_store& reg = ctx.registry();
    const auto refuse = [&] {
        reply_printf(reply, "Unrecognized set command '%s', ignored", echo(name).c_str());
        return 1;
    };
    if (name == "protocolversion") {
        reply_printf(reply, "protocolversion set");
        return 1;
    }
    const std::size_t limit = name == "bookfile" ? max_book_file : max_word;
    if (name.size() > max_word || value_word.size() > limit) return refuse();

    if (name == "dbpath" || name == "mtcpath" || name == "bookfile") {
        if (value_word.empty()) return refuse();
        if (name == "dbpath") {
            if (value_word != s.db_path) {
                s.db_path = value_word;
                reg.write_string("DBPath", s.db_path);
                close_endgame_db(ctx.db());
                identify_endgame_db(ctx);
            }
            reply_printf(reply, "dbpath set to %s", s.db_path.c_str());
        } else if (name == "mtcpath") {
            if (value_word != s.mtc_path) {
                s.mtc_path = value_word;
                reg.write_string("MtcPath", s.mtc_path);
                reopen_mtc_db(ctx);
            }
            reply_printf(reply, "mtcpath set to %s", s.mtc_path.c_str());
        } else if (load_book_file(ctx.book(), ctx.resolve_path(value_word))) {
            s.book_file = value_word;
            reply_printf(reply, "bookfile set to %s", s.book_file.c_str());
        } else {
            reply_printf(reply, "Cannot load %s", value_word.c_str());
        }
        return 1;
    }

    const bool known = name == "hashsize" || name == "p1" || name == "p2" || name == "book" ||
                       name == "allscores" || name == "dbpieces" || name == "dbmbytes" || name == "cl";
    int n = 0;
    if (!known || !parse_int(value_word, n)) return refuse();

    if (name == "hashsize") {
        if (n == 0) {
            reply_printf(reply, "hashsize not changed, 0 rejected");
            return 1;
        }
        if (n != ctx.hash().requested_megabytes()) {
            s.hash_megabytes = n;
            ctx.hash().alloc(n, [&ctx](const char* text) { ctx.log(text); });
            reg.write_dword("HashSize", n);
        }
        reply_printf(reply, "hashsize set to %dmb", n);
    } else if (name == "p1" || name == "p2") {
        (name == "p1" ? s.p1 : s.p2) = n;
        reply_printf(reply, "%s set to %d", name == "p1" ? "p1" : "p2", n);
    } else if (name == "book") {
        if (n != s.book) {
            s.book = n;
            reg.write_dword("UseBook", n);
        }
        reply_printf(reply, "opening book set to %s", book_kind_name(n));
    } else if (name == "allscores") {
        if (n != s.allscores) {
            s.allscores = n;
            reg.write_dword("AllScores", n);
        }
        reply_printf(reply, "allscores set to %d", n);
    } else if (name == "dbpieces") {
        if (n != s.db_pieces) {
            s.db_pieces = n;
            close_endgame_db(ctx.db());
            identify_endgame_db(ctx);
        }
        reply_printf(reply, "dbpieces set to %d", n);
    } else if (name == "dbmbytes") {
        if (n == 0) {
            reply_printf(reply, "dbmbytes not changed, 0 rejected");
            return 1;
        }
        if (n != s.db_megabytes) {
            s.db_megabytes = n;
            reg.write_dword("DBMbytes", n);
            close_endgame_db(ctx.db());
            identify_endgame_db(ctx);
        }
        reply_printf(reply, "dbmbytes set to %d", n);
    } else { // cl
        s.cl = n;
        reply_printf(reply, "cl set to %d", n);
    }
    return 1;
}

void run_get(engine_context& ctx, const std::vector<std::string_view>& words, char* reply) {
    const std::string_view name = words.size() > 1 ? words[1] : std::string_view{};
    const engine_settings& s = ctx.settings();
    const auto number = [reply](int n) { reply_printf(reply, "%d", n); };
    const auto text = [reply](const std::string& t) { reply_printf(reply, "%s", t.c_str()); };
    if (name == "hashsize")
        number(ctx.hash().megabytes());
    else if (name == "book")
        number(s.book);
    else if (name == "gametype")
        number(italian_rules ? 22 : 21);
    else if (name == "protocolversion")
        number(2);
    else if (name == "allscores")
        number(s.allscores);
    else if (name == "dbmbytes")
        number(s.db_megabytes);
    else if (name == "cl")
        number(s.cl);
    else if (name == "dbpieces")
        number(ctx.db().usable_pieces);
    else if (name == "dbpath")
        text(s.db_path);
    else if (name == "mtcpath")
        text(s.mtc_path);
    else if (name == "bookfile")
        text(s.book_file);
    else
        reply_printf(reply, "Unrecognized get command '%s', ignored", echo(name).c_str());
}

} // namespace

const char* book_kind_name(int kind) {
    switch (kind) {
    case 0:
        return "off";
    case 1:
        return "all-kinds";
    case 2:
        return "good";
    case 3:
        return "best";
    default:
        return "unknown";
    }
}

std::string format_about_text(engine_context& ctx) {
    char line[512];
    std::string out;
    std::snprintf(line, sizeof line, "%s %s -- %s\nby Fenwold <%s>\n\n", engine_name, engine_version,
                  build_date, contact);
    out += line;
    const endgame_db& db = ctx.db();
    if (db.usable_pieces > 0)
        std::snprintf(line, sizeof line,
                      "Using the %s %d-piece endgame database and %dmb for database buffers.\n",
                      db.kind_name.c_str(), db.usable_pieces, ctx.settings().db_megabytes);
    else
        std::snprintf(line, sizeof line, "Not using an endgame database.\n");
    out += line;
    const opening_book& book = ctx.book();
    if (book.loaded)
        std::snprintf(line, sizeof line, "Opening book database version %s with %d positions\n",
                      book.version.c_str(), book.positions);
    else
        std::snprintf(line, sizeof line, "Not using an opening book database\n");
    out += line;
    std::snprintf(line, sizeof line, "Using %dmb for hashtable.\n", ctx.hash().megabytes());
    out += line;
    if (db.mtc) out += "Using the mtc database\n";
    return out;
}

engine_position parse_fen_position(const char* text, int& side) {
    engine_position p{{0, 0}, 0};
    side = 1;
    if (!text || !*text) return p;
    side = text[0] == 'B' ? 0 : 1;
    const std::size_t length = std::strlen(text);
    std::size_t i = text[1] == ':' ? 2 : 1;
    int colour = -1; // index into pieces: 1 colour 1, 0 colour 2
    bool king = false;
    while (i < length) {
        const char c = text[i];
        if (c == 'W') {
            colour = 1;
            ++i;
        } else if (c == 'B') {
            colour = 0;
            ++i;
        } else if (c == 'K') {
            king = true;
            ++i;
        } else if (c >= '0' && c <= '9') {
            const std::size_t start = i;
            int n = 0;
            while (i < length && text[i] >= '0' && text[i] <= '9') {
                if (i - start < 3) n = n * 10 + (text[i] - '0');
                ++i;
            }
            if (i - start <= 2 && n >= 1 && n <= 32 && colour >= 0) {
                const std::uint32_t mask = 1u << square_bit(n);
                p.pieces[colour] |= mask;
                p.pieces[1 - colour] &= ~mask;
                p.kings = king ? p.kings | mask : p.kings & ~mask;
            }
            king = false;
            if (i < length && (text[i] == ',' || text[i] == ':' || text[i] == '.')) ++i;
        } else {
            ++i;
        }
    }
    return p;
}

int run_engine_command(engine_context& ctx, const char* command, char* reply) {
    ctx.init();
    std::lock_guard lock(ctx.engine_mutex());
    const std::vector<std::string_view> words =
        split_words(command ? std::string_view(command) : std::string_view{});
    const std::string_view first = words.empty() ? std::string_view{} : words[0];
    if (first == "set") return run_set(ctx, words, reply);
    if (first == "get") {
        run_get(ctx, words, reply);
    } else if (first == "name") {
        reply_printf(reply, "%s %s by Fenwold", engine_name, engine_version);
    } else if (first == "about") {
        reply_printf(reply, "%s", format_about_text(ctx).c_str());
    } else if (first == "help") {
        reply_printf(reply, "%s", help_file_name());
    } else if (first == "protocolversion") {
        reply_printf(reply, "%d", 2);
    } else if (first == "staticevaluation") {
        int side = 0;
        if (words.size() > 1) (void)parse_fen_position(std::string(words[1]).c_str(), side);
        reply_printf(reply, "This engine does not use static evaluation\n");
    } else {
        reply_printf(reply, "Unrecognized command '%s', ignored", echo(first).c_str());
        return 0;
    }
    return 1;
}

} // namespace marrak::inline MARRAK_RULES_NS
