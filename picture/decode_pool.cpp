#include "picture/decode_pool.h"
#include <algorithm>
#include <exception>

namespace tovn {

int DecodePool::DefaultWorkers() {
    return std::max(1, static_cast<int>(std::thread::hardware_concurrency()) - 1);
}

DecodePool::DecodePool(int workers) : finished_(::CreateEventW(nullptr, FALSE, FALSE, nullptr)) {
    for (int i = 0; i < std::max(1, workers); ++i) threads_.emplace_back([this] { Work(); });
}

DecodePool::~DecodePool() {
    std::deque<Job> waiting; // destroyed outside the lock
    {
        std::lock_guard<std::mutex> lock(mutex_);
        waiting.swap(queue_);
        stopping_ = true;
    }
    wake_.notify_all();
    for (std::thread& t : threads_) t.join();
}

void DecodePool::Submit(Job job) {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        queue_.push_back(std::move(job));
    }
    wake_.notify_one();
}

bool DecodePool::RunOne() {
    Job job;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (queue_.empty()) return false;
        job = std::move(queue_.front());
        queue_.pop_front();
    }
    Run(job);
    return true;
}

void DecodePool::Run(Job& job) {
    try {
        job();
    } catch (const std::exception&) { // out of memory: the job's owner sees no result
    }
    job = nullptr;
    if (finished_) ::SetEvent(finished_.get());
}

void DecodePool::Work() {
    for (;;) {
        Job job;
        {
            std::unique_lock<std::mutex> lock(mutex_);
            wake_.wait(lock, [this] { return stopping_ || !queue_.empty(); });
            if (stopping_) return;
            job = std::move(queue_.front());
            queue_.pop_front();
        }
        Run(job);
    }
}

} // namespace tovn
