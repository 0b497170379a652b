#include "app/core/eboard_framing.h"

#include <algorithm>
#include <cstring>

void TBoardPacketReader::Feed(const std::uint8_t* data, std::size_t size, const TSink& sink) {
    while (size > 0) {
        const std::size_t take = std::min<std::size_t>(size, BoardPacketSize - m_have);
        std::memcpy(m_block.data() + m_have, data, take);
        m_have += static_cast<int>(take);
        data += take;
        size -= take;
        if (m_have == BoardPacketSize) {
            m_have = 0;
            sink(m_block);
        }
    }
}
