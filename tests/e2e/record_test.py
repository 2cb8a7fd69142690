#!/usr/bin/env python3
"""Recording to a file: the real program records the shortest reports at full
line rate, and the file is read while it grows, after a kill -9 and on a
disk that fills up; a recording with times of a stream with a pause and an
unplugged box, replayed as recorded; the contacts recorded as traces, read
by sigrok-cli. usage: record_test.py [unittest arguments]"""
import datetime
import os
import re
import signal
import subprocess
import time
import unittest
import zoneinfo

from check_test import (CONTACTS, INDEX, LITTLE, MIDDLE, RING, THUMB, THUMBS_MS, THUMBS_SPREAD_MS,
                        scenario, timed, untimed)
from harness import (AppTestCase, CAPTION, FILE_NAME_BOX, IDC_CLEAR_LOG, IDC_LOG, IDC_QUERY_LEFT,
                     IDC_TIMESTAMPS, IDM_RECORD_LOG, SAVE_CAPTION, SIGNATURE, SOON, SOON_MS, WORK,
                     fill_log, probe, wait_until)

FILL_LINE = b'80 08 10 8F\r\n'  # what winprobe fill fills the log with
ERROR_CAPTION = 'Error'
FILE_TYPE_BOX = 0x470  # of the Save As dialog
ZONE = 'Asia/Kolkata'  # +05:30 all year

# Reports 200 ms apart with a text reply of a tab and a CR LF, a pause of
# 1.5 s, and 3 s after the box comes back, so that every frame after it comes
# once the port has reopened (within its tick of 1 s).
PAUSE = ['80 04 04 8F', '80 05 05 8F', '80 06 06 8F', '80 07 07 8F']
PAUSED_STREAM = '\n'.join([
    '80 01 01 8F', 'pause 200', '80 02 02 8F', 'pause 200', '82 41 09 42 0D 0A 43 8F', 'pause 200',
    PAUSE[0], 'pause 1500', PAUSE[1], 'pause 200', PAUSE[2], 'pause 1500', 'pause 3000', PAUSE[3],
    'pause 200', '80 08 08 8F'])
# With the other core busy, the times of a recording strayed from the
# transcript's by up to 285 ms (late polls), a replay as recorded from the
# recording's by up to 11 ms (the line being busy), and a replay at the line
# rate left up to 56 ms between frames (a reply between them).
RECORD_BOUND_MS = 900
REPLAY_BOUND_MS = 100
LINE_RATE_BOUND_MS = 300


# Both thumbs held by the PC's clock alone; by the box's, the left index made
# for 8 ms and the right little and ring held 684 ms across its wrap; the box
# away once the program has read that break, and back 2 s later, 3 s before
# both middle fingers make for 8 ms by its clock started afresh 10 ms after
# where it was.
TRACE_END = timed(658)
TRACE = scenario(untimed((THUMB, THUMB)), THUMBS_MS, untimed(), timed(16300, (INDEX, 0)),
                 timed(16308), timed(16340, (0, LITTLE | RING)), 684, timed(640), 'unplug',
                 3000, timed(650, (MIDDLE, MIDDLE)), TRACE_END)
WIRES = [name.replace(' ', '_') for name in CONTACTS] + ['port_open']
REOPEN_MS = 1000  # a lost port is tried again once a second


def transcript(sim):
    """The simulator's transcript as (ms into the run, what) pairs."""
    with open(sim.transcript) as f:
        return [(int(ms), what.strip()) for ms, what in (line.split(' ', 1) for line in f)]


def logged(sent):
    """A frame the transcript lists as sent, as the log shows it."""
    values = [int(b, 16) for b in sent.split()[1:]]
    if values[0] != 0x82:
        return sent[5:]
    return '82 "%s" 8F' % bytes(values[1:-1]).decode('latin-1')


def rows_of(recording):
    """A recording with times as (time or None, line) pairs after its header:
    its rows with an empty time, none of which here holds a CR LF, then its
    timed rows, whose line holds a tab after each CR LF of its own."""
    header, body = recording.split('\r\n', 1)
    untimed, timed = re.match(r'((?:\t[^\r]*\r\n)*)(.*)', body, re.S).groups()
    rows = [(None, line[1:]) for line in untimed.split('\r\n')[:-1]]
    for row in re.split(r'\r\n(?=\d)', timed.removesuffix('\r\n')):
        time, line = row.split('\t', 1)
        rows.append((datetime.datetime.fromisoformat(time), line.replace('\r\n\t', '\r\n')))
    return header, rows


def read(path):
    with open(path, 'rb') as f:
        return f.read()


def spans_of(samples, value):
    """The runs of value in a wire's samples, one a millisecond, as (start, end)."""
    return [run.span() for run in re.finditer(value + '+', samples)]


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

    def record_as(self, path, file_type):
        """Records to path as the type picked in the Save As dialog, whose name
        box was given path without its extension, which the type gives."""
        if os.path.exists(path):
            os.remove(path)
        probe('syscommand', CAPTION, IDM_RECORD_LOG)
        self.assertEqual(probe('wait', SAVE_CAPTION, SOON_MS)[0], 0, 'no Save As dialog')
        name = os.path.splitext(path)[0]
        probe('settext', SAVE_CAPTION, FILE_NAME_BOX, 'Z:' + name.replace('/', '\\'))
        self.assertEqual(probe('choose', SAVE_CAPTION, FILE_TYPE_BOX, file_type)[0], 0)
        probe('click', SAVE_CAPTION, 1)
        self.assertTrue(wait_until(lambda: os.path.exists(path), SOON), 'no file made')

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


    def replay(self, sim, replayed):
        """Starts the simulator's replay once the program has opened its port;
        returns the simulator's transcript once the log ends with what it
        replayed."""
        self.assertTrue(wait_until(lambda: sim.received('CP'), SOON), 'the port did not open')
        self.assertTrue(wait_until(lambda: self.log_text().endswith(SIGNATURE + '\r\n'), SOON))
        probe('click', CAPTION, IDC_CLEAR_LOG)
        probe('click', CAPTION, IDC_TIMESTAMPS)  # T0 starts the replay
        self.assertTrue(wait_until(lambda: self.log_text() == replayed, 30))  # 8.7 s, busy
        return transcript(sim)

    def test_a_recording_with_times_keeps_when_each_line_came_and_replays_as_it_happened(self):
        sim = self.simulate(5, '--scenario', self.scenario(PAUSED_STREAM), '--start-on', 'CL',
                            '--unplug-after', '3', '--back-after', '2')
        self.save_port(5)
        self.start_app(TZ=ZONE)
        self.assertTrue(self.wait_for_log(SIGNATURE))
        stood = self.log_lines()
        # The type picked makes the recording one with times, and gives a
        # name typed without an extension its own.
        path = os.path.join(WORK, 'timed.tsv')
        self.record_as(path, 'Log with times')
        probe('click', CAPTION, 13)  # "CL" starts the stream
        # The stream with its pauses and the box away took 8.8 s with the other core busy.
        self.assertTrue(wait_until(lambda: self.log_text().endswith('80 08 08 8F\r\n'), 30))
        probe('syscommand', CAPTION, IDM_RECORD_LOG)  # stops it
        self.assertTrue(wait_until(lambda: read(path).endswith(b'# recording stopped\r\n'), SOON))

        header, rows = rows_of(read(path).decode('latin-1'))
        self.assertEqual(header, 'time\tline')
        self.assertEqual([line for time, line in rows if time is None], stood)
        offset = zoneinfo.ZoneInfo(ZONE).utcoffset(datetime.datetime.now())
        self.assertEqual({time.utcoffset() for time, _ in rows if time}, {offset})
        events = [line for _, line in rows if line.startswith('# ')]
        self.assertEqual(events, ['# recording started: tactiview 1.0.2008.227, port COM5',
                                  '# port COM5 lost', '# port COM5 back by itself',
                                  '# recording stopped'])
        # Every frame sent since "CL", each at a time that keeps to its sending,
        # and the loss and the return between the frames around them.
        stream = transcript(sim)
        started = next(i for i, (_, what) in enumerate(stream) if what == 'received CL')
        sent = [(at, logged(what)) for at, what in stream[started:] if what.startswith('sent ')]
        frames = [(time.timestamp() * 1000, line) for time, line in rows
                  if time and not line.startswith('# ')]
        self.assertEqual([line for _, line in frames], [line for _, line in sent])
        strays = [time - at for (time, _), (at, _) in zip(frames, sent)]
        print('the times stray from the sending by %.0f ms' % (max(strays) - min(strays)))
        self.assertLess(max(strays) - min(strays), RECORD_BOUND_MS)
        lines = [line for _, line in rows]
        self.assertLess(lines.index(PAUSE[2]), lines.index('# port COM5 lost'))
        self.assertLess(lines.index('# port COM5 back by itself'), lines.index(PAUSE[3]))
        recorded = dict((line, time) for time, line in frames)
        gaps = [recorded[b] - recorded[a] for a, b in zip(PAUSE, PAUSE[1:])]
        self.assertGreater(gaps[0], 1500 - RECORD_BOUND_MS)

        # As recorded into a fresh program: the same lines, the pause kept and
        # the events printed as they are passed; faster with --speed; at the
        # line rate without --as-recorded.
        self.tearDown()
        replayed = ''.join(line + '\r\n' for time, line in rows if not line.startswith('# '))
        runs = {}
        for run, options in (('as recorded', ['--as-recorded']),
                             ('faster', ['--as-recorded', '--speed', '4']), ('plain', [])):
            sim = self.simulate(5, '--replay', path, '--start-on', 'T0', *options)
            if self.app.poll() is not None:
                self.save_port(5)
                self.start_app()
            stream = self.replay(sim, replayed)
            self.assertTrue(not options or wait_until(
                lambda: events[-1].encode() in read(sim.log.name), SOON), 'the replay did not end')
            sent = dict((logged(what), at) for at, what in reversed(stream)
                        if what.startswith('sent '))
            runs[run] = [sent[b] - sent[a] for a, b in zip(PAUSE, PAUSE[1:])]
            said = read(sim.log.name).decode('latin-1').split('\n')
            runs[run + ', printed'] = [line.split('\t')[1] for line in said if '\t# ' in line]
            sim.stop()
        print('the pause, recorded and replayed, in ms:', gaps, runs)
        for replayed_gap, gap in zip(runs['as recorded'], gaps):
            self.assertLess(abs(replayed_gap - gap), REPLAY_BOUND_MS)
        for replayed_gap, gap in zip(runs['faster'], gaps):
            self.assertLess(abs(replayed_gap - gap / 4), REPLAY_BOUND_MS)
        self.assertLess(max(runs['plain']), LINE_RATE_BOUND_MS)
        self.assertEqual(runs['as recorded, printed'], events)
        self.assertEqual(runs['plain, printed'], [])

    def test_a_trace_of_the_contacts_reads_in_sigrok_as_the_box_timed_them(self):
        sim = self.simulate(5, '--scenario', self.scenario(TRACE), '--start-on', 'CL',
                            '--back-after', '2')
        self.save_port(5)
        self.start_app()
        self.assertTrue(self.wait_for_log(SIGNATURE))
        path = os.path.join(WORK, 'trace.vcd')
        self.record_as(path, 'Contacts for a logic analyser')
        probe('click', CAPTION, IDC_QUERY_LEFT)  # "CL" starts the scenario
        # It took 8.2 s with the other core busy. The reply to the "CP" that
        # the port's return brings may come before or after the last report.
        self.assertTrue(wait_until(lambda: TRACE_END + '\r\n' in self.log_text(), 30),
                        self.log_text())
        probe('syscommand', CAPTION, IDM_RECORD_LOG)  # stops it with the time of its end
        self.assertTrue(wait_until(lambda: re.search(rb'\n#\d+\r\n$', read(path)), SOON))

        header, body = read(path).decode('latin-1').split('$enddefinitions $end\r\n')
        self.assertIn('$version\r\n\ttactiview 1.0.2008.227\r\n$end\r\n$comment\r\n\tport COM5',
                      header)
        self.assertRegex(body, r'^#0\r\n\$dumpvars\r\n([01].\r\n){13}\$end\r\n'
                               r'(#\d+\r\n|[01].\r\n)*#\d+\r\n$')
        lines = subprocess.run(['sigrok-cli', '-I', 'vcd', '-i', path, '-O', 'csv'], check=True,
                               capture_output=True, text=True).stdout.splitlines()
        self.assertIn('; Channels (13/13): ' + ', '.join(WIRES), lines)
        columns = [''.join(column) for column in zip(*[line.split(',') for line in lines
                                                       if re.match('[01](,[01])*$', line)])]
        highs = {wire: spans_of(column, '1') for wire, column in zip(WIRES, columns)}
        print('the trace, in ms:', highs)
        (thumbs,), (index,), (wrap,), (middle,) = [
            highs[wire] for wire in ('left_thumb', 'left_index', 'right_little', 'left_middle')]
        (away,) = spans_of(columns[-1], '0')
        made = dict(left_thumb=thumbs, right_thumb=thumbs, left_index=index, right_little=wrap,
                    right_ring=wrap, left_middle=middle, right_middle=middle)
        self.assertEqual({wire: highs[wire] for wire in WIRES[:12]},
                         {wire: [made[wire]] if wire in made else [] for wire in WIRES[:12]})
        length = lambda span: span[1] - span[0]
        self.assertEqual((length(index), length(wrap), length(middle)), (8, 684, 8))
        self.assertLess(abs(length(thumbs) - THUMBS_MS), THUMBS_SPREAD_MS)
        # Lost at the poll after the box went, back at the try after it came.
        gone = sim.time_of('plugged') - sim.time_of('unplugged')
        self.assertGreater(length(away), gone - THUMBS_SPREAD_MS)
        self.assertLess(length(away), gone + REOPEN_MS + THUMBS_SPREAD_MS)
        # Each after the one before, and the end after them all.
        times = [*thumbs, *index, *wrap, *away, *middle]
        self.assertEqual(times, sorted(times))
        self.assertGreater(len(columns[0]), middle[1])


if __name__ == '__main__':
    os.makedirs(WORK, exist_ok=True)
    unittest.main(verbosity=2)
