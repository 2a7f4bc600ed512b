#include <dlfcn.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <vector>

#include "carriers/video_module.h"
#include "files/file_messages.h"

// Defined when the module's code is linked into the program itself.
extern "C" const vantrel::VideoFunctions* vantrel_video_functions() __attribute__((weak));

namespace vantrel {

namespace {

struct Loaded {
    const VideoFunctions* functions = nullptr;
    std::string error;
};

std::filesystem::path ProgramFolder() {
    std::error_code error;
    const std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", error);
    return error ? std::filesystem::path() : program.parent_path();
}

// Where the module is looked for, in order. The build folder only for a program inside it, so
// that an installed program never loads from a build folder.
std::vector<std::string> Candidates() {
    if (const char* named = std::getenv(kVideoModuleVariable); named != nullptr && *named) {
        return {named};
    }
    std::vector<std::string> places;
    const std::filesystem::path folder = ProgramFolder();
    if (!folder.empty()) places.push_back(folder / kVideoModuleName);
    places.push_back(std::filesystem::path(VANTREL_MODULE_DIR) / kVideoModuleName);
    const std::filesystem::path build(VANTREL_BUILD_DIR);
    const std::string inside = folder.lexically_relative(build).string();
    if (!folder.empty() && folder != build && !inside.empty() && !inside.starts_with("..")) {
        places.push_back(build / kVideoModuleName);
    }
    return places;
}

Loaded Load() {
    if (vantrel_video_functions != nullptr) return {vantrel_video_functions(), ""};
    std::vector<std::string> tried;
    std::string reason;
    for (const std::string& path : Candidates()) {
        tried.push_back(path);
        // Never unloaded: its functions are handed out for the rest of the run.
        void* module = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
        if (module == nullptr) {
            if (reason.empty() && ::access(path.c_str(), F_OK) == 0) reason = ::dlerror();
            continue;
        }
        using Entry = const VideoFunctions* (*)();
        const auto entry = reinterpret_cast<Entry>(::dlsym(module, "vantrel_video_functions"));
        if (entry != nullptr) return {entry(), ""};
        if (reason.empty()) reason = path + " is not Vantrel's video module";
    }
    return {nullptr, VideoModuleMissingText(kVideoModuleName, tried, reason)};
}

}  // namespace

const VideoFunctions* VideoModule(std::string& error) {
    static const Loaded loaded = Load();
    error = loaded.error;
    return loaded.functions;
}

}  // namespace vantrel
