// Runs one piece of work per file, each in a child process of its own, several at once: a file
// that crashes the reader, exhausts memory or hangs ends only its own process, and the others
// go on. What each child prints is caught and handed over whole when it ends, so that the
// messages of files worked on side by side are never interleaved.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

namespace vantrel::cli {

struct FileRun {
    int status = 0;        // the exit status; 1 for a child ended by a signal or not run
    int signal = 0;        // the signal that ended the child, 0 when it exited
    bool run = false;      // false for a file not started because the run was interrupted
    double seconds = 0.0;  // how long the child took
    std::string out, err;  // what it wrote to its standard output and error
};

// The processors this process may run on: the default number of files worked on at once.
int AvailableProcessors();

// Runs work(k) for each k below `count` in a child process, at most `jobs` at once, in order
// of k; the child's exit status is what work returns. `ended(k, run)` is called in this
// process as each child ends, in the order they end. Ctrl+C or SIGTERM starts no further
// child and passes SIGTERM on to the running ones (which stop cleanly); the files not started
// are returned with run false. The results are in order of k.
std::vector<FileRun> RunEachInChild(size_t count, int jobs, const std::function<int(size_t)>& work,
                                    const std::function<void(size_t, const FileRun&)>& ended);

}  // namespace vantrel::cli
