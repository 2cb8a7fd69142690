"""What the end-to-end tests share: the real tactiview.exe run under Wine and
Xvfb, fed by the glove box simulator on a pseudo-terminal, and observed from
outside as a user would see it: window texts and control states read through
messages by winprobe, and screenshots.

Paths come from the environment (set by CTest): TACTIVIEW_EXE, WINPROBE_EXE,
GLOVEBOX_SIM, WINE_RUN, E2E_PREFIX, E2E_WORK.
"""
import os
import subprocess
import sys
import tempfile
import time
import unittest

TACTIVIEW = os.environ['TACTIVIEW_EXE']
WINPROBE = os.environ['WINPROBE_EXE']
SIM = os.environ['GLOVEBOX_SIM']
WINE_RUN = os.environ['WINE_RUN']
PREFIX = os.environ['E2E_PREFIX']
WORK = os.environ['E2E_WORK']

CAPTION = 'Vexolan Test'
PORT_CAPTION = 'COM selection'
SAVE_CAPTION = 'Save As'
STATS_CAPTION = 'Line statistics'
SIGNATURE = '82 "glovebox-sim 1.0, simulated glove box" 8F'  # the simulator's reply to "CP"
SETTINGS_KEY = r'HKLM\Software\Lumvar\tactiview'
STATION_KEY = r'HKCU\Software\Lumvar\tactiview\Station'  # the test station's, per user

IDC_CONTACTS, IDC_LOG = 11, 12
IDC_QUERY_LEFT, IDC_QUERY_SIGNATURE, IDC_TIMESTAMPS, IDC_GROUND, IDC_CLEAR_LOG = 13, 15, 16, 17, 18
COMMAND_CONTROLS = range(13, 19)
IDM_PORT_SELECT, IDM_SAVE_LOG, IDM_RECORD_LOG, IDM_LINE_STATISTICS = 0x40, 0x50, 0x60, 0x70
IDC_STAT_RESET, IDC_STAT_COPY, IDC_STAT_BYTES = 20, 21, 201  # of the statistics dialog
FILE_NAME_BOX = 0x47C  # of the Save As dialog

# How long a test waits for what a poll, a click or a key brings about, seen
# from outside: a line in the log, a box or a control changed, a command at
# the box, a dialog shown or gone, a file made. In three runs of the suite on
# a 2-core machine with the other core busy the longest was 1.96 s (the line
# statistics, which the dialog shows once a second); most took 0.1 to 0.5 s.
SOON = 8
SOON_MS = SOON * 1000

GREY = (192, 192, 192)
COLOUR_0 = (144, 240, 48)

# Dot centres of one hand, in its half of the picture: 110 units wide from
# the centre line outwards and 200 high from the bottom; bit order of a mask.
DOTS = {'little': (97, 140), 'ring': (77, 175), 'middle': (57, 180),
        'index': (37, 160), 'thumb': (15, 75), 'ground': (15, 180)}


def wine(*args, timeout=30):
    return subprocess.run([WINE_RUN, PREFIX, *args], stdin=subprocess.DEVNULL,
                          capture_output=True, text=True, timeout=timeout)


# The probes that only look, and so may be run again.
LOOKS = ('wait', 'gone', 'text', 'check', 'enabled', 'answers', 'rect', 'length', 'items')


def probe(*args, timeout=30):
    """Runs winprobe; returns (exit status, printed text). When Wine's client
    fails in a probe that only looks, the probe ends with 1 before it could
    answer, and says so on stderr: such a probe is run once more, so that
    Wine's failure is not taken for the answer."""
    for _ in range(2):
        result = subprocess.run([WINE_RUN, PREFIX, WINPROBE, *[str(a) for a in args]],
                                stdin=subprocess.DEVNULL, capture_output=True, timeout=timeout)
        if args[0] not in LOOKS or b'wine client error' not in result.stderr:
            break
        sys.stderr.write('winprobe %s: %s' % (args[0], result.stderr.decode('latin-1')))
    return result.returncode, result.stdout.decode('latin-1')


def fill_log(size):
    """Fills the program's log with about size bytes of the shortest lines;
    True when it took them all. Wine's edit control measures every line it
    takes, which costs some 30 us a line with 64-bit Wine on a slow machine:
    46 s for 16 MB idle, and 91 s with 32-bit Wine on a machine whose other
    core was busy and which others shared. So the time allowed grows with
    the size, three times that and more."""
    seconds = 30 + 18 * size / (1 << 20)
    return probe('fill', CAPTION, IDC_LOG, size, timeout=seconds)[0] == 0


def wait_until(condition, seconds, step=0.1):
    end = time.time() + seconds
    while True:
        value = condition()
        if value or time.time() >= end:
            return value
        time.sleep(step)


def screenshot():
    """The whole screen as (width, height, RGB bytes)."""
    png = os.path.join(WORK, 'screen.png')
    subprocess.run(['import', '-window', 'root', png], check=True)
    size = subprocess.run(['identify', '-format', '%w %h', png], check=True,
                          capture_output=True, text=True).stdout.split()
    rgb = subprocess.run(['convert', png, '-depth', '8', 'rgb:-'], check=True,
                         capture_output=True).stdout
    return int(size[0]), int(size[1]), rgb


def pixel(shot, x, y):
    width, _, rgb = shot
    i = (y * width + x) * 3
    return tuple(rgb[i:i + 3])


def dot_position(rect, hand, contact):
    """Screen position of a dot's centre in the picture whose screen rectangle
    is rect: the origin is the bottom centre, x grows away from the centre line
    and y upwards, over 110 by 200 units a hand."""
    left, top, right, bottom = rect
    half, height = (right - left) >> 1, bottom - top
    x, y = DOTS[contact]
    sign = 1 if hand == 'right' else -1
    return left + half + sign * x * half // 110, bottom - y * height // 200


def cpu_seconds(pid):
    """User and system time a process has used."""
    with open('/proc/%d/stat' % pid) as f:
        fields = f.read().rsplit(')', 1)[1].split()
    return (int(fields[11]) + int(fields[12])) / os.sysconf('SC_CLK_TCK')


def cpu_share(pid, seconds):
    """The share of one core a process uses over the coming seconds."""
    before, start = cpu_seconds(pid), time.time()
    time.sleep(seconds)
    return (cpu_seconds(pid) - before) / (time.time() - start)


class Simulator:
    """A glove box simulator linked into the prefix as COM<n>."""

    def __init__(self, com, *args):
        self.transcript = os.path.join(WORK, 'sim-com%d.txt' % com)
        self.log = open(os.path.join(WORK, 'sim-com%d.log' % com), 'w')
        self.process = subprocess.Popen(
            [SIM, '--wine-prefix', PREFIX, '--com', str(com), '--transcript', self.transcript,
             *args], stdout=self.log, stderr=subprocess.STDOUT)
        link = os.path.join(PREFIX, 'dosdevices', 'com%d' % com)
        if not wait_until(lambda: os.path.islink(link) and os.path.exists(self.transcript), SOON):
            raise RuntimeError('the simulator did not link COM%d' % com)

    def lines(self):
        with open(self.transcript) as f:
            return [line.split(' ', 1)[1].strip() for line in f if ' ' in line]

    def received(self, command):
        return 'received ' + command in self.lines()

    def time_of(self, event):
        """Milliseconds into the run when the event was recorded."""
        with open(self.transcript) as f:
            return next(int(line.split()[0]) for line in f if line.split()[1:2] == [event])

    def sent_frames_since(self, event):
        """The frames sent, replies included, after the event was recorded."""
        lines = self.lines()
        since = lines[lines.index(event):]
        return [line for line in since if line.startswith('sent ')]

    def bytes_sent_since(self, event=None):
        """The number of bytes sent after the event, or in all, frames and
        noise alike."""
        sent = self.sent_frames_since(event) if event else [
            line for line in self.lines() if line.startswith('sent ')]
        return sum(len(line.split()) - 1 for line in sent)

    def sent_reports(self):
        """The contact reports sent, as the log shows them."""
        return [line[5:] for line in self.lines() if line.startswith(('sent 80', 'sent 81'))]

    def stop(self):
        self.process.terminate()
        self.process.wait(SOON)
        self.log.close()


class AppTestCase(unittest.TestCase):
    """Starts the program and simulators per test, and ends them after it."""

    def setUp(self):
        self.sims = []
        self.app = None
        for key in (SETTINGS_KEY, STATION_KEY):
            wine('reg', 'delete', key, '/f')

    def tearDown(self):
        if self.app and self.app.poll() is None:
            probe('click', PORT_CAPTION, 2)  # a port selection dialog would hold it open
            probe('click', STATS_CAPTION, 2)  # and so would the statistics
            probe('click', 'Contact check', 2)  # or the contact check
            probe('close', CAPTION)
            try:
                self.app.wait(SOON)
            except subprocess.TimeoutExpired:
                self.app.kill()
                self.app.wait()
        for sim in self.sims:
            sim.stop()

    def simulate(self, com, *args):
        sim = Simulator(com, *args)
        self.sims.append(sim)
        return sim

    def scenario(self, text):
        path = os.path.join(WORK, 'scenario-%s.txt' % self._testMethodName)
        with open(path, 'w') as f:
            f.write(text)
        return path

    def save_port(self, com):
        wine('reg', 'add', SETTINGS_KEY, '/v', 'Com', '/t', 'REG_DWORD', '/d', str(com), '/f')

    def start_app(self, wine_says=None, **environment):
        """Starts tactiview.exe, with the environment variables given (under
        Wine TZ sets its time zone, WINEDEBUG what Wine says into the file
        wine_says); self.app.pid is the process that runs it."""
        said = open(wine_says, 'w') if wine_says else subprocess.DEVNULL
        self.app = subprocess.Popen([WINE_RUN, PREFIX, TACTIVIEW], stdin=subprocess.DEVNULL,
                                    stdout=subprocess.DEVNULL, stderr=said,
                                    env={**os.environ, **environment})
        if wine_says:
            said.close()
        # It appeared within 1.8 s, with the other core busy.
        self.assertEqual(probe('wait', CAPTION, 15000)[0], 0, 'the main window did not appear')

    def assert_shows(self, caption, failure):
        """Asserts that a window of that caption shows within SOON; the
        failure says whether the program still runs."""
        shown = probe('wait', caption, SOON_MS)[0] == 0
        ended = self.app.poll()
        self.assertTrue(shown, '%s: the program %s' % (
            failure, 'runs' if ended is None else 'ended with %d' % ended))

    def log_text(self):
        return probe('text', CAPTION, IDC_LOG)[1]

    def log_line_count(self):
        """The number of lines the log control holds, which it keeps counted."""
        return int(probe('watch', CAPTION, IDC_LOG, 1, 100)[1].split()[1])

    def log_lines(self):
        return self.log_text().split('\r\n')[:-1]

    def wait_for_log(self, text, seconds=SOON):
        return wait_until(lambda: text in self.log_text(), seconds)

    def box(self, control):
        return int(probe('check', CAPTION, control)[1])

    def enabled(self, control):
        return probe('enabled', CAPTION, control)[1].strip() == '1'

    def picture_rect(self):
        return tuple(int(v) for v in probe('rect', CAPTION, IDC_CONTACTS)[1].split())

    def save_as(self, command, path):
        """Chooses the system-menu command and names path in its Save As
        dialog; returns once the file is there."""
        if os.path.exists(path):
            os.remove(path)
        probe('syscommand', CAPTION, command)
        self.assert_shows(SAVE_CAPTION, 'no Save As dialog')
        probe('settext', SAVE_CAPTION, FILE_NAME_BOX, 'Z:' + path.replace('/', '\\'))
        probe('click', SAVE_CAPTION, 1)
        self.assertTrue(wait_until(lambda: os.path.exists(path), SOON), 'no file made')

    def save_log(self, path):
        """Saves the log to path with "Save log..."; returns the bytes saved."""
        self.save_as(IDM_SAVE_LOG, path)
        with open(path, 'rb') as f:
            return f.read()

    def open_statistics(self):
        probe('syscommand', CAPTION, IDM_LINE_STATISTICS)
        self.assert_shows(STATS_CAPTION, 'no statistics dialog')

    def statistics(self):
        """The open statistics dialog's rows as "Copy" puts them on the
        clipboard: {label: value}, the label without its colon."""
        probe('click', STATS_CAPTION, IDC_STAT_COPY)
        status, text = probe('clipboard', STATS_CAPTION)
        self.assertEqual(status, 0, 'nothing on the clipboard')
        lines = text.split('\r\n')
        self.assertEqual(lines[-1], '', 'the copy does not end in CR LF')
        return dict(line.split(': ', 1) for line in lines[:-1])

    def statistics_once(self):
        """Opens the statistics dialog, reads it and closes it again."""
        self.open_statistics()
        counts = self.statistics()
        probe('key', STATS_CAPTION, 0x1B)  # Escape
        self.assertEqual(probe('gone', STATS_CAPTION, SOON_MS)[0], 0, 'Escape left the dialog open')
        return counts

    def choose_port(self, name):
        """Picks the port from the system menu's selection dialog and confirms it."""
        probe('syscommand', CAPTION, IDM_PORT_SELECT)
        self.assert_shows(PORT_CAPTION, 'no port selection dialog')
        self.assertTrue(wait_until(
            lambda: probe('items', PORT_CAPTION, 13)[1].strip() not in ('', '0'), SOON))
        self.assertEqual(probe('choose', PORT_CAPTION, 13, name)[0], 0)
        probe('click', PORT_CAPTION, 1)
