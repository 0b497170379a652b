#include "edbforge/thread_pool.h"

#include <algorithm>

namespace solve {

thread_pool::thread_pool(int threads) {
    for (int t = 1; t < std::max(1, threads); ++t)
        m_threads.emplace_back([this, t] { loop(t); });
}

thread_pool::~thread_pool() {
    {
        std::lock_guard lock(m_lock);
        m_quit = true;
    }
    m_start.notify_all();
    for (auto& th : m_threads)
        th.join();
}

void thread_pool::run(const std::function<void(int)>& job) {
    {
        std::lock_guard lock(m_lock);
        m_job = &job;
        m_busy = static_cast<int>(m_threads.size());
        ++m_generation;
    }
    m_start.notify_all();
    job(0);
    std::unique_lock lock(m_lock);
    m_done.wait(lock, [this] { return m_busy == 0; });
    m_job = nullptr;
}

void thread_pool::loop(int t) {
    std::uint64_t seen = 0;
    for (;;) {
        const std::function<void(int)>* job;
        {
            std::unique_lock lock(m_lock);
            m_start.wait(lock, [&] { return m_quit || m_generation != seen; });
            if (m_quit) return;
            seen = m_generation;
            job = m_job;
        }
        (*job)(t);
        {
            std::lock_guard lock(m_lock);
            --m_busy;
        }
        m_done.notify_one();
    }
}

} // namespace solve
