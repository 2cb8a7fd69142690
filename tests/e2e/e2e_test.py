#!/usr/bin/env python3
"""End-to-end tests: the real program against the simulator, as a user sees it.

usage: e2e_test.py [unittest arguments, e.g. E2E.test_one_event_reaches_log_and_picture]
"""
import os
import time
import unittest

from harness import (AppTestCase, CAPTION, COLOUR_0, COMMAND_CONTROLS, DOTS, GREY,
                     IDC_CLEAR_LOG, IDC_GROUND, IDC_TIMESTAMPS, PORT_CAPTION, SETTINGS_KEY,
                     SIGNATURE, SOON, SOON_MS, WORK, dot_position, pixel, probe, screenshot,
                     wait_until, wine)

# A frame of every kind the log shows: reports with and without groups and
# timestamp, text replies with a quote, CR LF, a zero byte and bytes above
# 0x7F, an empty reply, 0x11 and 0x13 as data, and a report and a reply cut
# at 64 bytes, whose last kept byte stands where the end byte would.
EVERY_KIND_OF_FRAME = """80 08 10 8F
81 05 03 10 02 8F
80 8F
82 41 22 0D 0A 00 42 80 FF 8E 8F
82 8F
80 11 13 8F
80 %s 8F
82 %s 8F
""" % (' '.join(['01 20'] * 40), ' '.join(['61 62 63'] * 25))


# Timed reports every 0.2 s for 5 s, each one millisecond later by the box's
# clock than the last.
TIMED_REPORTS = ''.join('81 05 03 %02X 02 8F\npause 200\n' % (0x10 + i) for i in range(25))
LAST_TIMED_REPORT = '81 05 03 %02X 02 8F' % (0x10 + 24)

# A shown timestamp: at least this many pixels that differ from the face by at
# least this much in some channel. "272 ms" drawn anti-aliased under 64-bit
# Wine is grey around 0xAB-0xC7 on a 0xF5 face.
INK_CONTRAST = 40
INK_PIXELS = 10


class E2E(AppTestCase):

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
        self.assertEqual(probe('wait', PORT_CAPTION, SOON_MS)[0], 0, 'no port selection dialog')
        self.assertLess(time.time() - started, 15)  # 0.74 s with the other core busy
        self.assertEqual(probe('click', PORT_CAPTION, 2)[0], 0)  # Cancel
        self.assertEqual(probe('gone', PORT_CAPTION, SOON_MS)[0], 0)
        self.assertTrue(wait_until(lambda: not self.enabled(13), SOON))
        for control in COMMAND_CONTROLS:
            self.assertFalse(self.enabled(control), 'control %d is usable' % control)

    def test_saved_port_is_opened_and_the_signature_reply_logged(self):
        sim = self.simulate(5, '--scenario', self.scenario('pause 60000\n'))
        self.save_port(5)
        self.start_app()
        self.assertTrue(wait_until(lambda: sim.received('CP'), SOON), sim.lines())
        self.assertTrue(self.wait_for_log('82 "glovebox-sim 1.0, simulated glove box" 8F\r\n'),
                        self.log_text())
        for control in COMMAND_CONTROLS:
            self.assertTrue(self.enabled(control), 'control %d is greyed out' % control)

    def test_toggles_reach_the_box_and_reports_settle_the_boxes(self):
        sim = self.simulate(5, '--demo')
        self.save_port(5)
        self.start_app()
        # Both boxes start unchecked and turn indeterminate once the port is
        # open. Untimed reports without ground contacts then show timestamps
        # off and leave the ground mode unknown.
        self.assertTrue(wait_until(lambda: self.box(IDC_GROUND) == 2, SOON))
        self.assertTrue(wait_until(lambda: self.box(IDC_TIMESTAMPS) == 0, SOON))
        self.assertEqual(self.box(IDC_GROUND), 2)

        probe('click', CAPTION, IDC_TIMESTAMPS)
        self.assertTrue(wait_until(lambda: sim.received('T1'), SOON), sim.lines())
        self.assertEqual(self.box(IDC_TIMESTAMPS), 1)
        self.assertTrue(self.wait_for_log('\r\n81 '), 'no timed report after T1')
        probe('click', CAPTION, IDC_GROUND)  # from indeterminate: off
        self.assertTrue(wait_until(lambda: sim.received('G0'), SOON), sim.lines())
        self.assertEqual(self.box(IDC_GROUND), 0)
        # A port taken for lost and reopened would have asked again.
        self.assertEqual(sim.lines().count('received CP'), 1, sim.lines())

    def test_timestamp_shows_and_clears_after_a_second(self):
        sim = self.simulate(5, '--scenario', self.scenario(TIMED_REPORTS + 'pause 60000\n'),
                            '--start-on', 'CP')
        self.save_port(5)
        self.start_app()
        self.assertTrue(self.wait_for_log('81 05 03 10 02 8F'))
        rect = self.picture_rect()
        left, top, right, bottom = rect
        middle, height = (left + right) // 2, bottom - top
        # The text stands between the hands, from 120 to 140 units high.
        area = [(x, y) for x in range(middle - 12, middle + 13)
                for y in range(bottom - 140 * height // 200, bottom - 120 * height // 200)]

        # Ink is what stands out from the face behind it, the area's most
        # common colour: the small text may be drawn anti-aliased in greys.
        def text_shown():
            shot = screenshot()
            colours = [pixel(shot, x, y) for x, y in area]
            face = max(set(colours), key=colours.count)
            ink = [c for c in colours if max(abs(a - b) for a, b in zip(c, face)) >= INK_CONTRAST]
            return len(ink) >= INK_PIXELS

        # The text shows for as long as timed reports come, and clears a second
        # after the last one. A look counts while the box has yet to send its
        # last report: the one before came at most 0.2 s and a poll earlier,
        # however slow the look.
        looks = 0
        while True:
            shown = text_shown()
            if 'sent ' + LAST_TIMED_REPORT in sim.lines():
                break
            self.assertTrue(shown, 'no timestamp text while timed reports come')
            looks += 1
        self.assertGreater(looks, 0, 'the reports were over before the first look')
        self.assertTrue(self.wait_for_log(LAST_TIMED_REPORT), 'the last timed report is not logged')
        self.assertTrue(wait_until(lambda: not text_shown(), SOON), 'the timestamp stayed')

    def test_close_saves_the_port_and_exits_with_2(self):
        self.simulate(5, '--scenario', self.scenario('pause 60000\n'))
        self.save_port(5)
        self.start_app()
        probe('key', CAPTION, 0x1B)  # Escape does not close
        probe('key', CAPTION, 0x0D)  # nor does Enter
        time.sleep(0.5)
        self.assertEqual(probe('wait', CAPTION, 0)[0], 0, 'Enter or Escape closed the window')
        probe('close', CAPTION)
        self.assertEqual(self.app.wait(SOON), 2)
        query = wine('reg', 'query', SETTINGS_KEY, '/v', 'Com').stdout
        self.assertIn('0x5', query)

    def test_port_change_moves_to_a_second_port(self):
        first = self.simulate(5, '--scenario', self.scenario('pause 60000\n'))
        second = self.simulate(6, '--scenario', self.scenario('pause 500\n80 01 02 8F\npause 60000\n'))
        self.save_port(5)
        self.start_app()
        self.assertTrue(wait_until(lambda: first.received('CP'), SOON))
        self.choose_port('COM6')
        self.assertTrue(wait_until(lambda: second.received('CP'), SOON), second.lines())
        self.assertTrue(self.wait_for_log('80 01 02 8F\r\n'))
        self.assertTrue(wait_until(lambda: self.log_text().count(SIGNATURE) == 2, SOON))
        # The line statistics start afresh with the port the user chose.
        counts = self.statistics_once()
        self.assertEqual((counts['Bytes received'], counts['Contact reports'],
                          counts['Text replies']), (str(second.bytes_sent_since()), '1', '1'))
        probe('close', CAPTION)
        self.assertEqual(self.app.wait(SOON), 2)
        self.assertIn('0x6', wine('reg', 'query', SETTINGS_KEY, '/v', 'Com').stdout)

    def session(self, *sim_args):
        """The log of a run whose box sends, once the log has been cleared, what
        sim_args say: the T0 of a click on the indeterminate timestamps box,
        which the box does not answer, starts it."""
        sim = self.simulate(5, '--start-on', 'T0', *sim_args)
        self.save_port(5)
        self.start_app()
        self.assertTrue(self.wait_for_log('simulated glove box'), self.log_text())
        probe('click', CAPTION, IDC_CLEAR_LOG)
        probe('click', CAPTION, IDC_TIMESTAMPS)
        self.assertTrue(wait_until(lambda: sim.process.poll() is not None, SOON))
        self.assertTrue(wait_until(lambda: self.log_text().endswith('" 63\r\n'), SOON))
        return self.log_text()

    def test_a_saved_session_replays_into_the_same_log(self):
        first = os.path.join(WORK, 'session.log')
        logged = self.session('--scenario', self.scenario(EVERY_KIND_OF_FRAME), '--frames', '8')
        saved = self.save_log(first)
        self.assertEqual(saved.decode('latin-1'), logged)
        self.assertEqual(len(saved.split(b'\r\n')), 10)  # a CR LF inside a reply, one at the end
        self.tearDown()

        replayed = self.session('--replay', first, '--frames', '8')
        self.assertEqual(self.save_log(os.path.join(WORK, 'replayed.log')), saved, replayed)

if __name__ == '__main__':
    os.makedirs(WORK, exist_ok=True)
    unittest.main(verbosity=2)
