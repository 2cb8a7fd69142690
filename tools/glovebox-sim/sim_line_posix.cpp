// The simulated box's end of the line is the master side of a pseudo-terminal;
// the program under test opens the slave side, through a Wine prefix's
// dosdevices link when it runs under Wine.
#include "sim_line.h"

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

static int Master = -1;
static volatile int *StopFlag;
static int Slave = -1;
static std::string LinkPath;
static std::string SlavePath;

static bool Fail(std::string *error, const std::string &what)
{
    *error = what + ": " + std::strerror(errno);
    return false;
}

// Raw mode: no echo of what the box is sent and no translation of line ends,
// so every byte crosses the pty unchanged.
static void MakeRaw(int fd)
{
    termios settings;
    if (tcgetattr(fd, &settings) == 0) {
        cfmakeraw(&settings);
        tcsetattr(fd, TCSANOW, &settings);
    }
}

// The pty becomes the controlling terminal of a session of the simulator's.
// Otherwise the first session leader that opens the slave without O_NOCTTY,
// such as the Wine server, takes it as its terminal and is sent SIGHUP when
// the simulator ends. A process group leader (a job started by an interactive
// shell), or one that leads its session already and opens its line again,
// cannot start a session, so a child holds the terminal instead. The child
// ends with its parent, or when the line closes and hangs up its terminal,
// not by the stop handlers it inherited, and keeps no master of its own open,
// which would keep the line from closing.
static void TakeTerminal()
{
    if (setsid() >= 0) {
        ioctl(Slave, TIOCSCTTY, 0);
        return;
    }
    if (fork() != 0)
        return;
    close(Master);
    signal(SIGTERM, SIG_DFL);
    signal(SIGHUP, SIG_DFL);
    prctl(PR_SET_PDEATHSIG, SIGTERM);
    if (setsid() >= 0 && ioctl(Slave, TIOCSCTTY, 0) == 0)
        for (;;)
            pause();
    _exit(0);
}

static bool LinkIntoPrefix(const LineOptions &options, std::string *error)
{
    std::string dir = options.winePrefix + "/dosdevices";
    struct stat info;
    if (stat(dir.c_str(), &info) != 0 || !S_ISDIR(info.st_mode))
        return Fail(error, "no Wine prefix at " + options.winePrefix);
    LinkPath = dir + "/com" + std::to_string(options.comNumber);
    unlink(LinkPath.c_str());
    if (symlink(SlavePath.c_str(), LinkPath.c_str()) != 0)
        return Fail(error, "cannot link " + LinkPath);
    return true;
}

bool OpenLine(const LineOptions &options, std::string *where, std::string *error)
{
    Master = posix_openpt(O_RDWR | O_NOCTTY);
    if (Master < 0 || grantpt(Master) != 0 || unlockpt(Master) != 0)
        return Fail(error, "cannot make a pseudo-terminal");
    SlavePath = ptsname(Master);
    // The slave stays open for the simulator's whole run: a master whose
    // slave is closed reads nothing but errors.
    Slave = open(SlavePath.c_str(), O_RDWR | O_NOCTTY);
    if (Slave < 0)
        return Fail(error, "cannot open " + SlavePath);
    MakeRaw(Slave);
    TakeTerminal();
    if (!options.winePrefix.empty() && !LinkIntoPrefix(options, error))
        return false;
    *where = LinkPath.empty() ? SlavePath
                              : "COM" + std::to_string(options.comNumber) + " (" + LinkPath +
                                    " -> " + SlavePath + ")";
    return true;
}

long ReadLine(uint8_t *buffer, size_t capacity, unsigned timeoutMs)
{
    pollfd p = {Master, POLLIN, 0};
    int ready = poll(&p, 1, (int)timeoutMs);
    if (ready < 0)
        return errno == EINTR ? 0 : -1;
    if (ready == 0)
        return 0;
    ssize_t n = read(Master, buffer, capacity);
    if (n < 0)
        return errno == EINTR || errno == EAGAIN ? 0 : -1;
    return (long)n;
}

// A pty holds only a few kilobytes that nobody has read; a write then waits
// until the program reads, or until the simulator is told to stop.
bool WriteLine(const uint8_t *bytes, size_t count)
{
    while (count > 0) {
        ssize_t n = write(Master, bytes, count);
        if (n < 0 && errno == EINTR && !*StopFlag)
            continue;
        if (n <= 0)
            return false;
        bytes += n;
        count -= (size_t)n;
    }
    return true;
}

void DrainLine(unsigned timeoutMs)
{
    int pending = 0;
    for (unsigned waited = 0; waited < timeoutMs; waited += 10) {
        if (ioctl(Slave, FIONREAD, &pending) != 0 || pending == 0)
            return;
        usleep(10000);
    }
}

// Removes the link only while it still points at this run's pty, so that a
// newer simulator's link to the same COM port is left alone. Closing the pty
// hangs up its session, which this process may lead; the hang-up is ignored,
// as the line may be opened again.
void CloseLine()
{
    char target[256];
    ssize_t n = LinkPath.empty() ? -1 : readlink(LinkPath.c_str(), target, sizeof target - 1);
    if (n > 0) {
        target[n] = '\0';
        if (SlavePath == target)
            unlink(LinkPath.c_str());
    }
    struct sigaction ignore = {}, previous;
    ignore.sa_handler = SIG_IGN;
    sigaction(SIGHUP, &ignore, &previous);
    close(Slave);
    close(Master);
    Slave = Master = -1;
    sigaction(SIGHUP, &previous, nullptr);
}

static void OnStopSignal(int)
{
    *StopFlag = 1;
}

void CatchStopSignals(volatile int *stopFlag)
{
    StopFlag = stopFlag;
    struct sigaction action = {};
    action.sa_handler = OnStopSignal;
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGHUP, &action, nullptr);
}
