#!/usr/bin/env python3
"""The Windows download as a user gets it: the zip the build made, named by
the version in the resource script, holds its files and their checksums, and
the tactiview.exe taken from it starts.

usage: package_test.py [unittest arguments, e.g. PackageStart.test_tactiview_from_the_zip_starts]
"""
import os
import re
import shutil
import struct
import subprocess
import time
import unittest
import zipfile

from harness import AppTestCase, CAPTION, PORT_CAPTION, PREFIX, SOON, SOON_MS, WINE_RUN, WORK, probe

ROOT = os.path.join(os.path.dirname(os.path.abspath(__file__)), '..', '..')
RESOURCE_HEADER = os.path.join(ROOT, 'res', 'resource.h')
ENTRIES = ['tactiview.exe', 'glovebox-sim.exe', 'README.txt', 'SHA256SUMS']
EXECUTABLES = ENTRIES[:2]
SHIPPED_DLLS = {'advapi32.dll', 'comctl32.dll', 'comdlg32.dll', 'gdi32.dll', 'kernel32.dll',
                'msvcrt.dll', 'shlwapi.dll', 'user32.dll', 'winmm.dll'}
UNPACKED = os.path.join(WORK, 'package')


def zip_path():
    with open(RESOURCE_HEADER) as f:
        version = re.search(r'^#define VERSION_NUMBERS (\d+), (\d+), (\d+), (\d+)$', f.read(),
                            re.M).groups()
    return os.path.join(os.environ['PACKAGE_DIR'], 'tactiview-%s-win32.zip' % '.'.join(version))


def link_time(exe):
    """TimeDateStamp of the PE file header, which follows the 'PE\\0\\0' at e_lfanew."""
    with open(exe, 'rb') as f:
        data = f.read(4096)
    header = struct.unpack_from('<I', data, 0x3C)[0]
    return struct.unpack_from('<I', data, header + 8)[0]


def imported_dlls(exe):
    headers = subprocess.run(['i686-w64-mingw32-objdump', '-p', exe], check=True,
                             capture_output=True, text=True).stdout
    return {name.lower() for name in re.findall(r'DLL Name: (\S+)', headers)}


def unpack():
    """Unpacks the zip afresh; returns the names of its entries in order."""
    shutil.rmtree(UNPACKED, ignore_errors=True)
    with zipfile.ZipFile(zip_path()) as archive:
        archive.extractall(UNPACKED)
        return archive.namelist()


def unpacked(name):
    return os.path.join(UNPACKED, name)


def can_run_32_bit():
    return subprocess.run([os.path.join(ROOT, 'scripts', 'can-run-32-bit')]).returncode == 0


class Package(unittest.TestCase):
    """The zip's files, read from outside: no Windows program runs."""

    def setUp(self):
        self.names = unpack()

    def test_the_zip_holds_its_files_and_their_checksums(self):
        self.assertEqual(self.names, ENTRIES)
        check = subprocess.run(['sha256sum', '--check', '--strict', 'SHA256SUMS'], cwd=UNPACKED,
                               capture_output=True, text=True)
        self.assertEqual(check.returncode, 0, check.stdout + check.stderr)
        self.assertEqual(check.stdout.splitlines(), ['%s: OK' % name for name in ENTRIES[:-1]])
        with open(unpacked('README.txt'), 'rb') as f:
            readme = f.read()
        readme.decode('ascii')
        self.assertEqual(readme.count(b'\n'), readme.count(b'\r\n'), 'README.txt has bare LFs')

    def test_the_executables_carry_no_link_time_and_need_only_windows_dlls(self):
        for name in EXECUTABLES:
            self.assertEqual(link_time(unpacked(name)), 0, name)
            self.assertLessEqual(imported_dlls(unpacked(name)), SHIPPED_DLLS, name)


class PackageStart(AppTestCase):

    @unittest.skipUnless(can_run_32_bit(), 'this machine cannot run 32-bit programs')
    def test_tactiview_from_the_zip_starts(self):
        unpack()
        self.assertEqual(probe('gone', CAPTION, SOON_MS)[0], 0, 'a main window is already open')
        self.app = subprocess.Popen([WINE_RUN, PREFIX, unpacked('tactiview.exe')],
                                    stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                                    stderr=subprocess.DEVNULL)
        # A program that cannot start ends at once: no need to wait it out.
        end = time.time() + 15
        while probe('wait', CAPTION, 500)[0] != 0:
            self.assertIsNone(self.app.poll(), 'tactiview.exe ended without a window')
            self.assertLess(time.time(), end, 'the main window did not appear')
        # With no saved port it asks for one; cancelled, the window stays.
        self.assertEqual(probe('wait', PORT_CAPTION, SOON_MS)[0], 0, 'no port selection dialog')
        probe('click', PORT_CAPTION, 2)
        self.assertEqual(probe('gone', PORT_CAPTION, SOON_MS)[0], 0)
        probe('close', CAPTION)
        self.app.wait(SOON)


if __name__ == '__main__':
    os.makedirs(WORK, exist_ok=True)
    unittest.main(verbosity=2)
