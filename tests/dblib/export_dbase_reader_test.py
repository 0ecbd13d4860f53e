#!/usr/bin/env python3
"""Reads the dBase export of the built library with an independent reader, Debian's
python3-dbfread. Usage: export_dbase_reader_test.py <path of libReelsmithDB.so>"""
import ctypes
import datetime
import os
import subprocess
import sys
import tempfile
import unittest

LIB_PATH = sys.argv[1] if len(sys.argv) > 1 else ""


def preload_sanitizer_runtime():
    """A library built with AddressSanitizer loads only when its runtime comes first."""
    if "libasan" in os.environ.get("LD_PRELOAD", ""):
        return
    try:
        ldd = subprocess.run(["ldd", LIB_PATH], capture_output=True, text=True).stdout
    except OSError:
        return
    for line in ldd.splitlines():
        parts = line.split()
        if parts and parts[0].startswith("libasan") and len(parts) >= 3:
            env = dict(os.environ, LD_PRELOAD=parts[2])
            # The interpreter's own allocations are no concern of this test.
            env["ASAN_OPTIONS"] = "detect_leaks=0:" + env.get("ASAN_OPTIONS", "")
            os.execve(sys.executable, [sys.executable] + sys.argv, env)


def import_dbfread():
    try:
        import dbfread
    except ImportError:
        # The Debian package lives with the system interpreter; another python3 may be
        # first on the path.
        sys.path.append("/usr/lib/python3/dist-packages")
        import dbfread
    return dbfread


def load_library(path):
    lib = ctypes.CDLL(path)
    p, i32, s = ctypes.c_void_p, ctypes.c_int32, ctypes.c_char_p
    signatures = {
        "CleanupDb": (i32, []),
        "AddArtist": (p, [s]),
        "AddAlbum": (p, [s, s, s, i32, i32, i32]),
        "BeginAddSong": (None, []),
        "AddSong": (p, [s, i32, p, p, i32]),
        "FinishAddSong": (None, []),
        "ResequenceSongs": (None, []),
        "SetUserChoiceFieldItem": (None, [i32, i32, s]),
        "SetUserChoiceFieldInfo": (None, [i32, s, i32]),
        "SetUserTextFieldInfo": (None, [i32, s, i32]),
        "ExportToDBase": (i32, [s]),
        "GetErrorText": (s, []),
    }
    for name, (restype, argtypes) in signatures.items():
        fn = getattr(lib, name)
        fn.restype = restype
        fn.argtypes = argtypes
    return lib


class ExportReadByDbfread(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.dbfread = import_dbfread()
        lib = load_library(LIB_PATH)
        lib.CleanupDb()
        lib.SetUserChoiceFieldItem(1, 0, b"Jazz")
        lib.SetUserChoiceFieldItem(1, 1, b"Rock")
        lib.SetUserChoiceFieldInfo(1, b"Genre", 2)
        lib.SetUserTextFieldInfo(1, b"Bought at", 1)
        harbour = lib.AddAlbum(b"Harbour Lights", b"Corner shop", None, 1, 2, 0)
        quiet = lib.AddAlbum(b"Quiet Se\xf1or", b"", b"", 0, 0, 0)
        lib.BeginAddSong()
        # Added out of track order; three artists on one album.
        lib.AddSong(b"Caf\xe9 Window", 312, lib.AddArtist(b"\xc9lan Vital"), harbour, 3)
        lib.AddSong(b"After Rain", 245, lib.AddArtist(b"Ada Quill"), harbour, 1)
        lib.AddSong(b"Blue Hour", 185, lib.AddArtist(b"Bram Ossory"), harbour, 2)
        lib.AddSong(b"Everglow", 6000, lib.AddArtist(b"Bram Ossory"), quiet, 1)
        lib.FinishAddSong()
        lib.ResequenceSongs()
        cls.tmp = tempfile.TemporaryDirectory()
        cls.path = os.path.join(cls.tmp.name, "catalogue.dbf")
        result = lib.ExportToDBase(cls.path.encode())
        if result != 1:
            raise AssertionError("export failed: %r" % lib.GetErrorText())
        cls.table = cls.dbfread.DBF(cls.path, encoding="cp1252", load=True)

    @classmethod
    def tearDownClass(cls):
        cls.tmp.cleanup()

    def test_fields_names_types_and_widths(self):
        fields = [(f.name, f.type, f.length) for f in self.table.fields]
        self.assertEqual(fields, [
            ("ALBUMNUM", "N", 6),
            ("ALBUMTITLE", "C", 50),
            ("ARTIST", "C", 50),
            ("MEDIA", "C", 8),
            ("GENRE", "C", 14),
            ("BOUGHT AT", "C", 26),
            ("SONGTRACK", "N", 2),
            ("SONGTITLE", "C", 50),
            ("SONGTIME", "C", 6),
        ])
        self.assertEqual(self.table.header.dbversion, 0x03)

    def test_header_counts_and_date(self):
        self.assertEqual(self.table.header.numrecords, 4)
        self.assertEqual(len(self.table.records), 4)
        self.assertEqual(len(self.table.deleted), 0)
        today = datetime.date.today()
        self.assertIn(self.table.date, (today, today - datetime.timedelta(days=1)))

    def test_values_album_by_album_in_track_order(self):
        rows = [dict(r) for r in self.table.records]
        expected = [
            (1, "Harbour Lights", "Ada Quill", "CD", "Rock", "Corner shop", 1, "After Rain",
             " 4:05"),
            (1, "Harbour Lights", "Bram Ossory", "CD", "Rock", "Corner shop", 2, "Blue Hour",
             " 3:05"),
            (1, "Harbour Lights", "\u00c9lan Vital", "CD", "Rock", "Corner shop", 3,
             "Caf\u00e9 Window", " 5:12"),
            # Medium 0, no choice, empty text.
            (2, "Quiet Se\u00f1or", "Bram Ossory", "", "", "", 1, "Everglow", "100:00"),
        ]
        names = [f.name for f in self.table.fields]
        self.assertEqual([tuple(row[n] for n in names) for row in rows], expected)


if __name__ == "__main__":
    if not LIB_PATH:
        sys.exit("usage: export_dbase_reader_test.py <path of libReelsmithDB.so>")
    preload_sanitizer_runtime()
    unittest.main(argv=[sys.argv[0]])
