#!/usr/bin/env python3
"""Regenerates the seed corpora under fuzz/corpus/ from the test pictures in tests/data/.

    fuzz/make_corpus.py

Every seed is small (a few KB), so that the fuzzers replay them quickly and mutate inputs of
the size their parsers are built for:
  fuzz_exif           SOI and the EXIF segment of each picture, cut after the last IFD byte
                      the reader uses (maker note and thumbnail left out)
  fuzz_jpeg_decode    each camera picture reduced to 1/8 and encoded again in several codings
                      (baseline, progressive, arithmetic, greyscale, 4:4:4, restart markers),
                      and the tables and start of the scan of each broken picture (needs djpeg
                      and cjpeg)
  fuzz_settings       settings files ("zel.ini") in CP932 and UTF-8, complete and cut short
  fuzz_camera_params  camera parameter files ("zel-prm.txt") as written and edited
  fuzz_heif_decode    the HEIC and AVIF pictures of tests/data/heif/ (among them rotated, mirrored
                      and cut ones) and two of them cut inside their meta box
  fuzz_raw_preview    RAW containers built here around camera pictures reduced to 1/8: TIFF
                      layouts of DNG/NEF (SubIFDs), CR2/PEF (JPEG strips), ORF and RW2 in both
                      byte orders, CR3 boxes (PRVW, THMB, CMT1, a track's sample), a RAF header
  fuzz_album_template the two album page templates as the program writes them (CP932, made by
                      build/bin/sortelia-cli, or the program named by $SORTELIA_CLI) and
                      edited ones: UTF-8, LF line ends, placeholders in other letter cases,
                      sections missing or too many
"""

import glob
import os
import shutil
import struct
import subprocess
import sys
import tempfile

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
DATA = os.path.join(ROOT, "tests", "data")
CORPUS = os.path.join(ROOT, "fuzz", "corpus")

# The most of a seed kept; the EXIF segments of the test pictures fit in this once cut.
SEED_LIMIT = 8192
# The reader looks for the APP1 marker within this many bytes of the file start.
EXIF_SEARCH_RANGE = 32


def jpeg_segments(data):
    """(marker, start, total length) of each segment before the scan; start is at its FF."""
    segments = []
    p = 2
    while p + 4 <= len(data) and data[p] == 0xFF:
        marker = data[p + 1]
        if marker == 0xDA:
            break
        length = struct.unpack(">H", data[p + 2:p + 4])[0]
        segments.append((marker, p, 2 + length))
        p += 2 + length
    return segments


def unit_size(tiff_type):
    return {1: 1, 2: 1, 6: 1, 7: 1, 3: 2, 8: 2, 4: 4, 9: 4, 11: 4}.get(tiff_type, 8)


def tiff_extent(tiff):
    """The bytes of a TIFF block the EXIF reader can use: up to the end of the last IFD or
    value it reaches, leaving out the maker note and the thumbnail picture."""
    if len(tiff) < 8 or tiff[:2] not in (b"II", b"MM"):
        return len(tiff)
    order = ">" if tiff[:2] == b"MM" else "<"
    u16 = lambda p: struct.unpack(order + "H", tiff[p:p + 2])[0]
    u32 = lambda p: struct.unpack(order + "I", tiff[p:p + 4])[0]
    end = 8
    queue, seen = [u32(4)], set()
    while queue:
        ifd = queue.pop(0)
        if ifd in seen or ifd + 2 > len(tiff):
            continue
        seen.add(ifd)
        count = u16(ifd)
        entries_end = ifd + 2 + 12 * count
        if entries_end > len(tiff):
            return len(tiff)
        end = max(end, min(entries_end + 4, len(tiff)))
        for k in range(count):
            e = ifd + 2 + 12 * k
            tag, tiff_type, n = u16(e), u16(e + 2), u32(e + 4)
            size = n * unit_size(tiff_type & 0xFF)
            if tag in (0x8769, 0xA005):  # EXIF and interoperability IFDs
                queue.append(u32(e + 8) if tiff_type == 4 else u16(e + 8))
            elif tag != 0x927C and size > 4 and u32(e + 8) + size <= len(tiff):
                end = max(end, u32(e + 8) + size)
        if entries_end + 4 <= len(tiff) and u32(entries_end) != 0:
            queue.append(u32(entries_end))
    return end


def exif_seed(picture):
    """SOI, the segments before the EXIF segment while they fit the search range, and the
    EXIF segment cut to what the reader uses; None when the picture has none."""
    data = open(picture, "rb").read()
    for marker, start, length in jpeg_segments(data):
        if marker != 0xE1 or data[start + 4:start + 10] != b"Exif\0\0":
            continue
        tiff = data[start + 10:start + length]
        segment = data[start:start + 10] + tiff[:tiff_extent(tiff)]
        segment = segment[:2] + struct.pack(">H", len(segment) - 2) + segment[4:]
        before = data[2:start] if start + 2 <= EXIF_SEARCH_RANGE else b""
        return (b"\xFF\xD8" + before + segment)[:SEED_LIMIT]
    return None


def reencoded(picture, options):
    """The picture reduced to 1/8 of its size and encoded again with cjpeg options."""
    pixels = subprocess.run(["djpeg", "-scale", "1/8", "-ppm", picture], check=True,
                            capture_output=True).stdout
    return subprocess.run(["cjpeg", "-quality", "70", *options], input=pixels, check=True,
                          capture_output=True).stdout


def picture_head(picture, scan_bytes=1024):
    """SOI, the tables and frame header of a picture (application segments left out) and the
    start of its scan."""
    data = open(picture, "rb").read()
    segments = jpeg_segments(data)
    head = b"\xFF\xD8" + b"".join(data[start:start + length] for marker, start, length in segments
                                   if not 0xE0 <= marker <= 0xEF)
    scan = segments[-1][1] + segments[-1][2] if segments else 2
    return head + data[scan:scan + scan_bytes]


JPEG_CODINGS = [
    ("baseline", []),
    ("progressive", ["-progressive"]),
    ("arithmetic", ["-arithmetic"]),
    ("grey", ["-grayscale", "-optimize"]),
    ("444_restart", ["-sample", "1x1", "-restart", "1B"]),
]


def settings_lines(slots, source, geometry, flags, interval, mask):
    return slots + [source] + geometry + flags[:1] + [interval] + flags[1:] + [mask]


SETTINGS_FILES = {
    # Folders with Japanese names, as the program writes them (CP932, CR LF).
    "cp932": ("\r\n".join(settings_lines(
        ["/home/user/写真/家族", "/home/user/写真/旅行", "/media/usb/仕事"] + [""] * 9,
        "/home/user/DCIM/", ["108", "250", "603", "545"], ["FALSE", "FALSE", "FALSE", "TRUE"],
        "3", "110011010101110010101100000")), "cp932"),
    # A folder name CP932 lacks makes the program write UTF-8.
    "utf8": ("\r\n".join(settings_lines(
        ["/srv/Fotos/Café", "/srv/Fotos/Ålesund"] + [""] * 10, "/srv/incoming/",
        ["$10", "-5", "0x1F", "  +800"], ["TRUE", "TRUE", "FALSE", "FALSE"], "12",
        "000000000000000000000000001")), "utf-8"),
    # A geometry line that is no number ends the reading.
    "bad_geometry": ("\r\n".join(["/a"] * 12 + ["/b/", "10", "20", "wide", "40", "TRUE"]),
                     "ascii"),
    # Old files with LF endings and fewer lines.
    "short_lf": ("\n".join(["/x"] * 3 + [""] * 9 + ["/y/", "0", "0", "480", "640"]), "ascii"),
}

PARAM_LABELS = ["写真のコメント", "カメラの会社名", "カメラの型名", "撮影日付", "撮影時刻", "感度",
                "フラッシュ", "画像の幅", "画像の高さ", "露出時間", "Ｆ値(しぼり)", "露出補正",
                "焦点距離"]
BUILT_IN_SET = ("OLYMPUS-C700UZ",
                [0x9E, 0xBE, 0xD6, 0x114, 0x11F, 0x156, 0x1CE, 0x216, 0x222, 0x252, 0x256, 0x28E,
                 0x29E],
                [31, 23, 13, 10, 8, 2, 1, 2, 2, 2, 1, 4, 2])


def camera_param_lines(sets):
    """The lines of a camera parameter file holding sets (name, offsets, lengths); the rest of
    the eleven sets undefined, as the program writes a new file."""
    lines = []
    for s in range(11):
        name, offsets, lengths = sets[s] if s < len(sets) else ("", [0] * 13, [0] * 13)
        lines.append("## for c700uz(開始位置１６進、データ長１０進)" if s == 0 else f"## for ETC({s})")
        lines.append(name or f"--- 未定義({s}) ---")
        for label, offset, length in zip(PARAM_LABELS, offsets, lengths):
            lines += [f"# {label}", f"${offset:04X}", str(length)]
        lines.append(f"## End of One of Parameters ({s})")
    return lines + ["# "]


CAMERA_PARAM_FILES = {
    "as_written": ("\r\n".join(camera_param_lines([BUILT_IN_SET])) + "\r\n", "cp932"),
    "two_sets": ("\r\n".join(camera_param_lines([
        BUILT_IN_SET, ("NIKON E950", [0x10, 0x7FFFFFFF, 0, 0xA0, 0xB0, 0xC0, 0xD0, 0xE0, 0xF0,
                                      0x100, 0x110, 0x120, 0x130],
                       [4, 1, 0, 10, 8, 2, 1, 2, 2, 2, 1, 4, 2])])), "utf-8"),
    "not_a_number": ("\n".join(["## one set", "CAMERA", "# comment", "$00A0", "31", "# next",
                                "0x10", "4"]), "ascii"),
    "negative": ("\r\n".join(["SET", "-1", "$FFFFFFFF", " 12 ", "-2147483648", "", "#", "$7fffffff",
                              "4294967295"]), "ascii"),
}


def default_templates():
    """The two default album templates as the command-line tool writes them into a new data
    folder: (file name, bytes) each."""
    cli = os.environ.get("SORTELIA_CLI", os.path.join(ROOT, "build", "bin", "sortelia-cli"))
    with tempfile.TemporaryDirectory() as home:
        pictures = os.path.join(home, "pictures")
        os.makedirs(pictures)
        env = dict(os.environ, XDG_CONFIG_HOME=home)
        subprocess.run([cli, "album", pictures, "--width", "64", "--height", "48"], env=env,
                       check=True, capture_output=True)
        names = ["zel-html1.txt", "zel-html2.txt"]
        return [(name, open(os.path.join(home, "sortelia", name), "rb").read()) for name in names]


ALBUM_TEMPLATES = {
    # Placeholders in other letter cases, a UTF-8 name, LF line ends.
    "utf8_lower_lf": "\n".join([
        "<title>[*ttl*]</title><a href=\"[*Lnk*]\">Ålesund</a>", "",
        "<p>[*number*] [*gexp*] [*Cmt*] [*coltd*] [*model*] [*date*] [*time*] [*iso*]",
        "[*flash*] [*wide*]x[*height*] [*shutter*] F[*f*] [*ev*] [*zoom*] [*fsize*]",
        "<a href=\"[*glnk*]\"><img src=\"[*gsmp*]\">[*fname*]</a></p>", "", "</body>"]),
    # No empty line: everything is the front, placeholders of the middle stay as they are.
    "front_only": "\r\n".join(["# comment", "[*TTL*] [*NUMBER*] [*GEXP*]", "[*LNK*][*LNK*]"]),
    # Two empty lines in a row skip the middle; lines after the back are dropped.
    "skipped_and_extra": "\r\n".join(["[*TTL*]", "", "", "[*FNAME*] back", "", "dropped",
                                       "[*GEXP*]"]),
    # Placeholders cut, nested and run together.
    "broken_placeholders": "\r\n".join(["[*", "", "[*[*NUMBER*]*] [*NUMBER [*GEXP*][*GEXP*]",
                                         "*] [] [**] [*FNAME*", "", "#[*TTL*]"]),
}


def tiff(order, magic, ifds, blobs):
    """TIFF data: the header, the IFDs in order (each followed by its values that take more
    than four bytes), then the blobs. An IFD is (entries, next) with entries (tag, type,
    values), values a list of numbers or ("ifd", i) / ("blob", i) offsets, or bytes for type
    7; next is an IFD index or None."""
    size = {3: 2, 4: 4, 7: 1}

    def value_bytes(typ, values):
        return values if typ == 7 else b"\0" * (size[typ] * len(values))

    ifd_at, p = [], 8
    for entries, _ in ifds:
        ifd_at.append(p)
        p += 2 + 12 * len(entries) + 4
        for tag, typ, values in entries:
            n = len(value_bytes(typ, values))
            p += n + (n & 1) if n > 4 else 0
    blob_at = []
    for blob in blobs:
        blob_at.append(p)
        p += len(blob)

    def resolve(v):
        if isinstance(v, tuple):
            return ifd_at[v[1]] if v[0] == "ifd" else blob_at[v[1]]
        return v

    out = order + struct.pack(order_char(order) + "HI", magic, ifd_at[0] if ifds else 0)
    c = order_char(order)
    for (entries, link), at in zip(ifds, ifd_at):
        data = at + 2 + 12 * len(entries) + 4
        head, tail = struct.pack(c + "H", len(entries)), b""
        for tag, typ, values in entries:
            raw = values if typ == 7 else b"".join(
                struct.pack(c + ("H" if typ == 3 else "I"), resolve(v)) for v in values)
            head += struct.pack(c + "HHI", tag, typ, len(raw) // size[typ])
            if len(raw) <= 4:
                head += raw.ljust(4, b"\0")
            else:
                head += struct.pack(c + "I", data)
                raw += b"\0" * (len(raw) & 1)
                tail += raw
                data += len(raw)
        out += head + struct.pack(c + "I", 0 if link is None else ifd_at[link]) + tail
    return out + b"".join(blobs)


def order_char(order):
    return "<" if order == b"II" else ">"


def iso_box(kind, payload):
    return struct.pack(">I", 8 + len(payload)) + kind + payload


CR3_PREVIEW_UUID = bytes.fromhex("eaf42b5e1c984b88b9fbb7dc406e4d16")
CR3_CANON_UUID = bytes.fromhex("85c0b687820f11e08111f4ce462b6a48")


def cr3(preview, full, thumb, orientation):
    """A CR3 laid out as Canon's: ftyp, moov (Canon's uuid box with CMT1, CMT2, THMB; a trak
    whose first sample is the full-size JPEG), the preview uuid box with PRVW, mdat."""
    ascii_ = lambda text: text.encode() + b"\0"
    cmt1 = tiff(b"II", 42, [([(0x010F, 7, ascii_("Canon")), (0x0110, 7, ascii_("Canon EOS R6")),
                               (0x0112, 3, [orientation])], None)], [])
    cmt2 = tiff(b"II", 42, [([(0x9003, 7, ascii_("2026:12:09 10:11:12"))], None)], [])
    thmb = iso_box(b"THMB", struct.pack(">IHHII", 0, 160, 120, len(thumb), 0) + thumb)
    canon = iso_box(b"uuid", CR3_CANON_UUID + iso_box(b"CMT1", cmt1) + iso_box(b"CMT2", cmt2) +
                    thmb)
    prvw = iso_box(b"uuid", CR3_PREVIEW_UUID + b"\0" * 8 + iso_box(
        b"PRVW", struct.pack(">IHHHHI", 0, 1, 1620, 1080, 1, len(preview)) + preview))
    ftyp = iso_box(b"ftyp", b"crx \0\0\0\1crx isom")

    def moov(offset):
        stbl = iso_box(b"stbl", iso_box(b"stsz", struct.pack(">III", 0, len(full), 1)) +
                       iso_box(b"co64", struct.pack(">IIQ", 0, 1, offset)))
        return iso_box(b"moov", canon + iso_box(b"trak", iso_box(b"mdia", iso_box(
            b"minf", stbl))))

    mdat_at = len(ftyp) + len(moov(0)) + len(prvw)
    return ftyp + moov(mdat_at + 8) + prvw + iso_box(b"mdat", full)


def raf(jpeg):
    header = b"FUJIFILMCCD-RAW 0201FF383501".ljust(84, b"\0") + struct.pack(">II", 160, len(jpeg))
    return header.ljust(160, b"\0") + jpeg + b"\x5a" * 64


def raw_seeds(cameras):
    """(name, bytes) of RAW containers around small JPEGs made from the camera pictures."""
    small = [reencoded(p, []) for p in cameras[:6]]
    thumb, preview, other = small[0], small[1], small[2]
    seeds = []
    for order in (b"II", b"MM"):
        o = order.decode()
        # DNG, NEF, ARW: the thumbnail in IFD0's strips, the previews in SubIFDs.
        seeds.append((f"subifd_{o}", tiff(order, 42, [
            ([(0x0112, 3, [6]), (0x0103, 3, [7]), (0x0111, 4, [("blob", 0)]),
              (0x0117, 4, [len(thumb)]), (0x014A, 4, [("ifd", 1), ("ifd", 2)])], None),
            ([(0x0201, 4, [("blob", 1)]), (0x0202, 4, [len(preview)])], None),
            ([(0x0103, 3, [6]), (0x0111, 4, [("blob", 2)]), (0x0117, 4, [len(other)])], None),
        ], [thumb, preview, other])))
        # CR2, PEF: the preview in IFD0's JPEG strip, the thumbnail in IFD1.
        seeds.append((f"strips_{o}", tiff(order, 42, [
            ([(0x0112, 3, [8]), (0x0103, 3, [6]), (0x0111, 4, [("blob", 0)]),
              (0x0117, 4, [len(preview)])], 1),
            ([(0x0201, 4, [("blob", 1)]), (0x0202, 4, [len(thumb)])], None),
        ], [preview, thumb])))
        # ORF: its own magic, the preview in IFD1.
        seeds.append((f"orf_{o}", tiff(order, 0x4F52, [
            ([(0x0112, 3, [3])], 1),
            ([(0x0201, 4, [("blob", 0)]), (0x0202, 4, [len(preview)])], None),
        ], [preview])))
    # RW2: magic 0x55, a whole JPEG as the value of IFD0's JpgFromRaw entry.
    seeds.append(("rw2", tiff(b"II", 0x55, [
        ([(0x002E, 7, preview), (0x0112, 3, [1])], 1),
        ([(0x0201, 4, [("blob", 0)]), (0x0202, 4, [len(thumb)])], None),
    ], [thumb])))
    seeds.append(("cr3", cr3(preview, other, thumb, 6)))
    seeds.append(("cr3_cut", cr3(preview, other, thumb, 1)[:300]))
    # A RAF holds a camera's JPEG with its EXIF, whose orientation counts.
    seeds.append(("raf", raf(open(cameras[0], "rb").read()[:SEED_LIMIT * 2])))
    seeds.append(("raf_small", raf(small[3])))
    return seeds


def write_seeds(target, seeds):
    folder = os.path.join(CORPUS, target)
    shutil.rmtree(folder, ignore_errors=True)
    os.makedirs(folder)
    written = set()
    for name, data in seeds:
        if data is None or data in written:
            continue
        written.add(data)
        with open(os.path.join(folder, name), "wb") as f:
            f.write(data)
    sizes = [len(d) for d in written]
    print(f"{target}: {len(sizes)} seeds, {min(sizes)}-{max(sizes)} bytes, {sum(sizes)} in all")


def main():
    cameras = sorted(glob.glob(os.path.join(DATA, "camera", "*.jpg")))
    broken = sorted(glob.glob(os.path.join(DATA, "invalid", "*.jpg")))
    stem = lambda path: os.path.splitext(os.path.basename(path))[0]

    write_seeds("fuzz_exif", [(stem(p), exif_seed(p)) for p in cameras + broken])

    # One coding per picture, in turn: a small corpus that holds every coding.
    jpegs = [(f"{stem(p)}_{coding}", reencoded(p, options))
             for p, (coding, options) in zip(cameras, JPEG_CODINGS * len(cameras))]
    jpegs += [(f"{stem(p)}_head", picture_head(p)) for p in broken]
    write_seeds("fuzz_jpeg_decode", jpegs)

    heif = sorted(glob.glob(os.path.join(DATA, "heif", "*.hei[cf]")) +
                  glob.glob(os.path.join(DATA, "heif", "*.avif")))
    heif_seeds = [(os.path.basename(p), open(p, "rb").read()) for p in heif]
    # Cut halfway through the meta box, where the items and properties are.
    meta_half = lambda data: data.find(b"meta") - 4 + struct.unpack(
        ">I", data[data.find(b"meta") - 4:data.find(b"meta")])[0] // 2
    heif_seeds += [(name + "_boxes", data[:meta_half(data)]) for name, data in heif_seeds[:2]]
    write_seeds("fuzz_heif_decode", heif_seeds)
    write_seeds("fuzz_raw_preview", raw_seeds(cameras))

    write_seeds("fuzz_settings", [(name, text.encode(codec))
                                  for name, (text, codec) in SETTINGS_FILES.items()])
    write_seeds("fuzz_camera_params", [(name, text.encode(codec))
                                       for name, (text, codec) in CAMERA_PARAM_FILES.items()])
    write_seeds("fuzz_album_template", default_templates() +
                [(name, text.encode("utf-8")) for name, text in ALBUM_TEMPLATES.items()])
    return 0


if __name__ == "__main__":
    sys.exit(main())
