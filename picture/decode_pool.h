// Worker threads for decoding pictures off the window's thread: as many as the machine has
// cores less the one the window keeps (at least one), made once and joined when the pool
// goes. Jobs run in the order given; those still waiting when the pool goes never run.
#pragma once
#include "win/handles.h"
#include <windows.h>
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

namespace tovn {

class DecodePool {
public:
    using Job = std::function<void()>;

    explicit DecodePool(int workers = DefaultWorkers());
    ~DecodePool();
    DecodePool(const DecodePool&) = delete;
    DecodePool& operator=(const DecodePool&) = delete;

    // The machine's cores less one, at least one.
    static int DefaultWorkers();
    int Workers() const { return static_cast<int>(threads_.size()); }

    void Submit(Job job);
    // Runs the first waiting job on the calling thread; false when none waits. The window's
    // thread helps so while it waits for a result, and every core decodes.
    bool RunOne();
    // Set each time a job ends: the window's thread waits on it together with its messages.
    HANDLE Finished() const { return finished_.get(); }

private:
    void Work();
    void Run(Job& job);

    std::mutex mutex_;
    std::condition_variable wake_;
    std::deque<Job> queue_;
    bool stopping_ = false;
    UniqueKernel finished_;
    std::vector<std::thread> threads_;
};

} // namespace tovn
