#ifndef MESSAGEFILTER_H
#define MESSAGEFILTER_H

// The one filter every message passes on its way to the handler in place.
namespace MessageFilter {

// In front of the handler in place, once: installed again in front of a
// handler that passes messages back to it, each would call the other without
// end. A test program installs it after the test framework's handler. Under
// the offscreen platform (tests, benchmarks, screenshots) it drops the
// platform's notes of what it cannot do for a window.
void install();

// While it lives, this thread's warning that a lock file could not be removed
// is dropped: the file is gone, as with its folder, and nothing is left to remove.
class GoneLockFile
{
public:
    GoneLockFile();
    ~GoneLockFile();
    GoneLockFile(const GoneLockFile&) = delete;
    GoneLockFile& operator=(const GoneLockFile&) = delete;
};

}

#endif
