#!/usr/bin/env python3
"""scripts/install-deps against stand-ins for apt-get, dpkg and dpkg-query put
first on PATH, as a registry caught mid-update answers: nothing is installed.

usage: install_deps_test.py [unittest arguments]"""
import os
import subprocess
import tempfile
import unittest

SCRIPT = os.path.join(os.path.dirname(__file__), '..', '..', 'scripts', 'install-deps')
with open('/etc/os-release') as f:
    CODENAME = dict(line.rstrip('\n').split('=', 1) for line in f if '=' in line)[
        'VERSION_CODENAME'].strip('"')
FETCH_FAILED = 'http://deb.example/dists/x/main/binary-i386/Packages.xz'

# Each logs its call; apt-get update fails its first $UPDATE_FAILS times, and
# install works as $INSTALL says: always, only with the release's suite, never.
STAND_INS = {
    'apt-get': '''echo "apt-get $*" >>"$STATE/calls"
if [ "$1" = update ]; then
    echo x >>"$STATE/updates"
    [ "$(wc -l <"$STATE/updates")" -gt "$UPDATE_FAILS" ] && exit 0
    echo "E: Failed to fetch %s  File has unexpected size (374820 != 376004)." >&2
    echo "E: Some index files failed to download. They have been ignored, or old ones used instead." >&2
    exit 100
fi
if [ "$INSTALL" = always ] || [[ "$INSTALL $*" == "suite "*" -t %s "* ]]; then
    touch "$STATE/installed"; exit 0
fi
echo "E: Unable to correct problems, you have held broken packages." >&2
exit 100''' % (FETCH_FAILED, CODENAME),
    'dpkg-query': '[ -e "$STATE/installed" ] && printf "install ok installed"',
    'dpkg': 'echo "dpkg $*" >>"$STATE/calls"; [ "$1" != --print-foreign-architectures ] || echo i386',
    'id': 'echo 0',
    'sleep': 'echo "sleep $*" >>"$STATE/calls"',
}


class InstallDeps(unittest.TestCase):

    def run_script(self, update_fails=0, install='always', installed=False):
        """Returns (exit status, what it printed, the stand-ins' calls)."""
        state = tempfile.mkdtemp()
        for name, body in STAND_INS.items():
            with open(os.path.join(state, name), 'w') as f:
                f.write('#!/bin/bash\n' + body + '\n')
            os.chmod(os.path.join(state, name), 0o755)
        open(os.path.join(state, 'calls'), 'w').close()
        if installed:
            open(os.path.join(state, 'installed'), 'w').close()
        env = dict(os.environ, PATH=state + ':' + os.environ['PATH'], STATE=state,
                   UPDATE_FAILS=str(update_fails), INSTALL=install)
        run = subprocess.run([SCRIPT], env=env, capture_output=True, text=True, timeout=60)
        with open(os.path.join(state, 'calls')) as f:
            calls = [line.split()[:2] for line in f]
        lines = [line for line in (run.stdout + run.stderr).splitlines() if 'install-deps' in line]
        return run.returncode, lines, calls

    def test_a_passing_mid_update_is_retried_and_gone_past(self):
        status, lines, calls = self.run_script(update_fails=2)
        self.assertEqual(status, 0)
        self.assertEqual(calls.count(['apt-get', 'update']), 3)
        self.assertEqual(calls.count(['sleep', '20']), 2)
        self.assertEqual(len(lines), 1)  # only what it installs

        status, lines, calls = self.run_script(update_fails=3)
        self.assertEqual((status, calls.count(['apt-get', 'install'])), (0, 1))
        self.assertEqual(lines[1], 'install-deps: apt-get update could not fetch %s after 3 tries; '
                                   'going on with the lists it has' % FETCH_FAILED)

    def test_a_refused_install_is_tried_with_the_release_suite_then_given_up(self):
        status, lines, calls = self.run_script(install='suite')
        self.assertEqual((status, len(lines)), (0, 2))
        self.assertIn('(Unable to correct problems, you have held broken packages.); trying again '
                      "with %s's own suite preferred for every architecture" % CODENAME, lines[1])
        self.assertEqual(calls.count(['apt-get', 'install']), 2)
        # What an earlier run stopped part way left is finished before anything.
        self.assertEqual(calls[1], ['dpkg', '--configure'])

        status, lines, _ = self.run_script(install='never')
        self.assertNotEqual(status, 0)
        self.assertRegex(lines[-1], r'^install-deps: could not install cmake .* wine32:i386 .*'
                                    r'sigrok-cli; .*run scripts/install-deps again later$')

    def test_everything_installed_runs_nothing_and_says_nothing(self):
        self.assertEqual(self.run_script(update_fails=5, install='never', installed=True),
                         (0, [], []))


if __name__ == '__main__':
    unittest.main(verbosity=2)
