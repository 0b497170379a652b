#pragma once
// The stop word of an engine request: one 32-bit integer that the user-interface thread sets to
// stop a search and the request clears at its start. The built-in search polls the word it is
// given; a plug-in engine can be given its address as its play-now pointer, so it stays a plain
// integer, and every access from our code goes through an atomic operation. The shell owns the
// program's one word; the rules layer keeps none.

#include <atomic>
#include <cstdint>

class TStopWord {
  public:
    // Any nonzero value asks the search that polls the word to stop.
    bool Requested(std::memory_order order = std::memory_order_relaxed) const {
        return std::atomic_ref<std::int32_t>(m_word).load(order) != 0;
    }
    void Set(std::int32_t value, std::memory_order order = std::memory_order_release) {
        std::atomic_ref<std::int32_t>(m_word).store(value, order);
    }
    // For an engine that polls the word itself.
    std::int32_t* Address() { return &m_word; }

  private:
    alignas(std::atomic_ref<std::int32_t>::required_alignment) mutable std::int32_t m_word = 0;
};
