#!/usr/bin/env python3
"""Line statistics as a tester reads them: the box sends reports mixed with
bytes outside frames and one overlong frame, and the dialog counts exactly
what was sent, while polling and the log go on beneath it.

usage: stats_test.py [unittest arguments]"""
import os
import unittest

from harness import (AppTestCase, CAPTION, IDC_QUERY_LEFT, IDC_STAT_BYTES, IDC_STAT_RESET,
                     SOON, SOON_MS, STATS_CAPTION, WORK, probe, wait_until)

# Noise before the first frame, reports plain and timed, a frame of 72 bytes
# (64 kept, 7 payload bytes and its end byte past the cut), more noise, and a
# text reply. The box's reply to "CL" follows at the end.
NOISY_STREAM = """00 11 7E 8F
80 08 10 8F
81 05 03 10 02 8F
80 %s 8F
FE FF
82 41 42 8F
80 01 02 8F
""" % ' '.join(['01'] * 70)
NOISE_BYTES = 6
CUT_BYTES = 8
NOT_COUNTS = ('Counting since', 'Last second', 'Frames per second')


class Stats(AppTestCase):

    def test_the_counts_are_what_the_box_sent(self):
        sim = self.simulate(5, '--scenario', self.scenario(NOISY_STREAM), '--start-on', 'CL')
        self.save_port(5)
        self.start_app()
        self.assertTrue(self.wait_for_log('simulated glove box'), 'the reply to CP is not logged')
        self.open_statistics()
        # Polling and the log go on beneath the dialog.
        probe('click', CAPTION, IDC_QUERY_LEFT)
        self.assertTrue(wait_until(lambda: self.statistics()['Contact reports'] == '4', SOON))
        self.assertTrue(self.wait_for_log('80 01 02 8F\r\n'), self.log_text())
        counts = self.statistics()
        expected = {'Bytes received': sim.bytes_sent_since('received CP'), 'Contact reports': 4,
                    'Of which timed': 1, 'Text replies': 3, 'Bytes outside frames': NOISE_BYTES,
                    'Frames cut at 64 bytes': 1, 'Bytes past the cut': CUT_BYTES}
        # No line error, no port lost: every other count is zero.
        expected.update({name: 0 for name in counts if name not in (*expected, *NOT_COUNTS)})
        self.assertEqual({k: counts[k] for k in expected}, {k: str(v) for k, v in expected.items()})
        self.assertEqual(len(expected), 14)
        # What "Copy" gave is what the dialog shows.
        self.assertEqual(probe('text', STATS_CAPTION, IDC_STAT_BYTES)[1], counts['Bytes received'])

        probe('click', STATS_CAPTION, IDC_STAT_RESET)
        reset = self.statistics()
        self.assertEqual({k: v for k, v in reset.items() if k not in NOT_COUNTS},
                         {k: '0' for k in expected})
        self.assertGreaterEqual(reset['Counting since'], counts['Counting since'])
        probe('key', STATS_CAPTION, 0x1B)  # Escape closes it
        self.assertEqual(probe('gone', STATS_CAPTION, SOON_MS)[0], 0, 'Escape left the dialog open')


if __name__ == '__main__':
    os.makedirs(WORK, exist_ok=True)
    unittest.main(verbosity=2)
