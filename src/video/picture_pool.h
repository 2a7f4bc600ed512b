// Memory for the frame cache's pictures, written once in advance on a thread of its own: the
// first write to fresh memory costs a page fault every 4 KiB, which on a virtual machine takes
// longer than decoding and scaling an SD frame. Once the cache is full it recycles its own
// pictures, so the pool makes at most as many as the cache holds.
#pragma once

#include <QImage>
#include <QSize>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <thread>
#include <vector>

namespace vantrel {

class PicturePool {
  public:
    PicturePool() = default;
    ~PicturePool();
    PicturePool(const PicturePool&) = delete;
    PicturePool& operator=(const PicturePool&) = delete;

    // Pictures of `size` from now on, at most `limit` of them made in all; the ones ready of
    // another size are dropped.
    void Reset(QSize size, int64_t limit);
    // A picture of the size, ready for writing; made on the spot when none is ready.
    QImage Take();

  private:
    // Pictures kept ready: a seek's run of decodes rarely keeps more before the next is ready.
    static constexpr size_t kReady = 8;

    void Warm();

    std::mutex mutex_;
    std::condition_variable wanted_;
    std::vector<QImage> ready_;
    QSize size_;
    int64_t left_ = 0;  // pictures that may still be made
    bool stop_ = false;
    bool noThread_ = false;  // the system had no thread to give
    std::thread thread_;
};

}  // namespace vantrel
