// A main view with no sound device, answering from scripted dialogs, and what its video window
// shows; and the same view with the numbered video of the test's container open.
#pragma once

#include <gtest/gtest.h>

#include "app/main_view.h"
#include "scripted_dialogs.h"
#include "test_media.h"
#include "video/video_window.h"

namespace vantrel::test {

class ViewFixture {
  protected:
    int Shown() { return ReadFrameNumber(view_.Video().grab().toImage()); }
    bool ShowsGrey() { return IsUniform(view_.Video().grab().toImage(), kNoVideoColor.rgb()); }

    ScriptedDialogs dialogs_;
    MainView view_{dialogs_, nullptr, QuietPlayer()};
};

class ContainerFixture : public ::testing::TestWithParam<std::string>, public ViewFixture {
  protected:
    void SetUp() override {
        if (!HaveFfmpeg()) GTEST_SKIP() << "ffmpeg is not installed";
        path_ = NumberedVideo(GetParam());
        ASSERT_FALSE(path_.empty()) << "ffmpeg could not make the ." << GetParam() << " video";
        view_.OpenVideo(path_);
        ASSERT_TRUE(view_.HasVideo());
        ASSERT_TRUE(WaitIdle(view_.Player()));
    }

    std::string path_;
};

}  // namespace vantrel::test
