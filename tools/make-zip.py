#!/usr/bin/env python3
"""Writes the release zip: the program, the guide (GBK with CR LF, as
Notepad on any Simplified Chinese Windows shows it) and SHA256SUMS.

Everything that could vary is fixed: entry order, time stamps, attributes,
the creating system, the compression. Names are stored in GBK without the
UTF-8 flag, which is how Windows' own zip folders read them on a Chinese
system, old versions included.

    make-zip.py ZIP EXE GUIDE_UTF8
"""
import hashlib
import sys
import zipfile

# The release's date, for every entry (zip time stamps have no time zone).
STAMP = (2026, 12, 7, 0, 0, 0)


def crlf_gbk(text):
    return text.replace("\r\n", "\n").replace("\n", "\r\n").encode("gbk")


class GbkInfo(zipfile.ZipInfo):
    # zipfile would store a non-ASCII name in UTF-8 with the UTF-8 flag.
    def _encodeFilenameFlags(self):
        return self.filename.encode("gbk"), self.flag_bits & ~0x800


def add(zf, name, data):
    info = GbkInfo(name, date_time=STAMP)
    info.create_system = 0  # MS-DOS
    info.external_attr = 0x20  # archive
    info.compress_type = zipfile.ZIP_DEFLATED
    zf.writestr(info, data, compresslevel=9)


def main():
    zip_path, exe_path, guide_path = sys.argv[1:4]
    exe = open(exe_path, "rb").read()
    guide = crlf_gbk(open(guide_path, encoding="utf-8").read())
    files = [("jilantong.exe", exe), ("使用说明.txt", guide)]
    sums = "".join(f"{hashlib.sha256(data).hexdigest()} *{name}\n" for name, data in files)
    files.append(("SHA256SUMS", crlf_gbk(sums)))
    with zipfile.ZipFile(zip_path, "w") as zf:
        for name, data in files:
            add(zf, name, data)
    # The names went in as GBK bytes, without the UTF-8 flag.
    raw = open(zip_path, "rb").read()
    for name, _ in files:
        assert raw.count(name.encode("gbk")) == 2, name
    with zipfile.ZipFile(zip_path) as zf:
        assert all(not (i.flag_bits & 0x800) for i in zf.infolist())


if __name__ == "__main__":
    main()
