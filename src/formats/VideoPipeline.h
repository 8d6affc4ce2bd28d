#pragma once
// Private to the video import: decoded frames are reduced (and for a file,
// encoded) on worker threads while the next frames are decoded, and come
// back in their order. Reducing a frame takes most of an import's time and
// frames are independent of each other, so this is where the cores help.
#include <algorithm>
#include <condition_variable>
#include <deque>
#include <exception>
#include <functional>
#include <map>
#include <mutex>
#include <thread>
#include <vector>

#include "platform/Bitmap.h"

namespace animora {

template <typename Result>
class TOrderedFrameWork {
public:
    using Work = std::function<Result(TBitmap& picture, int index)>;

    explicit TOrderedFrameWork(Work work) : work_(std::move(work))
    {
        const int workers = static_cast<int>(std::clamp(std::thread::hardware_concurrency(), 1u, 8u));
        for (int i = 0; i < workers; ++i)
            threads_.emplace_back([this] { Serve(); });
    }
    // Stops at once: frames not started are dropped, running ones finish.
    ~TOrderedFrameWork()
    {
        {
            std::lock_guard guard(lock_);
            stopping_ = true;
            queue_.clear();
        }
        wake_.notify_all();
        for (std::thread& thread : threads_)
            thread.join();
    }
    TOrderedFrameWork(const TOrderedFrameWork&) = delete;
    TOrderedFrameWork& operator=(const TOrderedFrameWork&) = delete;

    // Frames handed in and not yet taken back; the caller keeps this small
    // (a few per worker), which bounds the memory the work holds.
    int Pending() const { return submitted_ - taken_; }
    int Capacity() const { return 2 * static_cast<int>(threads_.size()); }

    void Submit(TBitmap&& picture)
    {
        {
            std::lock_guard guard(lock_);
            queue_.push_back({std::move(picture), submitted_});
        }
        ++submitted_;
        wake_.notify_one();
    }

    // The result of the oldest frame not taken yet, waiting for it; a
    // worker's exception is raised here.
    Result TakeNext()
    {
        std::unique_lock guard(lock_);
        done_.wait(guard, [this] { return results_.count(taken_) > 0 || failure_; });
        if (failure_)
            std::rethrow_exception(failure_);
        auto found = results_.find(taken_);
        Result result = std::move(found->second);
        results_.erase(found);
        ++taken_;
        return result;
    }

private:
    struct Job {
        TBitmap picture;
        int index;
    };

    void Serve()
    {
        for (;;) {
            std::unique_lock guard(lock_);
            wake_.wait(guard, [this] { return stopping_ || !queue_.empty(); });
            if (stopping_)
                return;
            Job job = std::move(queue_.front());
            queue_.pop_front();
            guard.unlock();
            try {
                Result result = work_(job.picture, job.index);
                guard.lock();
                results_.emplace(job.index, std::move(result));
            } catch (...) {
                guard.lock();
                if (!failure_)
                    failure_ = std::current_exception();
            }
            guard.unlock();
            done_.notify_all();
        }
    }

    Work work_;
    std::mutex lock_;
    std::condition_variable wake_;
    std::condition_variable done_;
    std::deque<Job> queue_;
    std::map<int, Result> results_;
    std::exception_ptr failure_;
    bool stopping_ = false;
    int submitted_ = 0;  // caller's thread only
    int taken_ = 0;      // caller's thread only
    std::vector<std::thread> threads_;
};

} // namespace animora
