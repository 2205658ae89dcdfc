#!/usr/bin/env python3
"""Checks the four release files made by scripts/release.sh.

For each architecture: the zip and the installer exist under the names made from the version;
the zip holds one folder whose contents are exactly the release build's runnable folder (same
files, same bytes, the empty FW folder) plus README.txt; fernclip.exe in the zip and the
installer are Windows GUI programs for that architecture (PE header). Prints one line per
problem and exits 1 when there is any.

usage: check_packages.py VERSION RELEASE_DIR ARCH=BUILD_DIR [ARCH=BUILD_DIR ...]
"""
import os
import struct
import sys
import zipfile

# PE machine and optional-header magic of each architecture.
PE_KINDS = {"x86_64": (0x8664, 0x20B), "i686": (0x014C, 0x10B)}
GUI_SUBSYSTEM = 2


def pe_kind(data):
    """(machine, optional-header magic, subsystem) of a PE image, or None when it is none."""
    if len(data) < 0x40 or data[:2] != b"MZ":
        return None
    offset = struct.unpack_from("<I", data, 0x3C)[0]
    if len(data) < offset + 24 + 70 or data[offset:offset + 4] != b"PE\0\0":
        return None
    machine = struct.unpack_from("<H", data, offset + 4)[0]
    magic, = struct.unpack_from("<H", data, offset + 24)
    subsystem, = struct.unpack_from("<H", data, offset + 24 + 68)
    return machine, magic, subsystem


def folder_tree(root):
    """Relative paths of the files (with their bytes) and of the folders below root."""
    files, folders = {}, set()
    for here, dirs, names in os.walk(root):
        rel = os.path.relpath(here, root)
        for d in dirs:
            folders.add(os.path.normpath(os.path.join(rel, d)).replace(os.sep, "/"))
        for n in names:
            path = os.path.normpath(os.path.join(rel, n)).replace(os.sep, "/")
            with open(os.path.join(here, n), "rb") as f:
                files[path] = f.read()
    return files, folders


def check_zip(path, top, build_dir, arch, problems):
    expected_files, expected_folders = folder_tree(os.path.join(build_dir, "bin"))
    with open(os.path.join(build_dir, "packaging", "README.txt"), "rb") as f:
        expected_files["README.txt"] = f.read()
    files, folders = {}, set()
    with zipfile.ZipFile(path) as archive:
        for info in archive.infolist():
            if not info.filename.startswith(top + "/"):
                problems.append(f"{path}: {info.filename} lies outside the folder {top}/")
                continue
            rel = info.filename[len(top) + 1:]
            if info.is_dir():
                if rel.rstrip("/"):
                    folders.add(rel.rstrip("/"))
            else:
                files[rel] = archive.read(info)
    # Folders that hold files are implied; the empty FW folder must be there as an entry.
    for rel in files:
        parts = rel.split("/")[:-1]
        for i in range(1, len(parts) + 1):
            folders.add("/".join(parts[:i]))
    for rel in sorted(set(expected_files) - set(files)):
        problems.append(f"{path}: {rel} is missing")
    for rel in sorted(set(files) - set(expected_files)):
        problems.append(f"{path}: {rel} is not in the runnable folder")
    for rel in sorted(set(files) & set(expected_files)):
        if files[rel] != expected_files[rel]:
            problems.append(f"{path}: {rel} differs from the runnable folder's copy")
    for rel in sorted(expected_folders ^ folders):
        problems.append(f"{path}: folder {rel} is {'missing' if rel in expected_folders else 'extra'}")
    if "FW" not in folders:
        problems.append(f"{path}: the FW folder is missing")
    program = files.get("fernclip.exe")
    if program is not None:
        check_pe(f"{path}: fernclip.exe", program, arch, problems)


def check_pe(what, data, arch, problems):
    kind = pe_kind(data)
    machine, magic = PE_KINDS[arch]
    if kind is None:
        problems.append(f"{what} is no Windows program")
    elif kind != (machine, magic, GUI_SUBSYSTEM):
        problems.append(f"{what}: PE machine/magic/subsystem {kind[0]:#x}/{kind[1]:#x}/{kind[2]} "
                        f"instead of {machine:#x}/{magic:#x}/{GUI_SUBSYSTEM} for {arch}")


def main(argv):
    if len(argv) < 4:
        print(__doc__)
        return 2
    version, release_dir = argv[1], argv[2]
    problems = []
    expected_names = set()
    for pair in argv[3:]:
        arch, build_dir = pair.split("=", 1)
        if arch not in PE_KINDS:
            problems.append(f"unknown architecture {arch}")
            continue
        top = f"Revivix-{version}-{arch}"
        archive = os.path.join(release_dir, top + ".zip")
        installer = os.path.join(release_dir, top + "-setup.exe")
        expected_names.update({top + ".zip", top + "-setup.exe"})
        if not os.path.isfile(archive):
            problems.append(f"{archive} is missing (run scripts/release.sh)")
        else:
            check_zip(archive, top, build_dir, arch, problems)
        if not os.path.isfile(installer):
            problems.append(f"{installer} is missing (run scripts/release.sh)")
        else:
            with open(installer, "rb") as f:
                check_pe(installer, f.read(), arch, problems)
    if os.path.isdir(release_dir):
        for name in sorted(os.listdir(release_dir)):
            if name.startswith("Revivix-") and name not in expected_names:
                problems.append(f"{release_dir}: {name} is not a file of this release")
    for p in problems:
        print("FAIL:", p)
    if not problems:
        print(f"release files of {version} for {', '.join(a.split('=')[0] for a in argv[3:])}: OK")
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
