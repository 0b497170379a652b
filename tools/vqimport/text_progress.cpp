#include "tools/vqimport/text_progress.h"

#include "platform/codepage.h"

#include <unistd.h>

TTextProgress::TTextProgress(std::FILE* out) : m_out(out), m_terminal(isatty(fileno(out)) != 0) {}

void TTextProgress::BeginProgress(const std::string& caption, const std::string& text, std::int64_t maximum,
                                  std::int64_t count) {
    EndProgress();
    m_estimate.Start(maximum);
    std::fprintf(m_out, "%s: %s (%lld)\n", Cp1251ToUtf8(caption).c_str(), Cp1251ToUtf8(text).c_str(),
                 static_cast<long long>(count));
    std::fflush(m_out);
}

void TTextProgress::StepProgress(std::int64_t position, std::int64_t count) {
    if (!m_terminal) return;
    std::fprintf(m_out, "\r%lld of %lld",
                 static_cast<long long>(ClampProgress(position, m_estimate.Maximum())),
                 static_cast<long long>(m_estimate.Maximum()));
    if (count != 0) std::fprintf(m_out, " (%lld)", static_cast<long long>(count));
    if (const std::string estimate = m_estimate.Text(position); !estimate.empty())
        std::fprintf(m_out, "   %s", estimate.c_str());
    std::fprintf(m_out, "\033[K"); // clears what a longer line left
    std::fflush(m_out);
    m_lineOpen = true;
}

void TTextProgress::EndProgress() {
    if (m_lineOpen) std::fputc('\n', m_out);
    m_lineOpen = false;
    std::fflush(m_out);
}
