#include "edbforge/generator.h"

#include "edbforge/solver.h"
#include "edbforge/tables.h"
#include "platform/file_io.h"

#include <array>
#include <chrono>
#include <fstream>
#include <istream>
#include <ostream>
#include <stdexcept>
#include <vector>

namespace forge {

using edb::material;

namespace {

struct write_failure : std::runtime_error {
    using std::runtime_error::runtime_error;
};

class generator {
  public:
    generator(std::ostream& out, const options& opt) : m_out(out), m_pool(opt.threads) {}

    void load_existing_tables() {
        for (int n = 2; n <= 6; ++n)
            for (int w = 1; w <= n - 1; ++w)
                for (int wm = 0; wm <= w; ++wm)
                    for (int bm = 0; bm <= n - w; ++bm)
                        load_class_table({w - wm, n - w - bm, wm, bm});
    }

    void load_class_table(const material& cls) {
        if (m_tables.get(cls)) return;
        auto t = std::make_unique<edb::table>();
        const std::string name = edb::file_name(cls);
        switch (edb::read_table_file(name, edb::table_bytes(cls), *t)) {
        case edb::load_result::missing:
            return;
        case edb::load_result::loaded:
            m_out << "Loading " << name << "\n";
            m_tables.put(cls, std::move(t));
            return;
        case edb::load_result::unreadable:
            m_out << "Loading " << name << "\n"
                  << "can't read\n";
            return;
        }
    }

    void generate_piece_count(int n) {
        const auto start = std::chrono::steady_clock::now();
        m_out << "\n"
              << "------------------------------------\n"
              << "-                                  -\n"
              << "-  "
              << "Generating " << n << "-pieces databases   -\n"
              << "-                                  -\n"
              << "------------------------------------\n";
        for (int b = 1; b <= n / 2; ++b)
            for (int wm = 0; wm <= b; ++wm)
                for (int bm = 0; bm <= n - b; ++bm)
                    generate_class({b - wm, n - b - bm, wm, bm});
        const auto ms =
            std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start)
                .count();
        m_out << "\n\n"
              << "Complete in " << ms / 1000 << " sec."
              << "\n";
        m_out.flush();
    }

    void generate_class(const material& cls) {
        const material mir = cls.mirror();
        const bool same = cls == mir;
        if (m_tables.get(cls) && m_tables.get(mir)) return;
        m_out << "\n\n" << edb::file_name(cls);
        if (!same) m_out << " and " << edb::file_name(mir);
        m_out << "\n";
        for (const material& m : {cls, mir})
            if (!m_tables.get(m)) m_tables.create(m, 0xFF);

        solve::class_solver solver(m_tables, cls, m_pool);
        solver.iterate_class([&](const solve::pass_report& r) {
            m_out << "Iteration: " << r.pass << "\tresolved: " << r.resolved << " of " << r.entries
                  << (r.last ? "\n" : "\r");
            m_out.flush();
        });
        solver.settle_draws();
        m_out << "Verifing..."
              << "\r";
        m_out.flush();
        solver.verify([&](const std::string& text) { m_out << text; });

        write(cls);
        if (!same) write(mir);
    }

  private:
    void write(const material& m) {
        const std::string name = edb::file_name(m);
        const std::string error = edb::write_table_file(name, *m_tables.get(m));
        if (!error.empty()) throw write_failure("Can't write " + name + ": " + error);
    }

    std::ostream& m_out;
    solve::thread_pool m_pool; // one set of threads for the whole run
    edb::table_set m_tables;
};

} // namespace

long read_engine_file(const std::string& path) {
    if (!RegularFileExists(path)) return -1; // a FIFO would block the open, /dev/zero never end
    std::ifstream f(path, std::ios::binary);
    if (!f) return -1;
    std::array<char, 16> header;
    if (!f.read(header.data(), header.size())) return 0;
    // The records belong to the outside engine; they are read and kept, never interpreted.
    std::vector<std::array<char, 16>> records;
    std::array<char, 16> rec;
    while (f.read(rec.data(), rec.size()))
        records.push_back(rec);
    return static_cast<long>(records.size());
}

namespace {

int run(std::istream& in, std::ostream& out, std::ostream& err, const options& opt) {
    out << "Endgame database generator for "
        << "draughts"
        << " engine Oskeen"
        << "\n";
    out << "Enter the number of pieces in database: ";
    out.flush();
    long n = 0;
    if (!(in >> n)) {
        out << "\n";
        err << "edbforge: expected the number of pieces (2 to 6)\n";
        return 2;
    }
    if (n >= 7) {
        out << "Too many pieces"
            << "\n";
        return 0;
    }
    read_engine_file(opt.engine_file);
    idx::build_binomials();
    idx::build_rank_table();
    gen::prepare_keys();

    generator g(out, opt);
    try {
        g.load_existing_tables();
        for (int k = 2; k <= n; ++k)
            g.generate_piece_count(k);
    } catch (const write_failure& e) {
        out.flush();
        err << "\nedbforge: " << e.what() << "\n";
        return 1;
    }
    return 0;
}

} // namespace

int run_generator(std::istream& in, std::ostream& out, std::ostream& err, const options& opt) {
    const int status = run(in, out, err, opt);
    // Output that did not reach its reader (a full disk, a closed pipe) is a failure of the run,
    // though the tables written stay good.
    out.flush();
    if (!out) {
        err << "edbforge: cannot write the standard output\n";
        return status != 0 ? status : 1;
    }
    return status;
}

} // namespace forge
