#pragma once
// The one stop word of every engine request. The user-interface thread sets it to stop a search;
// the request clears it at its start; the built-in search polls it and plug-in engines get its
// address as their play-now pointer. It stays a plain 32-bit integer so that address can be handed
// on, and every access from our code goes through an atomic operation.

#include <atomic>
#include <cstdint>

alignas(std::atomic_ref<std::int32_t>::required_alignment) extern std::int32_t EngineStopFlag;

// Any nonzero value asks the running request to stop.
inline bool EngineStopRequested() {
    return std::atomic_ref<std::int32_t>(EngineStopFlag).load(std::memory_order_relaxed) != 0;
}
inline void SetEngineStopFlag(std::int32_t value) {
    std::atomic_ref<std::int32_t>(EngineStopFlag).store(value, std::memory_order_release);
}
