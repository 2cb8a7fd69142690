#!/usr/bin/env python3
"""End-to-end tests: the real tactiview.exe under Wine and Xvfb, fed by the
glove box simulator on a pseudo-terminal, and observed from outside as a user
would see it: window texts and control states read through messages by
winprobe, and screenshots.

usage: e2e_test.py [unittest arguments, e.g. E2E.test_one_event]
Paths come from the environment (set by CTest): TACTIVIEW_EXE, WINPROBE_EXE,
GLOVEBOX_SIM, WINE_RUN, E2E_PREFIX, E2E_WORK.
"""
import os
import subprocess
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
SETTINGS_KEY = r'HKLM\Software\Lumvar\tactiview'

IDC_CONTACTS, IDC_LOG = 11, 12
IDC_TIMESTAMPS, IDC_GROUND = 16, 17
COMMAND_CONTROLS = range(13, 19)
IDM_PORT_SELECT = 0x40

GREY = (192, 192, 192)
COLOUR_0 = (144, 240, 48)

# Dot centres of one hand, in its half of the picture: 110 units wide from
# the centre line outwards and 200 high from the bottom; bit order of a mask.
DOTS = {'little': (97, 140), 'ring': (77, 175), 'middle': (57, 180),
        'index': (37, 160), 'thumb': (15, 75), 'ground': (15, 180)}


def wine(*args, timeout=30):
    return subprocess.run([WINE_RUN, PREFIX, *args], stdin=subprocess.DEVNULL,
                          capture_output=True, text=True, timeout=timeout)


def probe(*args):
    """Runs winprobe; returns (exit status, printed text)."""
    result = subprocess.run([WINE_RUN, PREFIX, WINPROBE, *[str(a) for a in args]],
                            stdin=subprocess.DEVNULL, capture_output=True, timeout=30)
    return result.returncode, result.stdout.decode('latin-1')


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


class Simulator:
    """A glove box simulator linked into the prefix as COM<n>."""

    def __init__(self, com, *args):
        self.transcript = os.path.join(WORK, 'sim-com%d.txt' % com)
        self.log = open(os.path.join(WORK, 'sim-com%d.log' % com), 'w')
        self.process = subprocess.Popen(
            [SIM, '--wine-prefix', PREFIX, '--com', str(com), '--transcript', self.transcript,
             *args], stdout=self.log, stderr=subprocess.STDOUT)
        link = os.path.join(PREFIX, 'dosdevices', 'com%d' % com)
        if not wait_until(lambda: os.path.islink(link) and os.path.exists(self.transcript), 5):
            raise RuntimeError('the simulator did not link COM%d' % com)

    def lines(self):
        with open(self.transcript) as f:
            return [line.split(' ', 1)[1].strip() for line in f if ' ' in line]

    def received(self, command):
        return 'received ' + command in self.lines()

    def stop(self):
        self.process.terminate()
        self.process.wait(5)
        self.log.close()


class E2E(unittest.TestCase):

    def setUp(self):
        self.sims = []
        self.app = None
        wine('reg', 'delete', SETTINGS_KEY, '/f')

    def tearDown(self):
        if self.app and self.app.poll() is None:
            probe('close', CAPTION)
            try:
                self.app.wait(5)
            except subprocess.TimeoutExpired:
                self.app.kill()
                self.app.wait()
        for sim in self.sims:
            sim.stop()

    # -- helpers --

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

    def start_app(self):
        self.app = subprocess.Popen([WINE_RUN, PREFIX, TACTIVIEW], stdin=subprocess.DEVNULL,
                                    stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        self.assertEqual(probe('wait', CAPTION, 15000)[0], 0, 'the main window did not appear')

    def log_text(self):
        return probe('text', CAPTION, IDC_LOG)[1]

    def wait_for_log(self, text, seconds=5):
        return wait_until(lambda: text in self.log_text(), seconds)

    def box(self, control):
        return int(probe('check', CAPTION, control)[1])

    def enabled(self, control):
        return probe('enabled', CAPTION, control)[1].strip() == '1'

    def picture_rect(self):
        return tuple(int(v) for v in probe('rect', CAPTION, IDC_CONTACTS)[1].split())

    # -- tests --

    def test_one_event_reaches_log_and_picture(self):
        self.simulate(5, '--scenario', self.scenario('pause 300\n80 08 10 8F\n'))
        self.save_port(5)
        self.start_app()
        self.assertTrue(self.wait_for_log('80 08 10 8F\r\n'), self.log_text())
        time.sleep(0.3)
        shot, rect = screenshot(), self.picture_rect()
        lit = {('left', 'index'), ('right', 'thumb')}
        for hand in ('left', 'right'):
            for contact in DOTS:
                x, y = dot_position(rect, hand, contact)
                want = COLOUR_0 if (hand, contact) in lit else GREY
                self.assertEqual(pixel(shot, x, y), want, '%s %s at %d,%d' % (hand, contact, x, y))

    def test_first_run_asks_for_a_port_and_cancel_greys_the_commands(self):
        started = time.time()
        self.start_app()
        self.assertEqual(probe('wait', PORT_CAPTION, 5000)[0], 0, 'no port selection dialog')
        self.assertLess(time.time() - started, 15)
        self.assertEqual(probe('click', PORT_CAPTION, 2)[0], 0)  # Cancel
        self.assertEqual(probe('gone', PORT_CAPTION, 5000)[0], 0)
        self.assertTrue(wait_until(lambda: not self.enabled(13), 3))
        for control in COMMAND_CONTROLS:
            self.assertFalse(self.enabled(control), 'control %d is usable' % control)

    def test_saved_port_is_opened_and_the_signature_reply_logged(self):
        sim = self.simulate(5, '--scenario', self.scenario('pause 60000\n'))
        self.save_port(5)
        self.start_app()
        self.assertTrue(wait_until(lambda: sim.received('CP'), 5), sim.lines())
        self.assertTrue(self.wait_for_log('82 "glovebox-sim 1.0, simulated glove box" 8F\r\n'),
                        self.log_text())
        for control in COMMAND_CONTROLS:
            self.assertTrue(self.enabled(control), 'control %d is greyed out' % control)

    def test_toggles_reach_the_box_and_reports_settle_the_boxes(self):
        sim = self.simulate(5, '--demo')
        self.save_port(5)
        self.start_app()
        # Untimed reports without ground contacts: timestamps are off, the
        # ground mode stays unknown.
        self.assertTrue(wait_until(lambda: self.box(IDC_TIMESTAMPS) == 0, 5))
        self.assertEqual(self.box(IDC_GROUND), 2)

        probe('click', CAPTION, IDC_TIMESTAMPS)
        self.assertTrue(wait_until(lambda: sim.received('T1'), 3), sim.lines())
        self.assertEqual(self.box(IDC_TIMESTAMPS), 1)
        self.assertTrue(self.wait_for_log('\r\n81 ', 5), 'no timed report after T1')
        probe('click', CAPTION, IDC_GROUND)  # from indeterminate: off
        self.assertTrue(wait_until(lambda: sim.received('G0'), 3), sim.lines())
        self.assertEqual(self.box(IDC_GROUND), 0)

    def test_timestamp_shows_and_clears_after_a_second(self):
        self.simulate(5, '--scenario', self.scenario('pause 500\n81 05 03 10 02 8F\npause 60000\n'))
        self.save_port(5)
        self.start_app()
        self.assertTrue(self.wait_for_log('81 05 03 10 02 8F'))
        seen = time.time()
        rect = self.picture_rect()
        left, top, right, bottom = rect
        middle, height = (left + right) // 2, bottom - top
        # The text stands between the hands, from 120 to 140 units high.
        area = [(x, y) for x in range(middle - 12, middle + 13)
                for y in range(bottom - 140 * height // 200, bottom - 120 * height // 200)]

        def text_shown():
            shot = screenshot()
            return any(max(pixel(shot, x, y)) < 100 for x, y in area)

        self.assertTrue(text_shown(), 'no timestamp text')
        self.assertTrue(wait_until(lambda: not text_shown(), 3), 'the timestamp stayed')
        self.assertGreater(time.time() - seen, 0.6)

    def test_close_saves_the_port_and_exits_with_2(self):
        self.simulate(5, '--scenario', self.scenario('pause 60000\n'))
        self.save_port(5)
        self.start_app()
        probe('key', CAPTION, 0x1B)  # Escape does not close
        probe('key', CAPTION, 0x0D)  # nor does Enter
        time.sleep(0.5)
        self.assertEqual(probe('wait', CAPTION, 0)[0], 0, 'Enter or Escape closed the window')
        probe('close', CAPTION)
        self.assertEqual(self.app.wait(10), 2)
        query = wine('reg', 'query', SETTINGS_KEY, '/v', 'Com').stdout
        self.assertIn('0x5', query)

    def test_port_change_moves_to_a_second_port(self):
        first = self.simulate(5, '--scenario', self.scenario('pause 60000\n'))
        second = self.simulate(6, '--scenario', self.scenario('pause 500\n80 01 02 8F\npause 60000\n'))
        self.save_port(5)
        self.start_app()
        self.assertTrue(wait_until(lambda: first.received('CP'), 5))
        probe('syscommand', CAPTION, IDM_PORT_SELECT)
        self.assertEqual(probe('wait', PORT_CAPTION, 5000)[0], 0)
        self.assertTrue(wait_until(lambda: probe('items', PORT_CAPTION, 13)[1].strip() not in ('', '0'), 3))
        self.assertEqual(probe('choose', PORT_CAPTION, 13, 'COM6')[0], 0)
        probe('click', PORT_CAPTION, 1)  # OK
        self.assertTrue(wait_until(lambda: second.received('CP'), 5), second.lines())
        self.assertTrue(self.wait_for_log('80 01 02 8F\r\n'))
        probe('close', CAPTION)
        self.assertEqual(self.app.wait(10), 2)
        self.assertIn('0x6', wine('reg', 'query', SETTINGS_KEY, '/v', 'Com').stdout)


if __name__ == '__main__':
    os.makedirs(WORK, exist_ok=True)
    unittest.main(verbosity=2)
