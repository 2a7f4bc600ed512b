#include "video/picture_pool.h"

#include <new>
#include <system_error>

namespace vantrel {

PicturePool::~PicturePool() {
    {
        std::lock_guard lock(mutex_);
        stop_ = true;
    }
    wanted_.notify_one();
    if (thread_.joinable()) thread_.join();
}

void PicturePool::Reset(QSize size, int64_t limit) {
    std::vector<QImage> dropped;  // freed after the lock is released
    {
        std::lock_guard lock(mutex_);
        size_ = size;
        left_ = limit;
        dropped.swap(ready_);
    }
    wanted_.notify_one();
}

QImage PicturePool::Take() {
    std::unique_lock lock(mutex_);
    // Started on first use, so that a source that is only opened costs no thread. Without a
    // thread to be had, every picture is made on the spot.
    if (!thread_.joinable() && left_ > 0 && !noThread_) {
        try {
            thread_ = std::thread(&PicturePool::Warm, this);
        } catch (const std::system_error&) {
            noThread_ = true;
        }
    }
    if (!ready_.empty()) {
        QImage picture = std::move(ready_.back());
        ready_.pop_back();
        lock.unlock();
        wanted_.notify_one();
        return picture;
    }
    if (left_ > 0) --left_;
    const QSize size = size_;
    lock.unlock();
    return QImage(size, QImage::Format_RGBX8888);
}

void PicturePool::Warm() {
    std::unique_lock lock(mutex_);
    for (;;) {
        wanted_.wait(lock, [this] { return stop_ || (ready_.size() < kReady && left_ > 0); });
        if (stop_) return;
        --left_;
        const QSize size = size_;
        lock.unlock();
        QImage picture(size, QImage::Format_RGBX8888);
        picture.fill(0);  // every page written once
        lock.lock();
        if (picture.isNull() || size != size_) continue;
        try {
            ready_.push_back(std::move(picture));
        } catch (const std::bad_alloc&) {
            return;  // the pictures are made on the spot from now on
        }
    }
}

}  // namespace vantrel
