// Frame indexes kept between runs in the user's cache folder, so that reopening a long programme
// costs what a short file costs. An entry is keyed by the video's path, size and modification
// time; one that no longer matches its video, or is damaged, is not used.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "video/frame_index.h"

namespace vantrel {

// The folder of the user's cache that holds them.
std::string DefaultIndexCacheFolder();

// The whole index kept for `video` in `folder`; none when there is no entry, or it is stale or
// damaged.
std::shared_ptr<const FrameIndex> LoadCachedIndex(const std::string& folder,
                                                  const std::string& video);
// Keeps the whole index of `video` in `folder` (made when missing); a failure keeps nothing.
void StoreCachedIndex(const std::string& folder, const std::string& video, const FrameIndex& index);

}  // namespace vantrel
