#!/usr/bin/python3
"""Serial ports for programs under Wine, made of Linux pseudo-terminals.

Each PORT argument links $WINEPREFIX/dosdevices/comN to something:

  A:B     two pseudo-terminals joined as a null modem: what a program writes
          to COMA arrives at COMB and the other way round
  N       a pseudo-terminal with nothing attached: it opens, takes what is
          written to it and never receives anything
  N=PATH  an existing file or device, e.g. /dev/null for a device that opens
          but is no serial port; the helper does not open it

With --control N, COMN answers requests, one per line:

  LINE n     ->  "LINE n <baud> <data bits> <stop bits> <parity> <flow>"
                 the line settings that the port COMn holds right now; parity
                 is N, O, E, M or S, flow is H (RTS/CTS), X (XON/XOFF in either
                 direction), HX or -. A pseudo-terminal always reads back 8 data
                 bits and no parity.
  HOLD n     ->  "OK"  COMn's output stops, as a held handshake line would stop
                 it: what a program writes to COMn waits until RELEASE n
  RELEASE n  ->  "OK"  COMn's output goes on
  XONXOFF n  ->  "OK"  COMn's device gets XON/XOFF in both directions, as an
                 earlier program might have left it
  (other)    ->  "ERROR"

Every pseudo-terminal starts raw at 38400 baud and is held open by a small
process in a session of its own, whose controlling terminal it is: otherwise
the first Wine process to open it, a session leader with no terminal, would
take it as its own and be hung up when it closes. The links are removed and
the holders end when the helper gets SIGTERM or SIGINT.

usage: null_modem.py run   --prefix WINEPREFIX [--control N] PORT...
       null_modem.py start --prefix WINEPREFIX --pidfile FILE [--control N] PORT...
       null_modem.py stop  --pidfile FILE
"run" stays in the foreground; "start" returns once the ports exist and
leaves the helper running in the background until "stop".
"""

import argparse
import fcntl
import os
import select
import signal
import sys
import termios
import time
import tty

SPEEDS = {getattr(termios, name): int(name[1:])
          for name in dir(termios) if name[0] == "B" and name[1:].isdigit()}
SIZES = {termios.CS5: 5, termios.CS6: 6, termios.CS7: 7, termios.CS8: 8}
CMSPAR = 0o10000000000

# Control requests that change a port, and what they do to it.
CHANGES = {
    "HOLD": lambda port: port.hold_output(True),
    "RELEASE": lambda port: port.hold_output(False),
    "XONXOFF": lambda port: port.switch_xonxoff_on(),
}


class Pty:
    """A pseudo-terminal whose slave is linked as COMn and held open."""

    def __init__(self, number):
        self.number = number
        self.master, slave = os.openpty()
        tty.setraw(slave)
        self.path = os.ttyname(slave)
        self.holder = hold_in_own_session(slave)
        os.close(slave)
        self.peer = None  # the Pty that receives what this one's master reads

    def line_settings(self):
        """Baud, data bits, stop bits and parity as the device now has them.
        On Linux the termios calls on a master act on its slave."""
        attributes = termios.tcgetattr(self.master)
        iflag, cflag, ospeed = attributes[0], attributes[2], attributes[5]
        parity = "N"
        if cflag & termios.PARENB:
            odd = bool(cflag & termios.PARODD)
            parity = ("M" if odd else "S") if cflag & CMSPAR else ("O" if odd else "E")
        stop = 2 if cflag & termios.CSTOPB else 1
        xonxoff = iflag & (termios.IXON | termios.IXOFF)
        flow = ("H" if cflag & termios.CRTSCTS else "") + ("X" if xonxoff else "")
        return "%d %d %d %s %s" % (SPEEDS.get(ospeed, 0), SIZES[cflag & termios.CSIZE], stop,
                                   parity, flow or "-")

    def hold_output(self, held):
        """Stops or restarts what the slave sends. Unlike the termios
        settings, this takes effect only through the slave itself."""
        slave = os.open(self.path, os.O_RDWR | os.O_NOCTTY)
        try:
            termios.tcflow(slave, termios.TCOOFF if held else termios.TCOON)
        finally:
            os.close(slave)

    def switch_xonxoff_on(self):
        attributes = termios.tcgetattr(self.master)
        attributes[0] |= termios.IXON | termios.IXOFF
        termios.tcsetattr(self.master, termios.TCSANOW, attributes)


def hold_in_own_session(slave):
    """Forks a process that makes the slave its controlling terminal and
    keeps it open until the returned pipe end is closed."""
    wait, release = os.pipe()
    pid = os.fork()
    if pid == 0:
        try:
            for fd in map(int, os.listdir("/proc/self/fd")):
                if fd > 2 and fd not in (slave, wait):
                    try:
                        os.close(fd)
                    except OSError:
                        pass
            signal.signal(signal.SIGTERM, signal.SIG_IGN)
            signal.signal(signal.SIGINT, signal.SIG_IGN)
            os.setsid()
            fcntl.ioctl(slave, termios.TIOCSCTTY, 0)
            os.read(wait, 1)
        finally:
            os._exit(0)
    os.close(wait)
    return pid, release


class Helper:
    def __init__(self, prefix):
        self.dosdevices = os.path.join(prefix, "dosdevices")
        self.ptys = {}
        self.links = []
        self.control = None
        self.request = b""

    def make_ports(self, ports, control):
        os.makedirs(self.dosdevices, exist_ok=True)
        for port in ports:
            self.add(port)
        if control is not None:
            self.control = self.make_pty(control)

    def make_pty(self, number):
        p = Pty(number)
        self.ptys[p.master] = p
        self.link(number, p.path)
        return p

    def add(self, port):
        if "=" in port:
            number, path = port.split("=", 1)
            self.link(int(number), path)
        elif ":" in port:
            a, b = (self.make_pty(int(n)) for n in port.split(":", 1))
            a.peer, b.peer = b, a
        else:
            self.make_pty(int(port))

    def link(self, number, target):
        name = os.path.join(self.dosdevices, "com%d" % number)
        if os.path.islink(name):
            os.unlink(name)
        os.symlink(target, name)
        self.links.append((name, target))

    def answer(self, line):
        words = line.split()
        ports = {p.number: p for p in self.ptys.values() if p is not self.control}
        if len(words) != 2 or not words[1].isdigit() or int(words[1]) not in ports:
            return "ERROR\n"
        port = ports[int(words[1])]
        if words[0] == "LINE":
            return "LINE %s %s\n" % (words[1], port.line_settings())
        if words[0] not in CHANGES:
            return "ERROR\n"
        CHANGES[words[0]](port)
        return "OK\n"

    def serve_control(self, data):
        self.request += data
        while b"\n" in self.request:
            line, self.request = self.request.split(b"\n", 1)
            reply = self.answer(line.decode("ascii", "replace"))
            os.write(self.control.master, reply.encode("ascii"))

    def relay(self):
        reading = list(self.ptys)
        while True:
            ready, _, _ = select.select(reading, [], [])
            for fd in ready:
                try:
                    data = os.read(fd, 4096)
                except OSError:
                    # No slave is open any more (its holder died): the port is gone.
                    reading.remove(fd)
                    continue
                p = self.ptys[fd]
                if p is self.control:
                    self.serve_control(data)
                elif p.peer is not None:
                    os.write(p.peer.master, data)

    def close(self):
        for name, target in self.links:
            if os.path.islink(name) and os.readlink(name) == target:
                os.unlink(name)
        for p in self.ptys.values():
            os.close(p.holder[1])
            os.close(p.master)
        for p in self.ptys.values():
            os.waitpid(p.holder[0], 0)


def stop_on_signal(signum, frame):
    raise SystemExit(0)


def run(args, ready=None):
    signal.signal(signal.SIGTERM, stop_on_signal)
    signal.signal(signal.SIGINT, stop_on_signal)
    helper = Helper(args.prefix)
    try:
        helper.make_ports(args.ports, args.control)
        if args.pidfile:
            with open(args.pidfile, "w") as f:
                f.write("%d\n" % os.getpid())
        if ready is not None:
            os.write(ready, b"ok\n")
            os.close(ready)
            ready = None
        helper.relay()
    except Exception as e:
        if ready is not None:
            os.write(ready, ("%s\n" % e).encode())
        raise
    finally:
        helper.close()
        if args.pidfile and os.path.exists(args.pidfile):
            os.unlink(args.pidfile)


def start(args):
    """Runs the helper detached from the caller's session and output, and
    returns once its ports exist."""
    ready, tell = os.pipe()
    first = os.fork()
    if first == 0:
        # A second fork leaves the helper outside the new session's lead, so
        # that opening its pseudo-terminals cannot make one its terminal.
        os.close(ready)
        os.setsid()
        if os.fork() != 0:
            os._exit(0)
        null = os.open(os.devnull, os.O_RDWR)
        for fd in (0, 1, 2):
            os.dup2(null, fd)
        try:
            run(args, tell)
        finally:
            os._exit(0)
    os.close(tell)
    os.waitpid(first, 0)
    answer = os.read(ready, 4096).decode().strip()
    if answer != "ok":
        sys.exit("null_modem: %s" % (answer or "helper ended before its ports were ready"))


def stop(args):
    try:
        with open(args.pidfile) as f:
            pid = int(f.read())
    except FileNotFoundError:
        return
    try:
        os.kill(pid, signal.SIGTERM)
    except ProcessLookupError:
        return
    deadline = time.monotonic() + 5
    while os.path.exists(args.pidfile) and time.monotonic() < deadline:
        time.sleep(0.01)
    if os.path.exists(args.pidfile):
        sys.exit("null_modem: helper %d did not stop" % pid)


def main():
    parser = argparse.ArgumentParser(description="Pseudo-terminal serial ports for Wine.")
    parser.add_argument("command", choices=["run", "start", "stop"])
    parser.add_argument("--prefix", help="the Wine prefix whose dosdevices get the links")
    parser.add_argument("--pidfile", help="holds the helper's process id while it runs")
    parser.add_argument("--control", type=int, help="number of the port that answers requests")
    parser.add_argument("ports", nargs="*", metavar="PORT", help="A:B, N or N=PATH")
    args = parser.parse_intermixed_args()
    if args.command == "stop":
        if not args.pidfile:
            parser.error("stop needs --pidfile")
        stop(args)
        return
    if not args.prefix or not (args.ports or args.control):
        parser.error("run and start need --prefix and at least one port")
    if args.command == "start" and not args.pidfile:
        parser.error("start needs --pidfile")
    if args.command == "start":
        start(args)
    else:
        run(args)


if __name__ == "__main__":
    main()
