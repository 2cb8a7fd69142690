#!/usr/bin/env python3
"""Recording to a file: the real program records the shortest reports at full
line rate, and the file is read while it grows, after a kill -9 and on a
disk that fills up. usage: record_test.py [unittest arguments]"""
import os
import signal
import time
import unittest

from harness import (AppTestCase, CAPTION, IDC_CLEAR_LOG, IDC_LOG, IDC_TIMESTAMPS, IDM_RECORD_LOG,
                     SOON, SOON_MS, WORK, fill_log, probe, wait_until)

FILL_LINE = b'80 08 10 8F\r\n'  # what winprobe fill fills the log with
ERROR_CAPTION = 'Error'


def read(path):
    with open(path, 'rb') as f:
        return f.read()


class Record(AppTestCase):

    def record_stream(self, path, fill, seconds):
        """Starts the program on a log filled with fill bytes, records to path
        and starts a stream of seconds; returns the simulator and the fill."""
        sim = self.simulate(5, '--stress', '--short', '--start-on', 'CL', '--seconds', str(seconds))
        self.save_port(5)
        self.start_app()
        self.assertTrue(self.wait_for_log('simulated glove box'))
        self.assertTrue(fill_log(fill))
        filled = int(probe('length', CAPTION, IDC_LOG)[1])
        self.save_as(IDM_RECORD_LOG, path)
        self.assertTrue(wait_until(lambda: os.path.getsize(path) >= filled, SOON))
        probe('click', CAPTION, 13)  # "CL" starts the stream
        return sim, filled

    def assert_whole_lines_in_order(self, recorded, filled, sim):
        """The file holds the fill, then the frames' lines as sent, none twice,
        none cut; returns how many reports it holds."""
        self.assertEqual(recorded[:filled], FILL_LINE * (filled // len(FILL_LINE)))
        lines = recorded[filled:].decode('latin-1').split('\r\n')
        self.assertEqual(lines[-1], '', 'the file ends in a cut line')
        reports = [line for line in lines if line.startswith(('80 ', '81 '))]
        self.assertEqual(reports, sim.sent_reports()[:len(reports)])
        self.assertEqual(len(lines) - 1 - len(reports), 1)  # the reply to "CL"
        return len(reports)

    def test_the_file_follows_a_stream_into_a_16_mb_log_and_keeps_what_clear_log_removes(self):
        path = os.path.join(WORK, 'recorded.log')
        sim, filled = self.record_stream(path, 16 << 20, 16)
        # Each poll's lines go to the file in that poll, before the log update
        # that follows, and a 16 MB log is updated only every few polls: an
        # update costs 160 ms here, after which the log lets 9 polls pass. So,
        # looked at while the stream runs, the file is never behind the log
        # counted after it, and mostly ahead of the log counted after it: in
        # three quarters of the looks with the other core busy. A file written
        # only when the log is updated, in the same poll, was ahead in none.
        looks = ahead = recorded = 0
        with open(path, 'rb') as f:
            end = time.time() + 6
            while time.time() < end:
                recorded += f.read().count(b'\n')
                before = recorded
                shown = self.log_line_count() - 1  # the count includes the empty last line
                recorded += f.read().count(b'\n')
                self.assertGreaterEqual(recorded, shown, 'the file is behind the log')
                looks += 1
                ahead += before > shown
        self.assertGreater(ahead, looks // 4, 'the file was ahead in %d of %d looks' % (ahead, looks))
        probe('click', CAPTION, IDC_CLEAR_LOG)

        sim.process.wait(60)  # the rest of the 16 s stream: 9.6 s with the other core busy
        sent = len(sim.sent_reports())
        self.assertTrue(wait_until(lambda: read(path).count(b'\r\n') - filled // 13 > sent, SOON))
        shown = wait_until(lambda: self.log_text().count('\r\n') > 20 and
                           read(path).decode('latin-1').endswith(self.log_text()), SOON)
        self.assertTrue(shown, 'the log after "Clear log" is not the end of the file')
        self.assertEqual(self.assert_whole_lines_in_order(read(path), filled, sim), sent)

    def test_a_killed_program_leaves_every_frame_the_log_showed(self):
        path = os.path.join(WORK, 'killed.log')
        sim, filled = self.record_stream(path, 0, 60)
        time.sleep(3)
        # What the log shows went to the file first, in the same poll.
        shown = self.log_lines()
        os.kill(self.app.pid, signal.SIGKILL)
        self.app.wait(SOON)
        reports_shown = len([line for line in shown if line.startswith('80 ')])
        self.assertGreater(reports_shown, 0)
        recorded = self.assert_whole_lines_in_order(read(path), filled, sim)
        self.assertGreaterEqual(recorded, reports_shown)

        # Cut in its last line, as a crash may leave it, the file still plays
        # back: its whole lines into a fresh program, the rest counted.
        recorded = read(path)[:-6]
        with open(path, 'wb') as f:
            f.write(recorded)
        self.tearDown()
        replay = self.simulate(5, '--replay', path, '--start-on', 'T0')
        self.start_app()
        self.assertTrue(self.wait_for_log('simulated glove box'))
        probe('click', CAPTION, IDC_CLEAR_LOG)
        probe('click', CAPTION, IDC_TIMESTAMPS)  # T0 starts the replay
        whole = recorded[:recorded.rindex(b'\r\n') + 2].decode('latin-1')
        self.assertTrue(wait_until(lambda: self.log_text() == whole, 20))  # 4.7 s, busy
        with open(replay.log.name) as said:
            self.assertIn('last line is cut short: %d bytes left out'
                          % (len(recorded) - len(whole)), said.read())

    def test_a_full_disk_stops_the_recording_with_one_box_and_polling_goes_on(self):
        # The 64 KiB disk's old file takes a page; the fill leaves some 8 KB.
        path = os.path.join(os.environ['SMALL_DISKS'], 'full', 'recorded.log')
        sim, filled = self.record_stream(path, 52000, 8)
        # The box came 3.6 s after the stream began, with the other core busy.
        self.assertEqual(probe('wait', ERROR_CAPTION, 15000)[0], 0, 'no error box')
        self.assertIn('(error 112)', probe('text', ERROR_CAPTION, 0xFFFF)[1])  # disk full
        self.assert_whole_lines_in_order(read(path), filled, sim)
        sim.process.wait(30)  # the rest of the 8 s stream: 4.5 s with the other core busy
        reports = sim.sent_reports()
        self.assertTrue(wait_until(lambda: self.log_text().endswith(reports[-1] + '\r\n'), SOON),
                        'polling stopped behind the box')
        probe('click', ERROR_CAPTION, 1)
        self.assertEqual(probe('gone', ERROR_CAPTION, SOON_MS)[0], 0)
        self.assertNotEqual(probe('wait', ERROR_CAPTION, 1000)[0], 0, 'a second box')
        logged = self.log_text()[filled:].split('\r\n')
        self.assertEqual([line for line in logged if line.startswith('80 ')], reports)


if __name__ == '__main__':
    os.makedirs(WORK, exist_ok=True)
    unittest.main(verbosity=2)
