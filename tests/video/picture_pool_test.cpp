// The cache's picture memory made ready on a thread: every picture has the size asked last.
#include "video/picture_pool.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

namespace vantrel {
namespace {

TEST(PicturePool, PicturesHaveTheSizeAskedLastWhateverWasMadeReadyBefore) {
    const QSize sizes[] = {{480, 360}, {64, 48}, {720, 576}};
    PicturePool pool;
    for (int round = 0; round < 30; ++round) {
        const QSize size = sizes[round % 3];
        pool.Reset(size, round % 5 == 0 ? 0 : 20);  // a limit of 0: made on the spot
        // At once, and after the thread had time to make pictures of the size before.
        if (round % 2 == 1) std::this_thread::sleep_for(std::chrono::milliseconds(2));
        for (int i = 0; i < 12; ++i) {
            QImage picture = pool.Take();
            ASSERT_EQ(picture.size(), size) << "round " << round << " picture " << i;
            ASSERT_EQ(picture.format(), QImage::Format_RGBX8888);
        }
    }
}

}  // namespace
}  // namespace vantrel
