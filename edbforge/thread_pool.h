#pragma once
// The solver's threads: started once for the whole run and handed one job at a time, so a pass
// costs a wake-up, not a thread start. The calling thread takes part as thread 0.
// One caller at a time; `run` returns when every thread has finished the job.

#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

namespace solve {

class thread_pool {
  public:
    explicit thread_pool(int threads);
    ~thread_pool();
    thread_pool(const thread_pool&) = delete;
    thread_pool& operator=(const thread_pool&) = delete;

    int size() const { return static_cast<int>(m_threads.size()) + 1; }
    // Calls job(t) once for every t in 0..size() - 1 (t = 0 on the calling thread) and waits.
    void run(const std::function<void(int)>& job);

  private:
    void loop(int t);

    std::mutex m_lock;
    std::condition_variable m_start, m_done;
    const std::function<void(int)>* m_job = nullptr;
    std::uint64_t m_generation = 0;
    int m_busy = 0;
    bool m_quit = false;
    std::vector<std::thread> m_threads;
};

} // namespace solve
