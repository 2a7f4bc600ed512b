// The caption project file (.ccp): magic "CCP1", the frame current at saving, the video path
// and a second path, then one record per caption holding its timing and its code string. All
// integers are little-endian; paths are UTF-8 bytes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "files/file.h"
#include "model/caption.h"
#include "model/caption_project.h"

namespace vantrel {

inline constexpr char kProjectMagic[4] = {'C', 'C', 'P', '1'};
constexpr size_t kRecordFixedSize = 12;  // length, mode, screen flag, start and end frames
constexpr size_t kMinRecordSize = 13;    // ... and the code string's zero byte
// The code string of a record is cut here, so that its length fits the 16-bit field.
constexpr size_t kRecordCodeCapacity = 65535 - kMinRecordSize;
// A path field's length is read as a signed 16-bit number.
constexpr size_t kMaxStoredPathLength = 0x7FFE;

// Appends the caption's record to `out`.
void WriteRecord(const Caption& caption, std::string& out);

enum class RecordRead {
    Read,
    OutOfRange,  // read whole, but starts outside 0 to kMaxEncodedFrame or ends before 0
    Damaged,     // the input ends inside the record, or its length is below 13
};

// Reads one record into `caption` (timing mode, screen flag, frames, and the code string
// rendered onto its screen).
RecordRead ReadRecord(Caption& caption, ByteInput& in);

struct ProjectHeader {
    int32_t currentFrame = 0;
    std::string videoPath;
    std::string secondPath;
    int32_t captionCount = 0;
};

enum class HeaderCheck {
    Valid,
    NotAProject,  // shorter than the magic, or another magic
    Damaged,      // cut inside the header, or a path length that is negative
};

HeaderCheck ReadProjectHeader(ByteInput& in, ProjectHeader& header);

// The whole project file; cut short once the project's cancel flag is raised.
std::string ProjectFileBytes(const CaptionProject& project, int32_t currentFrame);

// Writes the project as the file at `path` (a new file renamed over it), with the host's
// current frame; clears the modified flag when written. Failures are reported; a raised
// cancel flag writes nothing (Cancelled).
WriteResult SaveProject(CaptionProject& project, const std::string& path);

enum class LoadResult {
    Loaded,
    OpenFailed,   // reported; the project is untouched
    NotAProject,  // reported; the project is untouched
    Damaged,      // reported; the project is untouched
    Cancelled,    // the project's cancel flag was raised; untouched, nothing said
};

// Opens the project at `path`. The whole file is read before anything changes; once it is read
// the captions are replaced by the file's, the video is closed and the project's video is
// opened (looked up beside the project file when it isn't where the path says), the saved
// frame is made current, and the modified flag is cleared. A damaged record ends the captions
// there; the ones before it stay. Records whose frames are out of range are left out and
// counted in a message. A read error is OpenFailed with the system's reason.
LoadResult LoadProject(CaptionProject& project, const std::string& path);

// The same from an input (a file, or bytes in memory); `path` names the file in messages and
// is where relative video paths are looked up; it may be empty.
LoadResult LoadProject(CaptionProject& project, ByteInput& in, const std::string& path);

}  // namespace vantrel
