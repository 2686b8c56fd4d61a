#!/usr/bin/env python3
"""Regenerates the HEIF test pictures in this folder from the camera pictures in ../camera/.

    tests/data/heif/make_heif.py

Needs heif-enc (Debian: libheif-examples) and ImageMagick's convert. Writes:
  canon_40d.heic      Canon_40D.jpg (100x68) as HEIC, quality 80; heif-enc copies its Exif
  canon_40d.avif      the same picture as AVIF
  canon_40d_rot90.heic  canon_40d.heic with an irot property of one quarter turn
                      anticlockwise on its primary image (heif-enc writes none, so it is added
                      here): the same coded pixels, shown 68x100
  canon_40d_mirror.heic canon_40d.heic with an irot of two quarter turns followed by an imir
                      of 1 (left and right exchanged, as the amended HEIF standard, libheif and
                      phones read that bit); together the picture upside down
  nikon_e950.heic     nikon-e950.jpg reduced to 160x120 (no Exif kept), quality 90
  canon_40d_cut.heic  canon_40d.heic cut in the middle of its coded picture
  nikon_e950_grid.heic  nikon-e950.jpg stretched to 128x128, its four 64x64 quarters encoded
                      each by heif-enc (quality 90) and put together here as the tiles of a
                      2 x 2 grid image shown 120 x 100 (heif-enc 1.15 writes no grids)
  coded_wider_than_declared.heic, .avif  a 4224x64 gradient whose ispe property says 64x64
"""

import os
import struct
import subprocess
import sys
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))
CAMERA = os.path.join(os.path.dirname(HERE), "camera")


def boxes(data, start, end):
    """(type, start, header size, end) of each box between start and end."""
    out = []
    p = start
    while p + 8 <= end:
        size, kind = struct.unpack(">I4s", data[p:p + 8])
        header = 8
        if size == 1:
            size = struct.unpack(">Q", data[p + 8:p + 16])[0]
            header = 16
        elif size == 0:
            size = end - p
        out.append((kind.decode("latin-1"), p, header, p + size))
        p += size
    return out


def child(data, parent, kind, full_box=False):
    _, start, header, end = parent
    skip = 4 if full_box else 0
    for box in boxes(data, start + header + skip, end):
        if box[0] == kind:
            return box
    raise ValueError(f"no {kind} box")


def box(kind, payload):
    return struct.pack(">I4s", 8 + len(payload), kind.encode("latin-1")) + payload


def add_properties(data, properties):
    """data (a HEIF file whose meta box comes before its mdat) with properties (box bytes)
    appended to ipco and associated, essential and in order, with the primary item; the
    offsets of iloc that point behind the meta box are moved by what the meta box grew."""
    top = boxes(data, 0, len(data))
    meta = next(b for b in top if b[0] == "meta")
    iprp = child(data, meta, "iprp", full_box=True)
    ipco = child(data, iprp, "ipco")
    ipma = child(data, iprp, "ipma")
    pitm = child(data, meta, "pitm", full_box=True)
    iloc = child(data, meta, "iloc", full_box=True)

    pitm_version = data[pitm[1] + pitm[2]]
    at = pitm[1] + pitm[2] + 4
    primary = struct.unpack(">H" if pitm_version == 0 else ">I",
                            data[at:at + (2 if pitm_version == 0 else 4)])[0]
    first_new = len(boxes(data, ipco[1] + ipco[2], ipco[3])) + 1

    # The associations, rebuilt with the new ones added to the primary item.
    p = ipma[1] + ipma[2]
    version, flags = data[p], int.from_bytes(data[p + 1:p + 4], "big")
    wide_index = flags & 1
    count = struct.unpack(">I", data[p + 4:p + 8])[0]
    p += 8
    new_ipma = data[ipma[1] + ipma[2]:ipma[1] + ipma[2] + 8]
    for _ in range(count):
        id_size = 2 if version < 1 else 4
        item = int.from_bytes(data[p:p + id_size], "big")
        n = data[p + id_size]
        assoc_size = 2 if wide_index else 1
        assoc = data[p + id_size + 1:p + id_size + 1 + n * assoc_size]
        p += id_size + 1 + n * assoc_size
        if item == primary:
            for k in range(len(properties)):
                index = first_new + k
                assoc += (struct.pack(">H", 0x8000 | index) if wide_index else bytes([0x80 | index]))
            n += len(properties)
        new_ipma += item.to_bytes(id_size, "big") + bytes([n]) + assoc
    new_ipco = data[ipco[1] + ipco[2]:ipco[3]] + b"".join(properties)

    iprp_body = b""
    for b in boxes(data, iprp[1] + iprp[2], iprp[3]):
        if b[0] == "ipco":
            iprp_body += box("ipco", new_ipco)
        elif b[0] == "ipma":
            iprp_body += box("ipma", new_ipma)
        else:
            iprp_body += data[b[1]:b[3]]
    meta_body = data[meta[1] + meta[2]:meta[1] + meta[2] + 4]
    for b in boxes(data, meta[1] + meta[2] + 4, meta[3]):
        meta_body += box("iprp", iprp_body) if b[0] == "iprp" else data[b[1]:b[3]]
    new_meta = bytearray(box("meta", meta_body))
    grown = len(new_meta) - (meta[3] - meta[1])

    # Move the file offsets of iloc (construction method 0) that point past the meta box.
    iloc_at = iloc[1] - meta[1] - meta[2] + 8  # where iloc starts inside new_meta
    q = iloc_at + iloc[2]
    version = new_meta[q]
    q += 4
    offset_size, length_size = new_meta[q] >> 4, new_meta[q] & 15
    base_size, index_size = new_meta[q + 1] >> 4, (new_meta[q + 1] & 15) if version else 0
    q += 2
    items = struct.unpack(">H" if version < 2 else ">I", new_meta[q:q + (2 if version < 2 else 4)])[0]
    q += 2 if version < 2 else 4

    def field(size):
        nonlocal q
        value = int.from_bytes(new_meta[q:q + size], "big")
        q += size
        return value, q - size

    for _ in range(items):
        field(2 if version < 2 else 4)
        method = field(2)[0] & 15 if version else 0
        field(2)
        base, base_at = field(base_size)
        extents = field(2)[0]
        places = []
        for _ in range(extents):
            field(index_size)
            places.append(field(offset_size))
            field(length_size)
        if method != 0:
            continue
        targets = [(base, base_at, base_size)] if base_size and base else \
            [(o, at, offset_size) for o, at in places]
        for value, at, size in targets:
            if value >= meta[3]:
                new_meta[at:at + size] = (value + grown).to_bytes(size, "big")
    return data[:meta[1]] + bytes(new_meta) + data[meta[3]:]


def read_iloc(data, iloc):
    """{item ID: [(file offset, length)]} from an iloc box, for items stored in the file."""
    q = iloc[1] + iloc[2]
    version = data[q]
    q += 4
    offset_size, length_size = data[q] >> 4, data[q] & 15
    base_size, index_size = data[q + 1] >> 4, (data[q + 1] & 15) if version else 0
    q += 2

    def field(size):
        nonlocal q
        q += size
        return int.from_bytes(data[q - size:q], "big")

    items = {}
    for _ in range(field(2 if version < 2 else 4)):
        item = field(2 if version < 2 else 4)
        method = field(2) & 15 if version else 0
        field(2)
        base = field(base_size)
        extents = []
        for _ in range(field(2)):
            field(index_size)
            offset = field(offset_size)
            extents.append((base + offset, field(length_size)))
        if method == 0:
            items[item] = extents
    return items


def coded_picture(data):
    """The hvcC box and the coded data of a single-picture HEIC's primary image."""
    meta = next(b for b in boxes(data, 0, len(data)) if b[0] == "meta")
    iprp = child(data, meta, "iprp", full_box=True)
    hvcc = child(data, iprp, "ipco")
    hvcc = child(data, hvcc, "hvcC")
    pitm = child(data, meta, "pitm", full_box=True)
    primary = struct.unpack(">H", data[pitm[1] + pitm[2] + 4:pitm[1] + pitm[2] + 6])[0]
    extents = read_iloc(data, child(data, meta, "iloc", full_box=True))[primary]
    return data[hvcc[1]:hvcc[3]], b"".join(data[o:o + n] for o, n in extents)


def full_box(kind, version, flags, payload):
    return box(kind, bytes([version]) + flags.to_bytes(3, "big") + payload)


def grid_heic(tiles, rows, columns, width, height, tile_width, tile_height):
    """A HEIC whose primary image is a grid of the given single-picture HEICs (row by row),
    width x height of it shown (the grid cut at the right and bottom, as phones do)."""
    parts = [coded_picture(t) for t in tiles]
    n = len(parts)
    grid_id = n + 1
    u16 = lambda v: struct.pack(">H", v)
    ispe = lambda w, h: full_box("ispe", 0, 0, struct.pack(">II", w, h))
    # Properties: the tiles' hvcC boxes (1..n), the tiles' size (n + 1), the grid's (n + 2).
    ipco = box("ipco", b"".join(p[0] for p in parts) + ispe(tile_width, tile_height) +
               ispe(width, height))
    ipma = full_box("ipma", 0, 0, struct.pack(">I", n + 1) + b"".join(
        u16(i + 1) + bytes([2, 0x80 | (i + 1), n + 1]) for i in range(n)) +
        u16(grid_id) + bytes([1, n + 2]))
    infe = lambda item, kind, hidden: full_box("infe", 2, hidden, u16(item) + u16(0) + kind +
                                                b"\0")
    iinf = full_box("iinf", 0, 0, u16(n + 1) + b"".join(infe(i + 1, b"hvc1", 1)
                                                        for i in range(n)) +
                    infe(grid_id, b"grid", 0))
    iref = full_box("iref", 0, 0, box("dimg", u16(grid_id) + u16(n) +
                                      b"".join(u16(i + 1) for i in range(n))))
    descriptor = bytes([0, 0, rows - 1, columns - 1]) + u16(width) + u16(height)
    payloads = [descriptor] + [p[1] for p in parts]
    ids = [grid_id] + list(range(1, n + 1))

    def meta(data_at):
        entries, at = b"", data_at
        for item, payload in zip(ids, payloads):
            entries += u16(item) + u16(0) + u16(1) + struct.pack(">II", at, len(payload))
            at += len(payload)
        iloc = full_box("iloc", 0, 0, bytes([0x44, 0x00]) + u16(len(ids)) + entries)
        hdlr = full_box("hdlr", 0, 0, b"\0" * 4 + b"pict" + b"\0" * 12 + b"\0")
        pitm = full_box("pitm", 0, 0, u16(grid_id))
        return full_box("meta", 0, 0, hdlr + pitm + iloc + iinf + iref +
                        box("iprp", ipco + ipma))

    ftyp = box("ftyp", b"heic" + b"\0" * 4 + b"mif1heic")
    data_at = len(ftyp) + len(meta(0)) + 8
    return ftyp + meta(data_at) + box("mdat", b"".join(payloads))


def run(*command):
    subprocess.run(command, check=True, capture_output=True)


# ImageMagick's convert where Debian installs it, in case another program of that name comes first.
CONVERT = "/usr/bin/convert" if os.path.exists("/usr/bin/convert") else "convert"


def main():
    out = lambda name: os.path.join(HERE, name)
    run("heif-enc", "-q", "80", os.path.join(CAMERA, "Canon_40D.jpg"), "-o", out("canon_40d.heic"))
    run("heif-enc", "-q", "80", os.path.join(CAMERA, "Canon_40D.jpg"), "-o", out("canon_40d.avif"))
    with tempfile.TemporaryDirectory() as tmp:
        small = os.path.join(tmp, "nikon.jpg")
        run(CONVERT, os.path.join(CAMERA, "nikon-e950.jpg"), "-strip", "-resize", "160x120",
            small)
        run("heif-enc", "-q", "90", small, "-o", out("nikon_e950.heic"))
        # A 2 x 2 grid of 64 x 64 tiles, shown 120 x 100 as phones cut their grids.
        square = os.path.join(tmp, "square.png")
        run(CONVERT, os.path.join(CAMERA, "nikon-e950.jpg"), "-strip", "-resize", "128x128!",
            square)
        run(CONVERT, square, "-crop", "64x64", "+repage", os.path.join(tmp, "tile_%d.png"))
        tiles = []
        for i in range(4):
            run("heif-enc", "-q", "90", os.path.join(tmp, f"tile_{i}.png"), "-o",
                os.path.join(tmp, f"tile_{i}.heic"))
            tiles.append(open(os.path.join(tmp, f"tile_{i}.heic"), "rb").read())
        with open(out("nikon_e950_grid.heic"), "wb") as f:
            f.write(grid_heic(tiles, 2, 2, 120, 100, 64, 64))
        # A coded picture far wider than the image declares.
        wide = os.path.join(tmp, "wide.jpg")
        run(CONVERT, "-size", "4224x64", "gradient:red-blue", "-type", "TrueColor", wide)
        run("heif-enc", "-q", "30", wide, "-o", os.path.join(tmp, "wide.heic"))
        data = bytearray(open(os.path.join(tmp, "wide.heic"), "rb").read())
        ispe = data.find(b"ispe")
        data[ispe + 8:ispe + 16] = struct.pack(">II", 64, 64)
        with open(out("coded_wider_than_declared.heic"), "wb") as f:
            f.write(bytes(data))
        run("heif-enc", "-q", "30", wide, "-o", os.path.join(tmp, "wide.avif"))
        data = bytearray(open(os.path.join(tmp, "wide.avif"), "rb").read())
        ispe = data.find(b"ispe")
        data[ispe + 8:ispe + 16] = struct.pack(">II", 64, 64)
        with open(out("coded_wider_than_declared.avif"), "wb") as f:
            f.write(bytes(data))

    plain = open(out("canon_40d.heic"), "rb").read()
    irot = lambda quarters: box("irot", bytes([quarters]))
    imir = lambda axis: box("imir", bytes([axis]))
    with open(out("canon_40d_rot90.heic"), "wb") as f:
        f.write(add_properties(plain, [irot(1)]))
    with open(out("canon_40d_mirror.heic"), "wb") as f:
        f.write(add_properties(plain, [irot(2), imir(1)]))
    mdat = next(b for b in boxes(plain, 0, len(plain)) if b[0] == "mdat")
    with open(out("canon_40d_cut.heic"), "wb") as f:
        f.write(plain[:(mdat[1] + mdat[3]) // 2])
    return 0


if __name__ == "__main__":
    sys.exit(main())
