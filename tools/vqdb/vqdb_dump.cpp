#include "tools/vqdb/vqdb_dump.h"

#include "gamedb/game_index_record.h"
#include "platform/codepage.h"
#include "rules/notation.h"

#include <cstdio>
#include <memory>

std::string DumpGameLine(const TGameDatabase& db, std::int32_t n, TGame& g) {
    const TDbStatus s = ReadGame(db, n, false, g);
    if (s != TDbStatus::Ok)
        return std::to_string(n) + "\t" + (s == TDbStatus::Damaged ? "damaged" : DbStatusText(s));
    const TGameIndexRecord& h = g.header;
    char date[32];
    std::snprintf(date, sizeof date, "%04u.%02u.%02u", unsigned(h.year), unsigned(h.month), unsigned(h.day));
    std::string line = std::to_string(n);
    for (const std::string* name : {&g.white, &g.black, &g.tournament, &g.site})
        line += "\t" + Cp1251ToUtf8(*name);
    line += std::string("\t") + date + "\t" + GameResultText(h.result) + "\t" +
            ((h.flags & gfDeleted) ? "D" : "-") + "\t";
    int node = 0;
    for (int ply = 0;; ++ply) {
        const TNodeList children = ListChildNodes(node, g);
        if (children.empty() || ply > MaxNodes) break;
        node = children[0];
        if (ply) line += ' ';
        line += MoveToFullText(g.nodes[node], h.variant, true, ":");
    }
    return line;
}

int DumpDatabase(const TGameDatabase& db, std::ostream& out) {
    auto g = std::make_unique<TGame>();
    int damaged = 0;
    const std::int32_t count = IndexRecordCount(db);
    for (std::int32_t n = 1; n <= count; ++n) {
        const std::string line = DumpGameLine(db, n, *g);
        damaged += line.ends_with("\tdamaged");
        out << line << '\n';
    }
    return damaged;
}
