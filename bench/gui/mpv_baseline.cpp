// The bare libmpv baseline of bench/video_compare.sh: the player's libmpv options and software
// render API with nothing of ours, doing what video_compare does on the same file and targets:
// opens, exact seeks, and back-and-forth steps with frame-step and frame-back-step.
//   mpv_baseline FILE FPS FRAMES TARGET...
// Prints one line per operation: "OP MEDIAN_MS"; seek_early is the first targets sought right
// after each timed open, as video_compare --long seeks them, before the file is opened once
// more for the rest.
#include <mpv/client.h>
#include <mpv/render.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "compare_session.h"

namespace {

class BarePlayer {
  public:
    BarePlayer() {
        handle_ = mpv_create();
        const char* options[][2] = {
            {"vo", "libmpv"},     {"hwdec", "no"},
            {"hr-seek", "yes"},   {"hr-seek-demuxer-offset", "1"},
            {"keep-open", "yes"}, {"pause", "yes"},
            {"idle", "yes"},      {"keepaspect", "no"},
            {"ao", "null"},       {"aid", "no"},
            {"untimed", "yes"},   {"terminal", "no"},
            {"config", "no"},     {"load-scripts", "no"},
            {"osc", "no"},
        };
        for (const auto& option : options) mpv_set_option_string(handle_, option[0], option[1]);
        mpv_initialize(handle_);
        mpv_render_param params[] = {
            {MPV_RENDER_PARAM_API_TYPE, const_cast<char*>(MPV_RENDER_API_TYPE_SW)},
            {MPV_RENDER_PARAM_INVALID, nullptr},
        };
        mpv_render_context_create(&render_, handle_, params);
        mpv_render_context_set_update_callback(
            render_,
            [](void* self) {
                auto* player = static_cast<BarePlayer*>(self);
                player->updated_ = true;
                mpv_wakeup(player->handle_);
            },
            this);
        pixels_.resize(kStride * kHeight);
    }
    ~BarePlayer() {
        mpv_render_context_free(render_);
        mpv_terminate_destroy(handle_);
    }

    // Runs a command and waits until it has shown a new frame (and, for loads and seeks, until
    // playback restarted).
    void Do(std::vector<const char*> command, bool restarts) {
        renders_ = 0;
        restarted_ = !restarts;
        command.push_back(nullptr);
        mpv_command(handle_, command.data());
        while (renders_ == 0 || !restarted_) {
            mpv_event* event = mpv_wait_event(handle_, 1.0);
            if (event->event_id == MPV_EVENT_PLAYBACK_RESTART) restarted_ = true;
            if (updated_.exchange(false)) Render();
        }
    }

    double TimePos() {
        double value = 0.0;
        mpv_get_property(handle_, "time-pos", MPV_FORMAT_DOUBLE, &value);
        return value;
    }

  private:
    static constexpr int kWidth = 480;
    static constexpr int kHeight = 360;
    static constexpr size_t kStride = kWidth * 4;

    void Render() {
        if ((mpv_render_context_update(render_) & MPV_RENDER_UPDATE_FRAME) == 0) return;
        int size[2] = {kWidth, kHeight};
        size_t stride = kStride;
        int block = 0;
        mpv_render_param params[] = {
            {MPV_RENDER_PARAM_SW_SIZE, size},
            {MPV_RENDER_PARAM_SW_FORMAT, const_cast<char*>("rgb0")},
            {MPV_RENDER_PARAM_SW_STRIDE, &stride},
            {MPV_RENDER_PARAM_SW_POINTER, pixels_.data()},
            {MPV_RENDER_PARAM_BLOCK_FOR_TARGET_TIME, &block},
            {MPV_RENDER_PARAM_INVALID, nullptr},
        };
        mpv_render_context_render(render_, params);
        ++renders_;
    }

    mpv_handle* handle_ = nullptr;
    mpv_render_context* render_ = nullptr;
    std::atomic<bool> updated_{false};
    int renders_ = 0;
    bool restarted_ = false;
    std::vector<unsigned char> pixels_;
};

std::string Seconds(double seconds) {
    char text[64];
    std::snprintf(text, sizeof text, "%.6f", std::max(0.0, seconds));
    return text;
}

}  // namespace

int main(int argc, char** argv) {
    std::setlocale(LC_NUMERIC, "C");
    bench::CompareArguments arguments;
    if (!bench::ParseCompareArguments(argc, argv, arguments)) return 2;
    const char* file = arguments.file.c_str();
    BarePlayer player;
    bench::CompareTimes times;
    double origin = 0.0;
    auto seek = [&](int64_t frame) {
        std::string target = Seconds(origin + (static_cast<double>(frame) - 0.25) / arguments.fps);
        player.Do({"seek", target.c_str(), "absolute+exact"}, true);
    };
    std::vector<double> early;
    for (int i = 0; i < bench::kWarmUpOpens + bench::kOpens; ++i) {
        double open = bench::Milliseconds([&] { player.Do({"loadfile", file}, true); });
        if (i < bench::kWarmUpOpens) continue;
        times.open.push_back(open);
        origin = player.TimePos();
        for (size_t k = 0; k < std::min(bench::kEarlySeeks, arguments.targets.size()); ++k) {
            early.push_back(bench::Milliseconds([&] { seek(arguments.targets[k]); }));
        }
    }
    player.Do({"loadfile", file}, true);
    bench::RunSession(arguments, times, seek, [&](int delta) {
        player.Do({delta > 0 ? "frame-step" : "frame-back-step"}, false);
    });
    times.Print();
    std::printf("seek_early %.3f\n", bench::CompareTimes::Median(early));
    return 0;
}
