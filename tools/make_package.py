#!/usr/bin/env python3
"""Assembles the Windows download OUT_DIR/tactiview-VERSION-win32.zip:
tactiview.exe, glovebox-sim.exe, README.txt and SHA256SUMS. VERSION is the
file version in tactiview.exe's version record. The same inputs give the same
bytes: the entries come in a fixed order with a fixed date and mode.

usage: make_package.py OUT_DIR TACTIVIEW_EXE GLOVEBOX_SIM_EXE README_TXT
Prints the path of the zip.
"""
import hashlib
import os
import stat
import struct
import sys
import zipfile

ENTRY_DATE = (1980, 1, 1, 0, 0, 0)  # the earliest a zip entry can carry
ENTRY_MODE = stat.S_IFREG | 0o644
MADE_ON_UNIX = 3  # so that unzip reads ENTRY_MODE
COMPRESS_LEVEL = 9

VERSION_KEY = 'VS_VERSION_INFO'.encode('utf-16-le')
FIXED_INFO_SIGNATURE = struct.pack('<I', 0xFEEF04BD)


def fail(message):
    sys.exit('make_package: ' + message)


def file_version(exe_bytes):
    """FILEVERSION of the version record as 'a.b.c.d'; None when there is none.
    The fixed part of the record follows its key: a signature, the structure's
    version, then the file version's high and low 32 bits."""
    key = exe_bytes.find(VERSION_KEY)
    fixed = exe_bytes.find(FIXED_INFO_SIGNATURE, key) if key >= 0 else -1
    if fixed < 0:
        return None
    high, low = struct.unpack_from('<II', exe_bytes, fixed + 8)
    return '%d.%d.%d.%d' % (high >> 16, high & 0xFFFF, low >> 16, low & 0xFFFF)


def windows_text(path, version):
    """The text file as Windows users read it: CR LF line ends, with the
    version filled in. Plain ASCII only."""
    with open(path, 'rb') as f:
        raw = f.read()
    try:
        text = raw.decode('ascii')
    except UnicodeDecodeError as e:
        fail('%s is not plain ASCII: %s' % (path, e))
    text = text.replace('\r\n', '\n').replace('@VERSION@', version)
    return text.replace('\n', '\r\n').encode('ascii')


def checksums(files):
    """SHA256SUMS as sha256sum prints it."""
    return ''.join('%s  %s\n' % (hashlib.sha256(data).hexdigest(), name)
                   for name, data in files).encode('ascii')


def write_zip(path, files):
    """Writes beside the target and renames, so that a failed run leaves no
    half-written zip under the final name."""
    partial = path + '.part'
    with zipfile.ZipFile(partial, 'w') as archive:
        for name, data in files:
            entry = zipfile.ZipInfo(name, ENTRY_DATE)
            entry.create_system = MADE_ON_UNIX
            entry.external_attr = ENTRY_MODE << 16
            entry.compress_type = zipfile.ZIP_DEFLATED
            archive.writestr(entry, data, compresslevel=COMPRESS_LEVEL)
    os.replace(partial, path)


def main(args):
    if len(args) != 4:
        sys.exit(__doc__.strip())
    out_dir, tactiview, simulator, readme = args
    with open(tactiview, 'rb') as f:
        tactiview_bytes = f.read()
    with open(simulator, 'rb') as f:
        simulator_bytes = f.read()
    version = file_version(tactiview_bytes)
    if not version:
        fail('%s has no version record' % tactiview)
    files = [('tactiview.exe', tactiview_bytes),
             ('glovebox-sim.exe', simulator_bytes),
             ('README.txt', windows_text(readme, version))]
    files.append(('SHA256SUMS', checksums(files)))
    os.makedirs(out_dir, exist_ok=True)
    path = os.path.join(out_dir, 'tactiview-%s-win32.zip' % version)
    write_zip(path, files)
    print(path)


if __name__ == '__main__':
    main(sys.argv[1:])
