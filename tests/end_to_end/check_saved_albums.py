#!/usr/bin/env python3
"""Prints the albums of a saved catalogue file as the library reads it back, one line per song:
album title | song title | artist | seconds, albums in the library's order, songs in track order.
Usage: check_saved_albums.py <libReelsmithDB.so> <catalogue.mus>"""
import ctypes
import sys


def main():
    lib = ctypes.CDLL(sys.argv[1])
    p, i32, s = ctypes.c_void_p, ctypes.c_int32, ctypes.c_char_p
    for name, restype, argtypes in [
        ("LoadDb", i32, [s]),
        ("GetErrorText", s, []),
        ("GetAlbumCount", i32, []),
        ("GetSongCount", i32, []),
        ("BigArrayAlloc", p, [i32]),
        ("BigArrayFree", i32, [p]),
        ("BAGet", p, [p, i32]),
        ("GetAllAlbums", i32, [p]),
        ("GetSongsOnAlbum", i32, [p, p]),
        ("GetArtistOfSong", i32, [p, p]),
        ("GETALBUMTITLE", s, [p, ctypes.c_char_p, i32]),
        ("GETSONGTITLE", s, [p, ctypes.c_char_p, i32]),
        ("GETARTISTNAME", s, [p, ctypes.c_char_p, i32]),
        ("GetSongTime", i32, [p]),
    ]:
        fn = getattr(lib, name)
        fn.restype = restype
        fn.argtypes = argtypes
    if not lib.LoadDb(sys.argv[2].encode()):
        print("load failed:", lib.GetErrorText().decode("cp1252"))
        return 1
    buf = ctypes.create_string_buffer(256)

    def text(fn, handle):
        fn(handle, buf, 256)
        return buf.value.decode("cp1252")

    albums = lib.BigArrayAlloc(max(1, lib.GetAlbumCount()))
    songs = lib.BigArrayAlloc(max(1, lib.GetSongCount()))
    artist = lib.BigArrayAlloc(1)
    for a in range(lib.GetAllAlbums(albums)):
        album = lib.BAGet(albums, a)
        title = text(lib.GETALBUMTITLE, album)
        for n in range(lib.GetSongsOnAlbum(songs, album)):
            song = lib.BAGet(songs, n)
            lib.GetArtistOfSong(artist, song)
            print("|".join([title, text(lib.GETSONGTITLE, song),
                            text(lib.GETARTISTNAME, lib.BAGet(artist, 0)),
                            str(lib.GetSongTime(song))]))
    for ba in (albums, songs, artist):
        lib.BigArrayFree(ba)
    return 0


if __name__ == "__main__":
    sys.exit(main())
