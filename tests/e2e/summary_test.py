#!/usr/bin/env python3
"""The results summary of the station's results file: its lines and chart as
the rows work out. usage: summary_test.py [unittest arguments]"""
import os
import re
import subprocess
import unittest
from datetime import datetime

import check_test  # for the steps in the contact check dialog
from harness import AppTestCase, SOON_MS, WORK, pixel, probe, screenshot

SUMMARY, IDC_SUMMARY_TEXT, IDC_SUMMARY_CHART = 'Results summary', 401, 402
# The retested GLOVE-4 failed first: a clock at UTC+2 wrote its later row at
# 00:30, 22:30 UTC. The line of GLOVE-5 is damaged.
FILE = """\
Time|Glove|Plan|Verdict|Pairs made|Plan pairs made|Missing|Not in plan|Bounced|Held since start
2026-12-09T21:00:00.000+01:00|GLOVE-1|glove-v2|PASS||||||
2026-12-09T22:00:00.000+01:00|GLOVE-2|glove-v2|FAIL|||left index + right thumb|left little + right little||
2026-12-09T22:30:00.000+01:00|GLOVE-2|glove-v2|PASS||||||
2026-12-09T23:00:00.000+01:00||glove-v2|FAIL|||left ground + right ground||left ring + left middle|
2026-12-09T23:30:00.000+01:00|GLOVE-3|glove-v3|FAIL|||left index + right thumb, left ground + right ground|||
2026-12-09T23:45:00.000+01:00|GLOVE-4|glove-v3|PASS||||||
2026-12-10T00:50:00.000+01:00|GLOVE-5|glove-v3|MAYBE||||||
2026-12-10T00:30:00.000+02:00|GLOVE-4|glove-v3|FAIL||||||left ground + right ground
2026-12-10T01:00:00.000+01:00|GLOVE-6||||||||
"""
ROWS = [row.split('|') for row in FILE.splitlines()[1:] if 'MAYBE' not in row]
CAUSES = {(220, 0, 0): '0', (150, 0, 170): '1', (0, 0, 0): '2', (235, 125, 20): '3'}


def line(name, rows):
    """The summary's line of the rows, a row without a glove's name a glove of its own."""
    gloves = {}
    for i, row in enumerate(rows):
        gloves.setdefault(row[1] or i, []).append(row)
    judged = [g for g in (sorted((r for r in g if r[3]), key=lambda r: datetime.fromisoformat(r[0]))
                          for g in gloves.values()) if g]
    first, final = (sum(g[end][3] == 'PASS' for g in judged) for end in (0, -1))
    n, verdicts = len(judged), [r[3] for r in rows]
    return ('%s: %d gloves, %d rows (%d PASS, %d FAIL); first pass %d of %d, %.1f %%; final pass '
            '%d of %d, %.1f %%; %d checked more than once\r\n' % (
                name, len(gloves), len(rows), verdicts.count('PASS'), verdicts.count('FAIL'),
                first, n, 100 * first / n, final, n, 100 * final / n,
                sum(len(g) > 1 for g in gloves.values())))


def failing_pairs():
    """Per pair on FAIL rows, its rows by cause, the most first."""
    pairs = {}
    for row in (r for r in ROWS if r[3] == 'FAIL'):
        for cause, names in enumerate(row[6:]):
            for name in filter(None, names.split(', ')):
                pairs.setdefault(name, [0] * 4)[cause] += 1
    return sorted(pairs.items(), key=lambda item: -sum(item[1]))


def chart_bars(shot, left, top, right, bottom):
    """Each bar's pixels of each cause's colour, top to bottom: the first run
    of 16 or more of those colours in a line, which no text or legend makes."""
    bars, last = [], None
    for y in range(top, bottom):
        run = re.search('[0-3]{16,}', ''.join(CAUSES.get(pixel(shot, x, y), '-')
                                              for x in range(left, right)))
        counts = run and [run.group().count(cause) for cause in '0123']
        if counts and counts != last:
            bars.append(counts)
        last = counts
    return bars


class Summary(AppTestCase):
    open_check, choose_file = check_test.Check.open_check, check_test.Check.choose_file

    def tearDown(self):
        probe('click', SUMMARY, 2)
        super().tearDown()

    def test_a_shift_of_two_plans_reads_as_its_rows_say(self):
        results = os.path.join(WORK, 'shift.tsv')
        with open(results, 'w', newline='') as f:
            f.write(FILE.replace('|', '\t').replace('\n', '\r\n'))
        self.save_port(5)
        self.simulate(5, '--start-on', 'CL')
        self.start_app()
        self.open_check()
        self.choose_file('F', 'Save As', results)  # "Results file..."
        probe('key', 'Contact check', ord('S'))  # "Results summary..."
        self.assert_shows(SUMMARY, 'no results summary')

        plans = [line('Plan ' + p, [r for r in ROWS if r[2] == p]) for p in ('glove-v2', 'glove-v3')]
        self.assertEqual(probe('text', SUMMARY, IDC_SUMMARY_TEXT)[1], ''.join(
            [line('All plans', ROWS)] + plans + ['1 line not understood\r\n']))
        pairs = failing_pairs()
        self.assertEqual(probe('text', SUMMARY, IDC_SUMMARY_CHART)[1], ''.join(
            ['Pairs named on FAIL rows, the most first:\r\n'] + [
                '%s: %d (missing %d, not in the plan %d, bounced %d, held since the start %d)\r\n'
                % (name, sum(counts), *counts) for name, counts in pairs]))
        shot = screenshot()
        bars = chart_bars(shot, *map(int, probe('rect', SUMMARY, IDC_SUMMARY_CHART)[1].split()))
        self.assertEqual(len(bars), len(pairs), bars)
        scale = sum(bars[0]) / sum(pairs[0][1])
        for bar, (name, counts) in zip(bars, pairs):
            self.assertTrue(all(abs(p - c * scale) <= 1 for p, c in zip(bar, counts)), (name, bar))
        # The window as docs/USING.md shows it.
        left, top, right, bottom = map(int, probe('rect', SUMMARY, 0)[1].split())
        subprocess.run(['convert', os.path.join(WORK, 'screen.png'), '-crop', '%dx%d+%d+%d' % (
            right - left, bottom - top, left, top), '+repage', os.path.join(WORK, 'summary.png')])
        probe('key', SUMMARY, 0x1B)  # Escape
        self.assertEqual(probe('gone', SUMMARY, SOON_MS)[0], 0, 'Escape left it open')


if __name__ == '__main__':
    os.makedirs(WORK, exist_ok=True)
    unittest.main(verbosity=2)
