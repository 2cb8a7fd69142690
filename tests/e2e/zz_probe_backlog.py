import os, sys, time, unittest
from harness import AppTestCase, CAPTION, IDC_LOG, WORK, probe, wait_until
FILL = int(os.environ.get('FILL', 6 << 20)); SECS = int(os.environ.get('SECS', 60))
class T(AppTestCase):
    def test_it(self):
        sim = self.simulate(5, '--stress', '--start-on', 'CL', '--seconds', str(SECS))
        self.save_port(5); self.start_app()
        self.assertTrue(self.wait_for_log('simulated glove box'))
        t=time.time(); self.assertEqual(probe('fill', CAPTION, IDC_LOG, FILL)[0], 0); print('fill', time.time()-t)
        lines = self.log_line_count()
        probe('click', CAPTION, 13)
        sim.process.wait(SECS + 30); exited = time.time()
        t=time.time(); n = len(sim.sent_frames_since('received CL')); print('transcript read', time.time()-t)
        want = lines + n
        for i in range(40):
            t=time.time(); c = self.log_line_count(); d=time.time()-t
            print('%.2f s after exit: %d of %d (look %.2f s)' % (time.time()-exited, c, want, d)); sys.stdout.flush()
            if c >= want: break
if __name__ == '__main__':
    unittest.main(verbosity=2)
