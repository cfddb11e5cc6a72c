#pragma once
// A stand-in for hidapi (hidraw back end) that the transport's tests link instead of the real
// library. It implements hid_init, hid_exit, hid_enumerate, hid_free_enumeration,
// hid_open_path, hid_set_nonblocking, hid_write and hid_close, and lets a test decide which
// devices exist, record what was written, make opens and writes fail and hold a write inside
// hid_write.
//
// The same code is built as libhidapi-hidraw.so.0 (build/tests/hidapi-double/) for driving the
// real executable through LD_LIBRARY_PATH. When the environment names a folder in
// HIDAPI_DOUBLE_DIR, the double is steered through files in it:
//
//   $HIDAPI_DOUBLE_DIR/devices  one device per line: "<hex vendor> <hex product> <path>",
//                               for example "5131 2007 /dev/hidraw3"; blank lines and lines
//                               starting with '#' are skipped; the path is the rest of the line.
//                               Read anew by every hid_enumerate, hid_open_path and hid_write: a
//                               device whose line is gone cannot be opened and writes to it fail.
//                               A missing file means no devices.
//   $HIDAPI_DOUBLE_DIR/writes   every successful hid_write appends one line
//                               "<ms since epoch> <130 lower-case hex digits>" (the 65 bytes,
//                               report number first).
//   $HIDAPI_DOUBLE_DIR/events   one line per call that changes state:
//                               "<ms since epoch> open <path>", "... open-failed <path>",
//                               "... close <path>", "... write-failed <path>", "... exit",
//                               and for the faults below "... write-blocked <path>",
//                               "... leave <path>", "... back <path>".
//   $HIDAPI_DOUBLE_DIR/faults   faults to inject, one per line ('#' starts a comment); read
//                               anew by every open and write, and each time its text changes
//                               the counts start afresh:
//                                 open-fails N      the next N hid_open_path calls fail
//                                 write-fails [N]   the next N hid_write calls fail (all
//                                                   without N)
//                                 write-blocks MS   every hid_write waits MS ms inside the
//                                                   call, then succeeds
//                                 leave-after-writes N MS
//                                                   after N more successful writes the
//                                                   device leaves for MS ms (not listed,
//                                                   opens and writes fail), then returns
//                               Without the file, HIDAPI_DOUBLE_FAULTS holds the same lines
//                               separated by ';' (faults from the program's very start).
//
// Lines are appended with one write() each, so a reader never sees half a line. Without
// HIDAPI_DOUBLE_DIR the devices come from addDevice() below; writes are recorded in memory in
// both modes.

#include <chrono>
#include <string>
#include <vector>

namespace HidapiDouble {

struct Write
{
    std::string path;
    std::vector<unsigned char> bytes; // exactly the length passed to hid_write
    bool nonblocking = false;         // the handle's mode at the time of the write
    std::chrono::steady_clock::time_point at;
};

struct Calls
{
    int init = 0;
    int exit = 0;
    int enumerate = 0;
    int freeEnumeration = 0;
    int openPath = 0;
    int setNonblocking = 0;
    int close = 0;
    int failedWrites = 0;
    // A write, mode change or close on a handle that was already closed, or a close while a
    // write on the same handle is still inside hid_write.
    int misuse = 0;
};

// Back to no devices, no failures, no records; handles from earlier tests are forgotten.
void reset();

void addDevice(unsigned short vendorId, unsigned short productId, const std::string &path);
// The device vanishes: it is no longer listed, opens fail and writes to open handles fail.
void removeDevice(const std::string &path);

void setOpenFails(bool fail);
void setWriteFails(bool fail);
// Faults in the syntax of the faults file, for a double steered in-process; the file and the
// environment variable take precedence.
void setFaults(const std::string &script);

// While held, every hid_write waits inside the call until released.
void setHoldWrites(bool hold);
// True once a hid_write is waiting inside the call; false after the timeout.
bool waitForHeldWrite(int timeoutMs);

std::vector<Write> writes();            // successful writes, oldest first
std::vector<std::string> openedPaths(); // paths of successful hid_open_path calls, in order
Calls calls();
int openHandles();

} // namespace HidapiDouble
