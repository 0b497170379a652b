#include "reference_solver.h"

#include <algorithm>
#include <atomic>
#include <mutex>
#include <thread>

namespace reference_solve {

namespace {
constexpr std::uint32_t chunk_entries = 1u << 16; // a multiple of 64: chunks own whole bitmap words

void set_bit(std::vector<std::uint64_t>& bits, std::uint32_t i) {
    std::atomic_ref<std::uint64_t> word(bits[i >> 6]);
    const std::uint64_t bit = std::uint64_t{1} << (i & 63);
    if (!(word.load(std::memory_order_relaxed) & bit)) word.fetch_or(bit, std::memory_order_relaxed);
}
} // namespace

// One thread's share of a pass: its own board, counters and move buffer.
struct worker {
    class_solver& s;
    std::mutex& report_lock;
    gen::board b;
    std::uint64_t resolved = 0;
    std::uint64_t faults = 0;
    bool changed = false;

    int rev(int k) const { return s.m_sides == 1 ? 0 : 1 - k; }

    void run(int pass, bool verifying, std::atomic<std::uint32_t>& next_chunk) {
        const std::uint32_t chunks0 = (s.m_size[0] + chunk_entries - 1) / chunk_entries;
        const std::uint32_t chunks1 = s.m_sides == 2 ? (s.m_size[1] + chunk_entries - 1) / chunk_entries : 0;
        for (;;) {
            std::uint32_t c = next_chunk.fetch_add(1, std::memory_order_relaxed);
            if (c >= chunks0 + chunks1) return;
            const int k = c < chunks0 ? 0 : 1;
            if (k == 1) c -= chunks0;
            const std::uint32_t lo = c * chunk_entries;
            const std::uint32_t hi = std::min(s.m_size[k], lo + chunk_entries);
            if (verifying)
                verify_range(k, lo, hi);
            else if (pass == 1)
                solve_range(k, lo, hi);
            else
                propagate_range(k, lo, hi);
        }
    }

    void solve_range(int k, std::uint32_t lo, std::uint32_t hi) {
        const edb::table& t = *s.m_tab[k];
        for (std::uint32_t i = lo; i < hi; i += 4) {
            const std::uint8_t byte = t[i >> 2];
            if (!(byte & (byte >> 1) & 0x55)) continue;
            for (std::uint32_t j = i; j < std::min(hi, i + 4); ++j)
                if (edb::load_entry(t, j) == edb::unknown && idx::decode_position(s.m_cls[k], j, b))
                    first_look(k, j);
        }
    }

    // White's result after the move just made (Black to move, read in the reversed class), or
    // `unknown` for a quiet move into a table being generated: those are counted, not read.
    int successor(const gen::gen_move& m, int k) {
        if (b.count(1) == 0) return edb::win;
        const bool quiet = m.captures == 0 && !m.promotion;
        if (quiet && s.m_open[rev(k)]) return edb::unknown;
        const edb::table* t = quiet ? s.m_tab[rev(k)] : s.m_tables.get(idx::board_material(b).mirror());
        if (!t) return edb::win;
        const int v = edb::load_entry(*t, idx::mirrored_position_index(b));
        return v == edb::loss ? edb::win : v == edb::win ? edb::loss : v;
    }

    // The first pass: only this thread writes entry i and its count, and no entry it reads
    // changes during the pass.
    void first_look(int k, std::uint32_t i) {
        auto& buf = b.buffer();
        const std::size_t base = buf.size();
        b.gen_white_captures();
        if (buf.size() == base) b.gen_white_moves();
        int result = edb::loss;
        int open = 0;
        for (std::size_t j = base; j < buf.size(); ++j) {
            const gen::gen_move m = buf[j];
            b.make_white_move(m);
            const int v = successor(m, k);
            b.unmake_white_move(m);
            if (v == edb::win) {
                result = edb::win;
                break;
            }
            if (v == edb::unknown)
                ++open;
            else if (v == edb::draw)
                result = edb::draw;
        }
        buf.resize(base);
        if (result != edb::win && open > 0) {
            s.m_pending[k][i] = static_cast<std::uint8_t>(open | (result == edb::draw ? 0x80 : 0));
            return;
        }
        settle(k, i, result);
    }

    void settle(int k, std::uint32_t i, int result) {
        if (!edb::resolve_entry(*s.m_tab[k], i, result)) return;
        ++resolved;
        changed = true;
        set_bit(s.m_next[k], i);
    }

    void propagate_range(int k, std::uint32_t lo, std::uint32_t hi) {
        auto& bits = s.m_front[k];
        for (std::uint32_t w = lo >> 6; w < (hi + 63) >> 6; ++w) {
            std::uint64_t word = bits[w];
            if (!word) continue;
            bits[w] = 0;
            while (word) {
                const std::uint32_t i = w * 64 + static_cast<std::uint32_t>(__builtin_ctzll(word));
                word &= word - 1;
                if (idx::decode_position(s.m_cls[k], i, b))
                    mark_predecessors(k, edb::load_entry(*s.m_tab[k], i));
            }
        }
    }

    // The board (White to move, table k) has just been settled as `v`: every quiet Black move
    // into it, from a position still open, either wins for Black or closes one of its moves.
    void mark_predecessors(int k, int v) {
        const int r = rev(k);
        if (!s.m_open[r]) return;
        auto& buf = b.buffer();
        const std::size_t base = buf.size();
        b.gen_black_retro_moves();
        edb::table& t = *s.m_tab[r];
        for (std::size_t j = base; j < buf.size(); ++j) {
            const gen::gen_move m = buf[j];
            b.make_black_move(m);
            const std::uint32_t q = idx::mirrored_position_index(b);
            b.unmake_black_move(m);
            // An open position has no capture, so this move was counted in its first look.
            if (edb::load_entry(t, q) != edb::unknown) continue;
            if (v == edb::loss) {
                settle(r, q, edb::win);
                continue;
            }
            std::atomic_ref<std::uint8_t> cell(s.m_pending[r][q]);
            std::uint8_t old = cell.load(std::memory_order_relaxed), next;
            do {
                next = static_cast<std::uint8_t>(((old & 0x7F) - 1) | (old & 0x80) |
                                                 (v == edb::draw ? 0x80 : 0));
            } while (!cell.compare_exchange_weak(old, next, std::memory_order_relaxed));
            if ((next & 0x7F) == 0) settle(r, q, (next & 0x80) ? edb::draw : edb::loss);
        }
        buf.resize(base);
    }

    // ---- verification

    static int value_of(int entry) {
        return entry == edb::win ? 5000 : entry == edb::loss ? -5000 : entry == edb::unknown ? 3 : 0;
    }

    void report(const std::string& msg, bool twice) {
        std::string text = b.print_board() + msg + "\n";
        if (twice) text += b.print_board();
        ++faults;
        std::lock_guard lock(report_lock);
        (*s.m_report)(text);
    }

    void verify_range(int k, std::uint32_t lo, std::uint32_t hi) {
        for (std::uint32_t i = lo; i < hi; ++i)
            if (idx::decode_position(s.m_cls[k], i, b)) verify_position(k, i);
    }

    void verify_position(int k, std::uint32_t i) {
        const int r = value_of(edb::load_entry(*s.m_tab[k], i));
        auto& buf = b.buffer();
        const std::size_t base = buf.size();
        b.gen_white_captures();
        if (buf.size() == base) b.gen_white_moves();
        if (buf.size() == base) {
            if (r >= 0) report("Must be LOSE", false);
            return;
        }
        bool draw_seen = false;
        for (std::size_t j = base; j < buf.size(); ++j) {
            const gen::gen_move m = buf[j];
            b.make_white_move(m);
            int v;
            bool missing = false;
            if (b.count(1) == 0) {
                v = 10000;
            } else if (const edb::table* t = s.m_tables.get(idx::board_material(b).mirror())) {
                v = -value_of(edb::load_entry(*t, idx::mirrored_position_index(b)));
                if (v == -3) v = 3;
            } else {
                v = 555555;
                missing = true;
            }
            b.unmake_white_move(m);
            if (missing) report("Can't find predecessor", false);
            if (v > 0) {
                buf.resize(base);
                if (r <= 0) report("Must be win", true);
                return;
            }
            if (v == 0) draw_seen = true;
        }
        buf.resize(base);
        if (draw_seen) {
            if (r != 0) report("Must be DRAW", false);
        } else if (r >= 0) {
            report("Must be LOSE", false);
        }
    }
};

class_solver::class_solver(edb::table_set& tables, const material& cls, int threads)
    : m_tables(tables), m_threads(std::max(1, threads)) {
    m_cls[0] = cls;
    m_cls[1] = cls.mirror();
    m_sides = cls == cls.mirror() ? 1 : 2;
    for (int k = 0; k < m_sides; ++k) {
        m_tab[k] = tables.get(m_cls[k]);
        m_size[k] = static_cast<std::uint32_t>(idx::class_size(m_cls[k]));
    }
    if (m_sides == 1) {
        m_tab[1] = m_tab[0];
        m_size[1] = 0;
    }
}

void class_solver::run_pass(int pass, bool verifying) {
    std::atomic<std::uint32_t> next_chunk{0};
    std::mutex report_lock;
    std::vector<std::unique_ptr<worker>> workers;
    for (int t = 0; t < m_threads; ++t)
        workers.push_back(std::make_unique<worker>(worker{*this, report_lock, {}}));
    std::vector<std::thread> threads;
    for (int t = 1; t < m_threads; ++t)
        threads.emplace_back([&, t] { workers[t]->run(pass, verifying, next_chunk); });
    workers[0]->run(pass, verifying, next_chunk);
    for (auto& th : threads)
        th.join();
    m_changed = false;
    for (auto& w : workers) {
        m_resolved += w->resolved;
        m_changed = m_changed || w->changed;
        m_faults += w->faults;
    }
    if (!verifying)
        for (int k = 0; k < m_sides; ++k)
            std::swap(m_front[k], m_next[k]);
}

void class_solver::iterate_class(const std::function<void(const pass_report&)>& progress) {
    std::uint64_t entries = 0;
    for (int k = 0; k < m_sides; ++k) {
        entries += 4 * m_tab[k]->size();
        m_open[k] = std::any_of(m_tab[k]->begin(), m_tab[k]->end(),
                                [](std::uint8_t byte) { return (byte & (byte >> 1) & 0x55) != 0; });
        if (m_open[k]) m_pending[k].assign(m_size[k], 0);
        m_front[k].assign((m_size[k] + 63) / 64, 0);
        m_next[k].assign((m_size[k] + 63) / 64, 0);
    }
    m_resolved = 0;
    int pass = 1;
    do {
        progress({pass, m_resolved, entries, false});
        run_pass(pass, false);
        ++pass;
    } while (m_changed);
    progress({pass, m_resolved, entries, true});
    for (int k = 0; k < m_sides; ++k) {
        m_pending[k] = {};
        m_front[k] = {};
        m_next[k] = {};
    }
}

void class_solver::settle_draws() {
    for (int k = 0; k < m_sides; ++k)
        for (auto& byte : *m_tab[k]) {
            const std::uint8_t open = byte & (byte >> 1) & 0x55;
            byte = static_cast<std::uint8_t>(byte & ~(open * 3));
        }
}

std::uint64_t class_solver::verify(const std::function<void(const std::string&)>& report) {
    m_faults = 0;
    m_report = &report;
    run_pass(0, true);
    m_report = nullptr;
    return m_faults;
}

} // namespace reference_solve
