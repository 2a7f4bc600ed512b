// The caption project file (.ccp): magic "CCP1", the frame current at saving, the video path
// and a second path, then one record per caption holding its timing and its code string. All
// integers are little-endian; paths are UTF-8 bytes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "codec/encoder.h"
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

struct ProjectHeader {
    int32_t currentFrame = 0;
    std::string videoPath;
    std::string secondPath;
    int32_t captionCount = 0;
};

enum class HeaderCheck {
    Valid,
    NotAProject,  // shorter than the magic, or another magic
    Damaged,      // cut inside the header, a path length or the caption count negative
};

// Reads the header alone.
HeaderCheck ReadProjectHeader(ByteInput& in, ProjectHeader& header);

// The first thing found wrong in a project file whose magic is right.
struct ProjectDamage {
    enum Kind {
        None,
        HeaderCut,          // the file ends inside the header
        NegativePath,       // a path length of the header is negative
        NegativeCount,      // value: the caption count
        EndsBeforeRecord,   // the file ends before record `record`
        EndsInsideRecord,   // ... inside it
        RecordTooShort,     // value: its length, below 13
        BadTimingMode,      // value: not 1 to 4
        StartOutOfRange,    // value: the start frame, outside 0 to kMaxEncodedFrame
        EndBeforeStart,     // value: the end frame, below `start`
        EndOutOfRange,      // value: the end frame, past kMaxCaptionEndFrame
        SameStart,          // value: the start frame, that of record `earlier` too
        BytesAfterRecords,  // the file goes on after the last record
    };
    Kind kind = None;
    int64_t record = 0;  // the damaged record, counted from 1; 0 for the header
    int64_t count = 0;   // the records the header announces
    int64_t value = 0;
    int64_t start = 0;
    int64_t earlier = 0;
};

// A project file as read: its header, the captions of the records before the first damaged
// one (of all of them when none is), and that damage.
struct ProjectContent {
    ProjectHeader header;
    CaptionList captions;
    ProjectDamage damage;
};

// The video path as the project file at `projectPath` stores it. A project whose file gave it
// a relative path keeps one, from the folder it is saved in now, so that a project moved with
// its video, or saved as a copy elsewhere, still finds it (whole when there is no `projectPath`).
std::string StoredVideoPath(const CaptionProject& project, const std::string& projectPath);

// The whole project file, as it is written at `projectPath`; cut short once the project's
// cancel flag is raised.
std::string ProjectFileBytes(const CaptionProject& project, int32_t currentFrame,
                             const std::string& projectPath = {});

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

// Opens the project at `path`. The whole file is read and every record checked before
// anything changes: a record must arrive whole, be at least 13 bytes long, have a timing mode
// from 1 to 4, start from 0 to kMaxEncodedFrame on a frame no other record starts on (the
// caption before it would be timed to end before it starts), and end neither before its
// start (a caption may end on the frame it starts on: an empty Normal caption, or a Persistent
// one a frame before the next) nor past kMaxCaptionEndFrame; the file must hold as many
// records as its header counts and nothing after them. The first damage found is reported,
// naming the record and what is wrong with it, and nothing is replaced (Damaged). Once all is
// valid the content is taken as by TakeProjectContent and the modified flag is cleared; as the
// captions go into the list, each is timed again by the one after it, as the editor does.
// A read error is OpenFailed with the system's reason.
// With `read`, the caller gets the header (when Damaged, as far as it was read) and, when
// Damaged, the captions of the records before the damaged one and the damage.
LoadResult LoadProject(CaptionProject& project, const std::string& path,
                       ProjectContent* read = nullptr);

// The same from an input (a file, or bytes in memory); `path` names the file in messages and
// is where relative video paths are looked up; it may be empty.
LoadResult LoadProject(CaptionProject& project, ByteInput& in, const std::string& path,
                       ProjectContent* read = nullptr);

// Makes what was read of the project file at `path` the project: its captions replace the
// project's (`content` keeps none), the video is closed and the header's video opened (looked
// up beside the project file when it isn't where the path says), and the saved frame is made
// current. The modified flag is left to the caller.
void TakeProjectContent(CaptionProject& project, ProjectContent& content, const std::string& path);

}  // namespace vantrel
