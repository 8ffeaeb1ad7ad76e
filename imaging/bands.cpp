#include "imaging/bands.h"

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <mutex>
#include <system_error>
#include <thread>
#include <vector>

namespace glimra {

namespace {

constexpr unsigned kMostWorkers = 4;

class Helpers {
  public:
    ~Helpers() {
        {
            std::lock_guard lock(mutex_);
            stop_ = true;
        }
        wake_.notify_all();
        for (std::thread& helper : threads_)
            helper.join();
    }

    void Run(unsigned count, const std::function<void(unsigned)>& band) {
        std::lock_guard one(running_);
        Start(std::min(count, BandWorkers()) - 1);
        {
            std::lock_guard lock(mutex_);
            job_ = &band;
            count_ = count;
            next_ = 0;
        }
        wake_.notify_all();
        Take(band, count);
        // Every band is taken now; done when no helper still turns one. A helper
        // takes the job only under the lock and counts itself active, so none that
        // wakes late can take a band of the next call with this one's job.
        std::unique_lock lock(mutex_);
        done_.wait(lock, [&] { return active_ == 0; });
        job_ = nullptr;
    }

  private:
    // Takes bands until none is left.
    void Take(const std::function<void(unsigned)>& band, unsigned count) {
        for (unsigned i; (i = next_.fetch_add(1)) < count;)
            band(i);
    }

    void Start(unsigned helpers) {
        try {
            while (threads_.size() < helpers)
                threads_.emplace_back([this] { Help(); });
        } catch (const std::system_error&) {
            // Fewer helpers: the calling thread takes the bands that they would.
        }
    }

    void Help() {
        std::unique_lock lock(mutex_);
        for (;;) {
            wake_.wait(lock, [&] { return stop_ || (job_ && next_ < count_); });
            if (stop_) return;
            const std::function<void(unsigned)>& band = *job_;
            const unsigned count = count_;
            ++active_;
            lock.unlock();
            Take(band, count);
            lock.lock();
            --active_;
            done_.notify_one();
        }
    }

    std::mutex running_;  // one call at a time
    std::mutex mutex_;    // guards what follows, except next_
    std::condition_variable wake_, done_;
    const std::function<void(unsigned)>* job_ = nullptr;
    unsigned count_ = 0, active_ = 0;
    std::atomic<unsigned> next_{0};
    bool stop_ = false;
    std::vector<std::thread> threads_;
};

}  // namespace

unsigned BandWorkers() {
    return std::clamp(std::thread::hardware_concurrency(), 1u, kMostWorkers);
}

void RunBands(unsigned count, const std::function<void(unsigned)>& band) {
    if (count == 0) return;
    if (count == 1) {
        band(0);
        return;
    }
    static Helpers helpers;
    helpers.Run(count, band);
}

}  // namespace glimra
