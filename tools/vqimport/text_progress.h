#pragma once
// Progress of a long task on a terminal: one line that counts up with the time estimate, rewritten in
// place; nothing but the first and last line when the stream is not a terminal. Texts are CP1251 and
// are printed as UTF-8.

#include "gamedb/progress.h"

#include <cstdio>

class TTextProgress final : public IProgress {
  public:
    explicit TTextProgress(std::FILE* out);
    void BeginProgress(const std::string& caption, const std::string& text, std::int64_t maximum,
                       std::int64_t count) override;
    void StepProgress(std::int64_t position, std::int64_t count) override;
    void EndProgress() override;

  private:
    std::FILE* m_out;
    bool m_terminal;
    bool m_lineOpen = false;
    TProgressEstimate m_estimate;
};
