#!/usr/bin/env python3
"""Installs the build into a temporary root and checks that every file lands where a Linux
desktop looks for it, that the desktop entry and the AppStream metadata validate and agree with
each other, and that `cpack -G DEB` builds a package holding the same files with its
dependencies listed.

Usage: install_test.py SOURCE_DIR BUILD_DIR VERSION
"""
import configparser
import gzip
import os
import struct
import subprocess
import sys
import tempfile
import xml.etree.ElementTree as ET
from pathlib import Path

APP_ID = "org.sortelia.Sortelia"
ICON_SIZES = [16, 24, 32, 48, 64, 128, 256, 512]
# What the package must depend on: the libraries the executables link (found by dpkg-shlibdeps;
# libqt6gui6 also holds the xcb platform plugin) and what the program needs without linking it.
REQUIRED_DEPENDS = [
    "libc6", "libstdc++6", "libqt6core6", "libqt6gui6", "libqt6widgets6", "libqt6network6",
    "libturbojpeg0", "libglib2.0-0", "fonts-ipafont-gothic", "shared-mime-info",
    "libheif1", "libraw20",
]

failures = []


def check(condition, what):
    if not condition:
        failures.append(what)
        print("FAIL:", what)
    return condition


def run(args, **kwargs):
    return subprocess.run(args, capture_output=True, text=True, **kwargs)


def png_size(path):
    with open(path, "rb") as f:
        head = f.read(24)
    if head[:8] != b"\x89PNG\r\n\x1a\n" or head[12:16] != b"IHDR":
        return None
    return struct.unpack(">II", head[16:24])


def tree_files(root):
    return sorted("/" + str(p.relative_to(root)) for p in root.rglob("*") if not p.is_dir())


def check_installed(source, root, version):
    usr = root / "usr"
    for exe in ("sortelia", "sortelia-cli"):
        path = usr / "bin" / exe
        check(path.is_file() and os.access(path, os.X_OK), f"{path} is an executable")
    cli = run([str(usr / "bin" / "sortelia-cli"), "--help"])
    check(cli.returncode == 0 and "sortelia-cli" in cli.stdout + cli.stderr,
          f"installed sortelia-cli --help runs (exit {cli.returncode})")

    # The desktop entry: valid, and naming what was installed.
    desktop = usr / "share/applications" / f"{APP_ID}.desktop"
    if check(desktop.is_file(), f"{desktop} installed"):
        v = run(["desktop-file-validate", str(desktop)])
        print("desktop-file-validate:", (v.stdout + v.stderr).strip() or "no remarks")
        check(v.returncode == 0 and not (v.stdout + v.stderr).strip(),
              "desktop-file-validate passes without remarks")
        entry = configparser.ConfigParser(interpolation=None)
        entry.optionxform = str
        entry.read(desktop, encoding="utf-8")
        e = entry["Desktop Entry"]
        exe, _, arg = e.get("Exec", "").partition(" ")
        check((usr / "bin" / exe).is_file(), f"Exec program {exe!r} is installed in /usr/bin")
        check(arg in ("%f", "%F", "%u", "%U"), f"Exec passes a file or folder ({arg!r})")
        mimes = e.get("MimeType", "").rstrip(";").split(";")
        for mime in ("inode/directory", "image/jpeg"):
            check(mime in mimes, f"desktop entry opens {mime}")
        check(e.get("Icon") == APP_ID, "desktop entry names the installed icon")

    # The icon in the hicolor theme: the drawing, and renderings at their stated sizes.
    hicolor = usr / "share/icons/hicolor"
    svg = hicolor / "scalable/apps" / f"{APP_ID}.svg"
    check(svg.is_file(), f"{svg} installed")
    for size in ICON_SIZES:
        png = hicolor / f"{size}x{size}/apps" / f"{APP_ID}.png"
        if check(png.is_file(), f"{png} installed"):
            check(png_size(png) == (size, size), f"{png} is {size}x{size} (is {png_size(png)})")

    # The AppStream metadata: valid, pointing at the desktop entry, at this version.
    metainfo = usr / "share/metainfo" / f"{APP_ID}.metainfo.xml"
    if check(metainfo.is_file(), f"{metainfo} installed"):
        v = run(["appstreamcli", "validate", "--no-net", str(metainfo)])
        print("appstreamcli validate:", (v.stdout + v.stderr).strip())
        check(v.returncode == 0, "appstreamcli validate --no-net passes")
        component = ET.parse(metainfo).getroot()
        check(component.findtext("id") == APP_ID, "metainfo id is the application id")
        check(component.findtext("launchable") == f"{APP_ID}.desktop",
              "metainfo launches the installed desktop entry")
        check(component.findtext("project_license") == "GPL-3.0-or-later",
              "metainfo names the licence GPL-3.0-or-later")
        release = component.find("releases/release")
        check(release is not None and release.get("version") == version,
              f"newest release in the metainfo is {version}")

    # The readme and the program's own text files.
    readme = usr / "share/doc/sortelia/README.md"
    check(readme.is_file() and readme.read_bytes() == (source / "README.md").read_bytes(),
          f"{readme} installed")
    copyright = usr / "share/doc/sortelia/copyright"
    if check(copyright.is_file() and b"Copyright" in copyright.read_bytes(),
             f"{copyright} installed"):
        # A machine-readable copyright file whose files are under GPL-3.0-or-later, its text
        # pointing at the licence Debian ships.
        text = copyright.read_text()
        check(text.startswith("Format: https://www.debian.org/doc/packaging-manuals/"
                              "copyright-format/1.0/")
              and "Files: *\nCopyright: 2026 the Sortelia developers\n"
                  "License: GPL-3.0-or-later\n" in text
              and "/usr/share/common-licenses/GPL-3" in text,
              f"{copyright} gives the files under GPL-3.0-or-later")
    # The manual pages, compressed, each read by man without a warning.
    for page in ("sortelia.1", "sortelia-cli.1"):
        gz = usr / "share/man/man1" / f"{page}.gz"
        check(gz.is_file() and gzip.decompress(gz.read_bytes()) ==
              (source / "packaging/man" / page).read_bytes(), f"{gz} installed")
        m = run(["man", "--warnings", "-l", str(gz)], env={**os.environ, "MANWIDTH": "80"})
        check(m.returncode == 0 and m.stderr.strip() == "" and "SYNOPSIS" in m.stdout,
              f"man renders {page} without warnings")
    data = source / "data"
    if data.is_dir():
        for f in (p for p in data.rglob("*") if p.is_file()):
            target = usr / "share/sortelia" / f.relative_to(data)
            check(target.is_file() and target.read_bytes() == f.read_bytes(),
                  f"{target} installed")


def check_package(build, root, work, version):
    out = work / "package"
    c = run(["cpack", "-G", "DEB", "-B", str(out), "--config", str(build / "CPackConfig.cmake")],
            cwd=build)
    if not check(c.returncode == 0, "cpack -G DEB succeeds"):
        print(c.stdout, c.stderr)
        return
    debs = list(out.glob("*.deb"))
    if not check(len(debs) == 1, f"cpack made one .deb ({debs})"):
        return
    deb = debs[0]
    info = run(["dpkg-deb", "-I", str(deb)]).stdout
    print(info)
    field = lambda name: run(["dpkg-deb", "-f", str(deb), name]).stdout.strip()
    check(field("Package") == "sortelia", "package name")
    check(field("Version") == version, f"package version {version}")
    depends = [d.strip().split(" ")[0] for d in field("Depends").split(",")]
    for d in REQUIRED_DEPENDS:
        check(d in depends, f"package depends on {d}")

    # The package holds exactly what `cmake --install` puts under /usr.
    unpacked = work / "unpacked"
    x = run(["dpkg-deb", "-x", str(deb), str(unpacked)])
    check(x.returncode == 0, "dpkg-deb -x")
    check(tree_files(unpacked) == tree_files(root), "package holds the installed files")


def main():
    source, build, version = Path(sys.argv[1]).resolve(), Path(sys.argv[2]).resolve(), sys.argv[3]
    with tempfile.TemporaryDirectory(prefix="sortelia-install-") as tmp:
        work = Path(tmp)
        root = work / "root"
        i = run(["cmake", "--install", str(build), "--prefix", "/usr"],
                env={**os.environ, "DESTDIR": str(root)})
        if not check(i.returncode == 0, "cmake --install succeeds"):
            print(i.stdout, i.stderr)
        else:
            check_installed(source, root, version)
            check_package(build, root, work, version)
    print(f"{'FAILED' if failures else 'passed'}: {len(failures)} failed checks")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
