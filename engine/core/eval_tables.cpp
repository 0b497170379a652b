#include "eval_tables.h"

#include <bit>
#include <mutex>

namespace marrak::inline MARRAK_RULES_NS::eval {

eval_tables tables{};

namespace {

unsigned reverse8(unsigned b) {
    unsigned r = 0;
    for (int i = 0; i < 8; ++i)
        if (b & (1u << i)) r |= 1u << (7 - i);
    return r;
}

int material_entry(int m0, int m1, int k0, int k1) {
    const int a = man_value * m0 + king_value * k0;
    const int b = man_value * m1 + king_value * k1;
    if (a + b == 0) return 0;
    // Being ahead counts for more the less is left on the board.
    const int t = (a - b) * 450 / (a + b + 400);
    const int adj = t < -16 ? t + 16 : t > 16 ? t - 16 : 0;
    return a - b + adj;
}

int first_row_entry(unsigned b) {
    static constexpr std::int8_t base[32] = {0, 2, 5, 7, 3, 17, 10, 22, 0, 4, 9, 15, 2, 17, 12, 22,
                                             0, 1, 7, 7, 7, 18, 18, 22, 0, 4, 8, 18, 7, 18, 18, 20};
    int v = base[b & 31];
    if ((b & 0x20) && (b & 3)) v += 4;
    if ((b & 0x40) && (b & 6)) v += 4;
    if ((b & 0x8C) == 4) v += 5;
    return v;
}

bool any_clear(unsigned p, std::initializer_list<unsigned> masks) {
    for (unsigned m : masks)
        if ((p & m) == 0) return true;
    return false;
}

int back_pattern_entry(unsigned p) {
    if (any_clear(p, {0x333, 0xCCC, 0x6C6, 0x666})) return 11;
    if (any_clear(p, {0xC8C, 0x646, 0x4C6, 0x266, 0x323, 0x263, 0x067, 0x0CE, 0x233, 0x133})) return 8;
    if (any_clear(p, {0x331, 0x4C4, 0x262, 0x131, 0x0C6})) return 5;
    return 0;
}

int guard_entry(unsigned b) {
    int v = first_row_entry(b) + 15;
    if ((b & 7) == 7) v = 45;
    if ((b & 0x47) == 0x47 || (b & 0x27) == 0x27) v = 50;
    if ((b & 0x67) == 0x67) v = 55;
    return v;
}

void build_bit_tables() {
    tables.bit_index.fill(0);
    for (int b = 0; b < 16; ++b)
        tables.bit_index[1u << b] = static_cast<std::int8_t>(italian_rules ? (b & ~3) + 3 - (b & 3) : b);
    for (unsigned b = 0; b < 256; ++b)
        tables.byte_reversal[b] = reverse8(b);
    tables.half_row_sum[0] = 0;
    for (unsigned x = 1; x < 65536; ++x)
        tables.half_row_sum[x] =
            static_cast<std::uint8_t>(tables.half_row_sum[x & (x - 1)] + (std::countr_zero(x) >> 2));
}

void build_eval_tables() {
    for (int m0 = 0; m0 < material_counts; ++m0)
        for (int m1 = 0; m1 < material_counts; ++m1)
            for (int k0 = 0; k0 < material_counts; ++k0)
                for (int k1 = 0; k1 < material_counts; ++k1)
                    tables.material[((m0 * 13 + m1) * 13 + k0) * 13 + k1] =
                        static_cast<std::int16_t>(material_entry(m0, m1, k0, k1));
    for (unsigned b = 0; b < 256; ++b) {
        tables.first_row[b] = static_cast<std::int8_t>(first_row_entry(b));
        tables.guard[b] = static_cast<std::int8_t>(guard_entry(b));
    }
    for (unsigned b = 0; b < 256; ++b) {
        tables.first_row_mirror[reverse8(b)] = tables.first_row[b];
        tables.guard_mirror[reverse8(b)] = tables.guard[b];
    }
    for (unsigned p = 0; p < 4096; ++p)
        tables.back_pattern[p] = static_cast<std::int8_t>(back_pattern_entry(p));
    for (unsigned p = 0; p < 4096; ++p)
        tables.back_pattern_mirror[reverse_bits32(p) >> 20] = tables.back_pattern[p];
}

} // namespace

// The tables are shared by every context of the library: built once, whoever asks first.
void init_bit_tables() {
    static std::once_flag once;
    std::call_once(once, build_bit_tables);
}

void init_eval_tables() {
    init_bit_tables();
    static std::once_flag once;
    std::call_once(once, build_eval_tables);
}

} // namespace marrak::inline MARRAK_RULES_NS::eval
