#include "gif/gif_stream.h"

#include "gif/gif_exception.h"

#include "platform/atomic_file.h"

#include <algorithm>
#include <cstring>

std::int64_t TStream::Size() {
    const std::int64_t here = Position();
    const std::int64_t end = Seek(0, soEnd);
    SetPosition(here);
    return end;
}

std::size_t TMemoryStream::Read(void* buffer, std::size_t count) {
    if (m_Position >= m_Bytes.size()) return 0;
    const std::size_t n = std::min(count, m_Bytes.size() - m_Position);
    std::memcpy(buffer, m_Bytes.data() + m_Position, n);
    m_Position += n;
    return n;
}

std::size_t TMemoryStream::Write(const void* buffer, std::size_t count) {
    if (count == 0) return 0;
    const auto* bytes = static_cast<const std::uint8_t*>(buffer);
    if (m_Position == m_Bytes.size()) { // the usual case: appending
        m_Bytes.insert(m_Bytes.end(), bytes, bytes + count);
        m_Position += count;
        return count;
    }
    if (m_Position + count > m_Bytes.size()) m_Bytes.resize(m_Position + count);
    std::memcpy(m_Bytes.data() + m_Position, buffer, count);
    m_Position += count;
    return count;
}

std::int64_t TMemoryStream::Seek(std::int64_t offset, TSeekOrigin origin) {
    std::int64_t base = 0;
    if (origin == soCurrent) base = static_cast<std::int64_t>(m_Position);
    if (origin == soEnd) base = static_cast<std::int64_t>(m_Bytes.size());
    m_Position = static_cast<std::size_t>(std::max<std::int64_t>(0, base + offset));
    return static_cast<std::int64_t>(m_Position);
}

void TMemoryStream::Clear() {
    m_Bytes.clear();
    m_Position = 0;
}

void WriteFileBytes(const std::string& fileName, const std::vector<std::uint8_t>& bytes) {
    const TIoStatus status = AtomicWriteFile(fileName, bytes.data(), bytes.size());
    if (!status) throw EStreamError(status.Message());
}
