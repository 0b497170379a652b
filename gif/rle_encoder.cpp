#include "gif/rle_encoder.h"

#include <bit>

namespace {
// Integer square root by Newton's method from a power-of-two guess.
int IntSqrt(int n) {
    if (n <= 1) return n;
    int r = 1 << ((std::bit_width(static_cast<unsigned>(n)) + 1) / 2); // not below the root
    for (;;) {
        const int next = (r + n / r) / 2;
        if (next == r || next == r + 1) return r;
        r = next;
    }
}
} // namespace

int TriangleCost(int count, int repeats) {
    int cost = 0;
    const long long triangle = static_cast<long long>(repeats) * (repeats + 1) / 2;
    long long n = count;
    while (n >= triangle) {
        cost += repeats;
        n -= triangle;
    }
    if (n > 0) {
        long long k = IntSqrt(static_cast<int>(n));
        while (k * (k + 1) >= 2 * n)
            --k;
        while (k * (k + 1) < 2 * n)
            ++k;
        cost += static_cast<int>(k);
    }
    return cost;
}

void TRLEEncoder::OutputPlain(int code) {
    TGIFEncoder::Output(code);
    m_JustCleared = false;
    ++m_OutCount;
    if (m_OutCount >= m_BumpThreshold) {
        ++m_CodeWidth;
        m_BumpThreshold += 1 << (m_CodeWidth - 1);
    }
    if (m_OutCount >= m_ClearThreshold) Clear();
}

void TRLEEncoder::Clear() {
    m_BumpThreshold = m_BumpStart;
    m_ClearThreshold = m_ClearStart;
    m_OutCount = 0;
    m_TableMax = 0;
    m_JustCleared = true;
    TGIFEncoder::Output(m_ClearCode);
    m_CodeWidth = m_InitialCodeWidth;
}

void TRLEEncoder::CloseTable() {
    m_ClearThreshold = m_ClearStart;
    if (m_OutCount >= m_ClearThreshold) Clear();
}

void TRLEEncoder::FlushFromClear(int count) {
    OpenTable();
    m_TablePixel = m_RunPixel;
    int step = 1;
    while (count > 0) {
        if (step == 1) {
            m_TableMax = 1;
            OutputPlain(m_RunPixel);
            count -= 1;
        } else if (step <= count) {
            m_TableMax = step;
            OutputPlain(m_BaseCode + step - 2);
            count -= step;
        } else {
            // The run is shorter than the next table entry; the decoder still adds one.
            ++m_TableMax;
            OutputPlain(count == 1 ? m_RunPixel : m_BaseCode + count - 2);
            count = 0;
        }
        step = m_OutCount != 0 ? step + 1 : 1;
    }
    CloseTable();
}

void TRLEEncoder::FlushClearOrRepeat(int count) {
    if (count > 1 + TriangleCost(count, m_MaxCodes)) {
        Clear();
        FlushFromClear(count);
    } else {
        for (int i = 0; i < count; ++i)
            OutputPlain(m_RunPixel);
    }
}

void TRLEEncoder::FlushWithTable(int count) {
    int reps = count / m_TableMax;
    int rest = count % m_TableMax;
    int restCost = rest != 0 ? 1 : 0;
    if (m_OutCount + reps + restCost > m_MaxCodes) {
        reps = m_MaxCodes - m_OutCount;
        rest = count - reps * m_TableMax;
        restCost = 1 + TriangleCost(rest, m_MaxCodes);
    }
    if (1 + TriangleCost(count, m_MaxCodes) < reps + restCost) {
        Clear();
        FlushFromClear(count);
        return;
    }
    OpenTable();
    for (int i = 0; i < reps; ++i)
        OutputPlain(m_BaseCode + m_TableMax - 2);
    if (rest > 0) {
        if (m_JustCleared)
            FlushFromClear(rest);
        else
            OutputPlain(rest == 1 ? m_RunPixel : m_BaseCode + rest - 2);
    }
    CloseTable();
}

void TRLEEncoder::Flush(int count) {
    if (count == 1)
        OutputPlain(m_RunPixel);
    else if (m_JustCleared)
        FlushFromClear(count);
    else if (m_TableMax < 2 || m_TablePixel != m_RunPixel)
        FlushClearOrRepeat(count);
    else
        FlushWithTable(count);
}

void TRLEEncoder::DoCompress() {
    m_BumpStart = m_ClearCode - 1;
    m_ClearStart = m_BitsPerPixel > 3 ? m_ClearCode - 2 : 9;
    m_MaxCodes = 4095 - m_BaseCode;
    Clear();
    m_RunPixel = -1;
    int runLength = 0;
    for (bool more = true; more; more = NextPixel()) {
        const int p = CheckedPixel();
        if (runLength > 0 && p != m_RunPixel) {
            Flush(runLength);
            runLength = 0;
        }
        if (p != m_RunPixel) {
            m_RunPixel = p;
            runLength = 1;
        } else {
            ++runLength;
        }
    }
    Flush(runLength);
}
