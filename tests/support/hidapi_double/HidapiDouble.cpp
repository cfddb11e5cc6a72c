#include "HidapiDouble.h"

#include <hidapi.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <memory>
#include <mutex>
#include <sstream>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

struct hid_device_
{
    std::string path;
    bool nonblocking = false;
    bool closed = false;
    int writesInside = 0;
};

namespace {

#ifdef _WIN32
constexpr int kOpenFlags = O_BINARY;
#else
constexpr int kOpenFlags = O_CLOEXEC;
#endif

struct Device
{
    unsigned short vendorId;
    unsigned short productId;
    std::string path;
};

// The injected faults: what the script says, and how much of it is used up.
struct Faults
{
    std::string text; // the script they were read from
    int openFailuresLeft = 0;
    int writeFailuresLeft = 0; // -1: every write fails
    int writeBlockMs = 0;
    int leaveAfterWrites = 0; // successful writes before the device leaves; 0: it stays
    int leaveForMs = 0;
    std::string gonePath;
    std::chrono::steady_clock::time_point goneUntil;
};

// A control file, read again only when stat() says it changed: the double checks its files
// at every call, and one stat costs less than an open, two reads and a close. Windows' stat
// has whole seconds only, so there the file is read every time.
class ControlFile
{
public:
    // The file's text; empty, with present false, when there is no such file.
    const std::string &current(const std::string &wanted, bool &present)
    {
        struct stat now
        {
        };
        const bool found = ::stat(wanted.c_str(), &now) == 0;
        if (!found || wanted != path || !sameFile(now, seen)) {
            path = wanted;
            seen = now;
            exists = found && readAll(wanted, text);
        }
        present = exists;
        return text;
    }

private:
    static bool sameFile(const struct stat &a, const struct stat &b)
    {
#ifdef _WIN32
        (void)a;
        (void)b;
        return false;
#else
        return a.st_ino == b.st_ino && a.st_size == b.st_size &&
               a.st_mtim.tv_sec == b.st_mtim.tv_sec && a.st_mtim.tv_nsec == b.st_mtim.tv_nsec;
#endif
    }
    static bool readAll(const std::string &file, std::string &out)
    {
        out.clear();
        std::ifstream in(file);
        if (!in)
            return false;
        std::ostringstream all;
        all << in.rdbuf();
        out = all.str();
        return true;
    }

    std::string path;
    bool exists = false;
    struct stat seen
    {
    };
    std::string text;
};

struct State
{
    std::mutex lock;
    std::condition_variable changed;
    std::vector<Device> devices;
    bool openFails = false;
    bool writeFails = false;
    bool holdWrites = false;
    int heldWrites = 0;
    std::vector<HidapiDouble::Write> writes;
    std::vector<std::string> openedPaths;
    HidapiDouble::Calls calls;
    // Closed handles are kept, not freed, so a late use is reported instead of crashing.
    std::vector<std::unique_ptr<hid_device>> handles;
    std::string scriptedFaults; // setFaults()
    Faults faults;
    ControlFile faultsFile;
    ControlFile devicesFile;
};

State &state()
{
    static State s;
    return s;
}

std::string controlDir()
{
    const char *dir = std::getenv("HIDAPI_DOUBLE_DIR");
    return dir ? std::string(dir) : std::string();
}

long long msSinceEpoch()
{
    using namespace std::chrono;
    return duration_cast<milliseconds>(system_clock::now().time_since_epoch()).count();
}

// One line per call, appended and closed at once so a test reading the file sees it whole.
// A single write() on an O_APPEND descriptor: what the real device costs is one write, and a
// heavier double would blur the program's own cost in the benchmarks.
void appendLine(const std::string &file, const std::string &text)
{
    const std::string line = std::to_string(msSinceEpoch()) + ' ' + text + '\n';
    const int fd = ::open(file.c_str(), O_WRONLY | O_APPEND | O_CREAT | kOpenFlags, 0644);
    if (fd < 0)
        return;
    const ssize_t written = ::write(fd, line.data(), line.size());
    (void)written;
    ::close(fd);
}

void logEvent(const std::string &what)
{
    const std::string dir = controlDir();
    if (!dir.empty())
        appendLine(dir + "/events", what);
}

std::vector<Device> parseDevices(const std::string &text)
{
    std::vector<Device> devices;
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line)) {
        std::istringstream fields(line);
        std::string vendor, product, path;
        if (!(fields >> vendor >> product) || vendor[0] == '#')
            continue;
        std::getline(fields >> std::ws, path);
        while (!path.empty() && (path.back() == '\r' || path.back() == ' '))
            path.pop_back();
        if (path.empty())
            continue;
        devices.push_back({static_cast<unsigned short>(std::strtoul(vendor.c_str(), nullptr, 16)),
                           static_cast<unsigned short>(std::strtoul(product.c_str(), nullptr, 16)),
                           path});
    }
    return devices;
}

std::string faultsScript(State &s)
{
    const std::string dir = controlDir();
    if (!dir.empty()) {
        bool present = false;
        const std::string &text = s.faultsFile.current(dir + "/faults", present);
        if (present)
            return text;
    }
    if (const char *env = std::getenv("HIDAPI_DOUBLE_FAULTS")) {
        std::string text(env);
        std::replace(text.begin(), text.end(), ';', '\n');
        return text;
    }
    return s.scriptedFaults;
}

Faults parseFaults(const std::string &text)
{
    Faults faults;
    faults.text = text;
    std::istringstream lines(text);
    std::string line;
    while (std::getline(lines, line)) {
        std::istringstream fields(line.substr(0, line.find('#')));
        std::string what;
        if (!(fields >> what))
            continue;
        int first = -1;
        int second = 0;
        fields >> first >> second;
        if (what == "open-fails")
            faults.openFailuresLeft = std::max(first, 0);
        else if (what == "write-fails")
            faults.writeFailuresLeft = first < 0 ? -1 : first;
        else if (what == "write-blocks")
            faults.writeBlockMs = std::max(first, 0);
        else if (what == "leave-after-writes" && first > 0) {
            faults.leaveAfterWrites = first;
            faults.leaveForMs = std::max(second, 0);
        }
    }
    return faults;
}

// Called under the lock by every open and write: a changed script starts afresh.
Faults &currentFaults(State &s)
{
    const std::string text = faultsScript(s);
    if (text != s.faults.text)
        s.faults = parseFaults(text);
    return s.faults;
}

// True while a device sent away by leave-after-writes is still gone; its return is logged
// when first noticed.
bool isAway(State &s, const std::string &path)
{
    Faults &f = s.faults;
    if (f.gonePath.empty() || f.gonePath != path)
        return false;
    if (std::chrono::steady_clock::now() < f.goneUntil)
        return true;
    logEvent("back " + path);
    f.gonePath.clear();
    return false;
}

// The devices present now: the control file when one is named, else what the test set up;
// without a device sent away by a fault.
std::vector<Device> presentDevices(State &s)
{
    const std::string dir = controlDir();
    bool present = false;
    std::vector<Device> devices =
        dir.empty() ? s.devices : parseDevices(s.devicesFile.current(dir + "/devices", present));
    devices.erase(std::remove_if(devices.begin(), devices.end(),
                                 [&](const Device &d) { return isAway(s, d.path); }),
                  devices.end());
    return devices;
}

bool isPresent(State &s, const std::string &path)
{
    const std::vector<Device> devices = presentDevices(s);
    return std::any_of(devices.begin(), devices.end(),
                       [&](const Device &d) { return d.path == path; });
}

std::string hex(const unsigned char *data, size_t length)
{
    static const char digits[] = "0123456789abcdef";
    std::string text;
    text.reserve(length * 2);
    for (size_t i = 0; i < length; ++i) {
        text += digits[data[i] >> 4];
        text += digits[data[i] & 0x0F];
    }
    return text;
}

} // namespace

namespace HidapiDouble {

void reset()
{
    State &s = state();
    std::lock_guard<std::mutex> guard(s.lock);
    s.devices.clear();
    s.openFails = s.writeFails = s.holdWrites = false;
    s.writes.clear();
    s.openedPaths.clear();
    s.calls = Calls();
    s.scriptedFaults.clear();
    s.faults = Faults();
    // Handles still inside a held write stay alive; everything else goes.
    s.handles.erase(
        std::remove_if(s.handles.begin(), s.handles.end(),
                       [](const std::unique_ptr<hid_device> &h) { return h->writesInside == 0; }),
        s.handles.end());
    s.changed.notify_all();
}

void addDevice(unsigned short vendorId, unsigned short productId, const std::string &path)
{
    State &s = state();
    std::lock_guard<std::mutex> guard(s.lock);
    s.devices.push_back({vendorId, productId, path});
}

void removeDevice(const std::string &path)
{
    State &s = state();
    std::lock_guard<std::mutex> guard(s.lock);
    s.devices.erase(std::remove_if(s.devices.begin(), s.devices.end(),
                                   [&](const Device &d) { return d.path == path; }),
                    s.devices.end());
}

void setOpenFails(bool fail)
{
    State &s = state();
    std::lock_guard<std::mutex> guard(s.lock);
    s.openFails = fail;
}

void setWriteFails(bool fail)
{
    State &s = state();
    std::lock_guard<std::mutex> guard(s.lock);
    s.writeFails = fail;
}

void setFaults(const std::string &script)
{
    State &s = state();
    std::lock_guard<std::mutex> guard(s.lock);
    s.scriptedFaults = script;
}

void setHoldWrites(bool hold)
{
    State &s = state();
    std::lock_guard<std::mutex> guard(s.lock);
    s.holdWrites = hold;
    s.changed.notify_all();
}

bool waitForHeldWrite(int timeoutMs)
{
    State &s = state();
    std::unique_lock<std::mutex> guard(s.lock);
    return s.changed.wait_for(guard, std::chrono::milliseconds(timeoutMs),
                              [&] { return s.heldWrites > 0; });
}

std::vector<Write> writes()
{
    State &s = state();
    std::lock_guard<std::mutex> guard(s.lock);
    return s.writes;
}

std::vector<std::string> openedPaths()
{
    State &s = state();
    std::lock_guard<std::mutex> guard(s.lock);
    return s.openedPaths;
}

Calls calls()
{
    State &s = state();
    std::lock_guard<std::mutex> guard(s.lock);
    return s.calls;
}

int openHandles()
{
    State &s = state();
    std::lock_guard<std::mutex> guard(s.lock);
    return static_cast<int>(
        std::count_if(s.handles.begin(), s.handles.end(),
                      [](const std::unique_ptr<hid_device> &h) { return !h->closed; }));
}

} // namespace HidapiDouble

int hid_init(void)
{
    State &s = state();
    std::lock_guard<std::mutex> guard(s.lock);
    ++s.calls.init;
    return 0;
}

int hid_exit(void)
{
    State &s = state();
    std::lock_guard<std::mutex> guard(s.lock);
    ++s.calls.exit;
    logEvent("exit");
    return 0;
}

struct hid_device_info *hid_enumerate(unsigned short vendor_id, unsigned short product_id)
{
    State &s = state();
    std::lock_guard<std::mutex> guard(s.lock);
    ++s.calls.enumerate;
    hid_device_info *first = nullptr;
    hid_device_info **tail = &first;
    for (const Device &d : presentDevices(s)) {
        if ((vendor_id != 0 && vendor_id != d.vendorId) ||
            (product_id != 0 && product_id != d.productId))
            continue;
        auto *info = static_cast<hid_device_info *>(std::calloc(1, sizeof(hid_device_info)));
        if (!info)
            break;
        info->path = strdup(d.path.c_str());
        info->vendor_id = d.vendorId;
        info->product_id = d.productId;
        info->bus_type = HID_API_BUS_USB;
        *tail = info;
        tail = &info->next;
    }
    return first;
}

void hid_free_enumeration(struct hid_device_info *devs)
{
    State &s = state();
    {
        std::lock_guard<std::mutex> guard(s.lock);
        ++s.calls.freeEnumeration;
    }
    while (devs) {
        hid_device_info *next = devs->next;
        std::free(devs->path);
        std::free(devs);
        devs = next;
    }
}

hid_device *hid_open_path(const char *path)
{
    State &s = state();
    std::lock_guard<std::mutex> guard(s.lock);
    ++s.calls.openPath;
    const std::string wanted = path ? path : "";
    Faults &faults = currentFaults(s);
    const bool injected = faults.openFailuresLeft > 0;
    if (injected)
        --faults.openFailuresLeft;
    if (s.openFails || injected || !isPresent(s, wanted)) {
        logEvent("open-failed " + wanted);
        return nullptr;
    }
    s.handles.push_back(std::make_unique<hid_device>());
    s.handles.back()->path = wanted;
    s.openedPaths.push_back(wanted);
    logEvent("open " + wanted);
    return s.handles.back().get();
}

int hid_set_nonblocking(hid_device *dev, int nonblock)
{
    State &s = state();
    std::lock_guard<std::mutex> guard(s.lock);
    ++s.calls.setNonblocking;
    if (!dev || dev->closed) {
        ++s.calls.misuse;
        return -1;
    }
    dev->nonblocking = nonblock != 0;
    return 0;
}

int hid_write(hid_device *dev, const unsigned char *data, size_t length)
{
    State &s = state();
    std::unique_lock<std::mutex> guard(s.lock);
    if (!dev || dev->closed) {
        ++s.calls.misuse;
        return -1;
    }
    ++dev->writesInside;
    if (s.holdWrites) {
        ++s.heldWrites;
        s.changed.notify_all();
        s.changed.wait(guard, [&] { return !s.holdWrites; });
        --s.heldWrites;
    }
    Faults &faults = currentFaults(s);
    if (faults.writeBlockMs > 0) {
        // A display that stalls: the call returns late, the lock is not held meanwhile.
        logEvent("write-blocked " + dev->path);
        const auto until =
            std::chrono::steady_clock::now() + std::chrono::milliseconds(faults.writeBlockMs);
        s.changed.wait_until(guard, until,
                             [&] { return std::chrono::steady_clock::now() >= until; });
    }
    --dev->writesInside;
    if (dev->closed) {
        ++s.calls.misuse;
        return -1;
    }
    Faults &now = currentFaults(s);
    const bool injected = now.writeFailuresLeft != 0;
    if (now.writeFailuresLeft > 0)
        --now.writeFailuresLeft;
    if (s.writeFails || injected || !isPresent(s, dev->path)) {
        ++s.calls.failedWrites;
        logEvent("write-failed " + dev->path);
        return -1;
    }
    if (now.leaveAfterWrites > 0 && --now.leaveAfterWrites == 0) {
        // This write still got through; the device is gone from the next call on.
        now.gonePath = dev->path;
        now.goneUntil =
            std::chrono::steady_clock::now() + std::chrono::milliseconds(now.leaveForMs);
        logEvent("leave " + dev->path);
    }
    HidapiDouble::Write record;
    record.path = dev->path;
    record.bytes.assign(data, data + length);
    record.nonblocking = dev->nonblocking;
    record.at = std::chrono::steady_clock::now();
    s.writes.push_back(std::move(record));
    const std::string dir = controlDir();
    if (!dir.empty())
        appendLine(dir + "/writes", hex(data, length));
    return static_cast<int>(length);
}

void hid_close(hid_device *dev)
{
    State &s = state();
    std::lock_guard<std::mutex> guard(s.lock);
    ++s.calls.close;
    if (!dev || dev->closed || dev->writesInside > 0)
        ++s.calls.misuse;
    if (!dev)
        return;
    dev->closed = true;
    logEvent("close " + dev->path);
}

const wchar_t *hid_error(hid_device *)
{
    return L"hidapi test double";
}
