// What was computed from a video (its sound's peaks, its shot-change scores), kept between runs
// in the user's cache folder. An entry is keyed by the video's path, size and modification time
// and by the settings it was computed with; one that no longer matches, or is damaged, is not
// used.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace vantrel {

// $XDG_CACHE_HOME/vantrel/media, or ~/.cache/vantrel/media; "" when neither is known.
std::string DefaultMediaCacheFolder();

// The bytes kept for `video` under `kind` (a short name, with the settings that shaped them);
// nothing when there is no entry, or it is stale or damaged.
std::optional<std::string> LoadMediaCache(const std::string& folder, const std::string& video,
                                          std::string_view kind);
// Keeps `bytes` for `video` under `kind` in `folder` (made when missing); false when nothing
// could be kept.
bool StoreMediaCache(const std::string& folder, const std::string& video, std::string_view kind,
                     std::string_view bytes);

}  // namespace vantrel
