#include "app/autosave.h"

#include <cstdlib>
#include <ctime>

#include "app/file_dialog_requests.h"
#include "app/main_view.h"
#include "files/project_file.h"

namespace vantrel {

namespace {

constexpr std::chrono::seconds kInterval(30);

// The name of the file, or "an untitled project".
std::string ProjectName(const std::string& path) {
    if (path.empty()) return "an untitled project";
    const size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string LocalTime(std::time_t time) {
    std::tm local{};
    char text[64] = "";
    if (localtime_r(&time, &local) != nullptr) std::strftime(text, sizeof text, "%Y-%m-%d %H:%M", &local);
    return text;
}

}  // namespace

std::chrono::milliseconds Autosave::Interval() {
    const char* seconds = std::getenv("VANTREL_AUTOSAVE_SECONDS");
    const long value = seconds != nullptr ? std::strtol(seconds, nullptr, 10) : 0;
    return value > 0 ? std::chrono::seconds(value) : kInterval;
}

Autosave::Autosave(MainView& view, QObject* parent) : QObject(parent), view_(view) {
    connect(&timer_, &QTimer::timeout, this, &Autosave::Update);
}

bool Autosave::Start(const std::string& folder) {
    if (!files_.Claimed() && !files_.Claim(folder)) return false;
    timer_.start(Interval());
    return true;
}

void Autosave::Update() {
    const CaptionProject& project = view_.Project();
    if (!project.modified) {
        if (files_.Written()) Discard();
        return;
    }
    // A cancel request cuts the bytes short; the next tick writes them whole.
    if (!files_.Claimed() || CancelRaised(&project.cancel)) return;
    const std::string& path = view_.Files().ProjectPath();
    std::string bytes = ProjectFileBytes(project, view_.CurrentFrame(), path);
    bytes += '\0' + path;  // only for the comparison
    if (files_.Written() && bytes == written_) return;
    if (files_.Write(std::string_view(bytes).substr(0, bytes.size() - path.size() - 1), path)) {
        written_ = std::move(bytes);
    }
}

void Autosave::Discard() {
    files_.Remove();
    written_.clear();
}

bool OfferRecovery(MainView& view, Dialogs& dialogs, Autosave& autosave,
                   const std::string& folder) {
    for (LeftRecovery& left : FindLeftRecoveries(folder)) {
        const std::string path = left.ProjectPath();
        switch (
            dialogs.AskYesNoCancel(RecoverQuestion(ProjectName(path), LocalTime(left.Changed())))) {
            case Dialogs::Answer::Yes:
                if (!view.Files().RecoverProject(left.ProjectFile(), path)) continue;
                // Ours holds it before the one it came from goes.
                autosave.Update();
                if (autosave.Files().Written()) left.Discard();
                return true;
            case Dialogs::Answer::No:
                left.Discard();
                break;
            case Dialogs::Answer::Cancel:
                return false;
        }
    }
    return false;
}

}  // namespace vantrel
