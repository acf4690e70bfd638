#!/usr/bin/env python3
"""The file-system matrix: trellisane-cli on real file systems mounted here.

Usage: fs_matrix.py CLI [FILESYSTEM...]

As root, mounts each file system of the matrix itself (loop images, FUSE drivers, overlayfs,
sshfs to 127.0.0.1), runs a few operations over a small nested tree with a marker file in each
folder, and checks on the disk: nothing lost or replaced, no temporary name left, `--status`
row by row what `--apply` did, case changes visible, `--undo J --apply` bringing back the exact
tree, both at once and after an unmount and a mount (a block image through another loop
device, as a stick in another port). Everything it mounts it takes down again, also when a
check fails or it is interrupted. A file system it cannot mount is skipped with one line; when
every one is skipped, the matrix fails. Run by another user, it skips as a whole (exit 77).
Prints the grid at the end: file system by column, pass, FAIL, skip, or known (a limit still
open, with its reason; a known cell that passes fails the matrix, so the list stays true).
"""

import os
import shutil
import signal
import socket
import subprocess
import sys
import tempfile
import time

SKIP = 77
COMMAND_SECONDS = 60

# (column, operation, answers)
OPERATIONS = [
    ("upper", "upper case", []),
    ("lower", "lower case", []),
    ("proper", "proper case", []),
    ("sentence", "sentence case", []),
    ("rm-numeric", "remove numeric", []),
    ("add-x-end", "add x to end", ["--x", "x"]),
    ("find-repl", "find and replace", ["--find", "a", "--replace", "b"]),
]
REPLUG_COLUMN = "undo-replug"
NAMES_COLUMN = "name-rules"
COLUMNS = [column for column, _, _ in OPERATIONS] + [REPLUG_COLUMN, NAMES_COLUMN]
# New names some driver refuses or changes: the preview must refuse exactly those the mounted
# driver does not take as they are.
PROBE_NAMES = ["Jan ", "Jan.", "Jan..", "CON", "com1.txt", "a:b", "a?b", 'a"b', "a|b", "a\\b",
               "a*b", "a<b", " Jan"]
CASE_COLUMNS = {"upper", "lower", "proper", "sentence"}

# The tree made for every operation: folders, parents first. "Old STUFF/cat" becomes the taken
# "cbt" under find and replace; "abc1" and "abc2" both claim "abc", "2021" empties under
# remove numeric, "Jan 01" and "Photos 2021" end in a blank there.
TREE = [
    "Photos 2021",
    "Photos 2021/Jan 01",
    "Photos 2021/feb 2",
    "Photos 2021/feb 2/2021",
    "Old STUFF",
    "Old STUFF/abc1",
    "Old STUFF/abc2",
    "Old STUFF/cat",
    "Old STUFF/cbt",
    "misc",
]
MARKER = "marker.txt"

# Cells that fail for a limit not yet mended: (file system, column) -> why. A column of None
# stands for every column.
KNOWN = {}


class Failure(Exception):
    pass


class Skip(Exception):
    pass


def run(args, check=True, **kwargs):
    """Runs a command, its output captured; raises Failure when it fails and `check` is set."""
    try:
        done = subprocess.run(args, stdin=subprocess.DEVNULL, capture_output=True,
                              timeout=COMMAND_SECONDS, **kwargs)
    except subprocess.TimeoutExpired:
        raise Failure(f"{args[0]} did not finish within {COMMAND_SECONDS} s")
    if check and done.returncode != 0:
        raise Failure(f"{' '.join(map(str, args))} exited {done.returncode}: "
                      f"{done.stderr.decode(errors='replace').strip()}")
    return done


def have(*programs):
    return all(shutil.which(p) for p in programs)


def free_port():
    with socket.socket() as s:
        s.bind(("127.0.0.1", 0))
        return s.getsockname()[1]


def wait_for(condition, seconds=10.0):
    deadline = time.monotonic() + seconds
    while time.monotonic() < deadline:
        if condition():
            return True
        time.sleep(0.05)
    return condition()


def is_mounted(path):
    with open("/proc/self/mountinfo") as f:
        return any(line.split()[4] == path for line in f)


class Mounts:
    """Everything mounted or started for one file system, taken down in reverse order."""

    def __init__(self):
        self.undo = []

    def add(self, action):
        self.undo.append(action)

    def close(self):
        while self.undo:
            action = self.undo.pop()
            try:
                action()
            except Exception as error:  # a teardown step must not stop the others
                print(f"fs_matrix: teardown: {error}", file=sys.stderr)


def unmount(path):
    for _ in range(50):
        if not is_mounted(path):
            return
        if run(["umount", path], check=False).returncode != 0:
            time.sleep(0.1)
    run(["umount", "-l", path], check=False)


class FileSystem:
    """One row of the matrix: how to make, mount and mount again one file system."""

    ignore_case_listing = False  # names are listed in another case than they were given
    # Numbers its folders anew at each mount: after one, the undo knows them only by their
    # path and moves them back only with --trust-paths.
    renumbers = False
    # Held to stricter naming rules than its driver keeps (NTFS through FUSE: Windows' rules,
    # whatever the options), so the preview may refuse a name the driver would take.
    stricter_names = False

    def __init__(self, name, work):
        self.name = name
        self.work = os.path.join(work, name)
        os.makedirs(self.work)
        self.mount_point = os.path.join(self.work, "m")
        os.mkdir(self.mount_point)
        self.mounts = Mounts()

    def needs(self):
        """The programs it needs; a missing one skips it."""
        return []

    def set_up(self, make_tree):
        raise NotImplementedError

    def remount(self):
        raise NotImplementedError


class BlockImage(FileSystem):
    """A loop image, mounted by the kernel or a FUSE driver; mounted again through another
    loop device."""

    def __init__(self, name, work, size, mkfs, mount, fs_type=None):
        super().__init__(name, work)
        self.size, self.mkfs, self.mount_args, self.fs_type = size, mkfs, mount, fs_type
        self.image = os.path.join(self.work, "image")
        self.device = None

    def needs(self):
        return ["losetup", self.mkfs[0], self.mount_args[0]]

    def attach(self):
        device = run(["losetup", "-f", "--show", self.image]).stdout.decode().strip()
        self.mounts.add(lambda: run(["losetup", "-d", device], check=False))
        return device

    def mount(self):
        args = [a if a != "DEVICE" else self.device for a in self.mount_args]
        args = [a if a != "MOUNT" else self.mount_point for a in args]
        done = run(args, check=False)
        if done.returncode != 0 or not wait_for(lambda: is_mounted(self.mount_point)):
            raise Skip(f"cannot mount it ({done.stderr.decode(errors='replace').strip()})")
        self.mounts.add(lambda: unmount(self.mount_point))

    def set_up(self, make_tree):
        if self.fs_type and not kernel_has(self.fs_type):
            raise Skip(f"the running kernel has no {self.fs_type} driver")
        with open(self.image, "wb") as f:
            f.truncate(self.size)
        done = run(self.mkfs + [self.image], check=False)
        if done.returncode != 0:
            raise Skip(f"{self.mkfs[0]} failed ({done.stderr.decode(errors='replace').strip()})")
        self.device = self.attach()
        self.mount()
        make_tree(self.mount_point)

    def remount(self):
        unmount(self.mount_point)
        old = self.device
        self.device = self.attach()  # the old one is still attached: this is another
        if self.device == old:
            raise Failure("losetup gave the same loop device again")
        run(["losetup", "-d", old], check=False)
        if self.fs_type == "btrfs":
            run(["btrfs", "device", "scan", "--forget"], check=False)
        self.mount()


def kernel_has(fs_type):
    with open("/proc/filesystems") as f:
        if any(line.split()[-1] == fs_type for line in f if line.strip()):
            return True
    if not have("modprobe"):
        return False
    run(["modprobe", fs_type], check=False)
    with open("/proc/filesystems") as f:
        return any(line.split()[-1] == fs_type for line in f if line.strip())


class IgnoreCaseImage(BlockImage):
    ignore_case_listing = True


class CasefoldExt4(BlockImage):
    """ext4 with case folding, set on the folder the tree is made in."""

    def set_up(self, make_tree):
        def folded(root):
            run(["chattr", "+F", root])
            make_tree(root)
        if not os.path.exists("/sys/fs/ext4/features/casefold"):
            raise Skip("the running kernel's ext4 has no casefold")
        super().set_up(folded)


class Overlay(FileSystem):
    """overlayfs, the tree in its lower layer."""

    def __init__(self, name, work, options):
        super().__init__(name, work)
        self.options = options
        self.lower, self.upper, self.scratch = (os.path.join(self.work, d)
                                                for d in ("lower", "upper", "scratch"))

    def mount(self):
        options = f"lowerdir={self.lower},upperdir={self.upper},workdir={self.scratch}"
        done = run(["mount", "-t", "overlay", "overlay", "-o", options + self.options,
                    self.mount_point], check=False)
        if done.returncode != 0:
            raise Skip(f"cannot mount it ({done.stderr.decode(errors='replace').strip()})")
        self.mounts.add(lambda: unmount(self.mount_point))

    def set_up(self, make_tree):
        if not kernel_has("overlay"):
            raise Skip("the running kernel has no overlay driver")
        for d in (self.lower, self.upper, self.scratch):
            os.mkdir(d)
        make_tree(self.lower)
        self.mount()
        # A folder of the upper layer beside those of the lower one: it moves.
        for column in COLUMNS[:-1]:
            made = os.path.join(self.mount_point, column, "Made Above 1")
            os.mkdir(made)
            with open(os.path.join(made, MARKER), "w") as f:
                f.write(f"{column}/above\n")

    def remount(self):
        unmount(self.mount_point)
        self.mount()


class Sshfs(FileSystem):
    """sshfs to an sshd of its own on 127.0.0.1, on a port it picks."""

    def needs(self):
        return ["sshfs", "/usr/sbin/sshd", "ssh-keygen"]

    def set_up(self, make_tree):
        keys = os.path.join(self.work, "keys")
        os.mkdir(keys, 0o700)
        for key in ("host", "client"):
            run(["ssh-keygen", "-q", "-t", "ed25519", "-N", "", "-f", os.path.join(keys, key)])
        shutil.copy(os.path.join(keys, "client.pub"), os.path.join(keys, "authorized"))
        self.port = free_port()
        config = os.path.join(keys, "sshd_config")
        pid_file = os.path.join(keys, "sshd.pid")
        with open(config, "w") as f:
            f.write(f"Port {self.port}\nListenAddress 127.0.0.1\n"
                    f"HostKey {keys}/host\nAuthorizedKeysFile {keys}/authorized\n"
                    "PermitRootLogin prohibit-password\nPasswordAuthentication no\n"
                    "KbdInteractiveAuthentication no\nUsePAM no\nStrictModes no\n"
                    f"PidFile {pid_file}\nSubsystem sftp internal-sftp\n")
        os.makedirs("/run/sshd", exist_ok=True)
        done = run(["/usr/sbin/sshd", "-f", config, "-E", os.path.join(keys, "log")],
                   check=False)
        if done.returncode != 0:
            raise Skip(f"cannot start sshd ({done.stderr.decode(errors='replace').strip()})")

        def stop_sshd():
            if wait_for(lambda: os.path.exists(pid_file), 5):
                with open(pid_file) as f:
                    os.kill(int(f.read().strip()), signal.SIGTERM)
        self.mounts.add(stop_sshd)
        self.client = os.path.join(keys, "client")
        self.remote = os.path.join(self.work, "remote")
        os.mkdir(self.remote)
        make_tree(self.remote)
        self.mount()

    def mount(self):
        options = (f"IdentityFile={self.client},StrictHostKeyChecking=no,"
                   "UserKnownHostsFile=/dev/null,BatchMode=yes,ConnectTimeout=10")
        done = run(["sshfs", "-p", str(self.port), "-o", options,
                    f"root@127.0.0.1:{self.remote}", self.mount_point], check=False)
        if done.returncode != 0 or not wait_for(lambda: is_mounted(self.mount_point)):
            raise Skip(f"cannot mount it ({done.stderr.decode(errors='replace').strip()})")
        self.mounts.add(lambda: unmount(self.mount_point))

    def remount(self):
        unmount(self.mount_point)
        self.mount()


def file_systems(work):
    G = 1 << 20
    dev, mnt = "DEVICE", "MOUNT"
    systems = [
        BlockImage("ext4", work, 32 * G, ["mkfs.ext4", "-q", "-F"], ["mount", dev, mnt], "ext4"),
        BlockImage("xfs", work, 300 * G, ["mkfs.xfs", "-q", "-f"], ["mount", dev, mnt], "xfs"),
        BlockImage("btrfs", work, 128 * G, ["mkfs.btrfs", "-q", "-f"], ["mount", dev, mnt],
                   "btrfs"),
        BlockImage("exfat-fuse", work, 64 * G, ["mkfs.exfat"], ["mount.exfat-fuse", dev, mnt]),
        BlockImage("ntfs-3g", work, 64 * G, ["mkfs.ntfs", "-F", "-Q"], ["ntfs-3g", dev, mnt]),
        BlockImage("ntfs-3g-winnames", work, 64 * G, ["mkfs.ntfs", "-F", "-Q"],
                   ["ntfs-3g", "-o", "windows_names", dev, mnt]),
        IgnoreCaseImage("lowntfs-3g-icase", work, 64 * G, ["mkfs.ntfs", "-F", "-Q"],
                        ["lowntfs-3g", "-o", "ignore_case", dev, mnt]),
        Overlay("overlay", work, ""),
        Overlay("overlay-redirect", work, ",redirect_dir=on"),
        Sshfs("sshfs", work),
        BlockImage("vfat", work, 64 * G, ["mkfs.vfat"], ["mount", "-t", "vfat", dev, mnt],
                   "vfat"),
        BlockImage("exfat-kernel", work, 64 * G, ["mkfs.exfat"],
                   ["mount", "-t", "exfat", dev, mnt], "exfat"),
        BlockImage("ntfs3", work, 64 * G, ["mkfs.ntfs", "-F", "-Q"],
                   ["mount", "-t", "ntfs3", dev, mnt], "ntfs3"),
        CasefoldExt4("ext4-casefold", work, 32 * G, ["mkfs.ext4", "-q", "-F", "-O", "casefold"],
                     ["mount", dev, mnt], "ext4"),
    ]
    for fs in systems:
        fs.stricter_names = fs.name.startswith(("ntfs-3g", "lowntfs-3g"))
        fs.renumbers = fs.name.startswith(("exfat", "vfat", "overlay", "sshfs"))
    return systems


def make_tree(root):
    """One copy of TREE per operation and for the undo after a replug."""
    for column in COLUMNS[:-1]:
        base = os.path.join(root, column)
        os.mkdir(base)
        for number, folder in enumerate(TREE):
            path = os.path.join(base, folder)
            os.mkdir(path)
            with open(os.path.join(path, MARKER), "w") as f:
                f.write(f"{column}/{number}\n")


def snapshot(root, fold):
    """Every entry below `root`: relative path (case-folded when `fold`) -> marker or None."""
    entries = {}
    for parent, folders, files in os.walk(root):
        rel = os.path.relpath(parent, root)
        for name in folders:
            key = os.path.normpath(os.path.join(rel, name))
            entries[key.casefold() if fold else key] = None
        for name in files:
            path = os.path.join(parent, name)
            key = os.path.normpath(os.path.join(rel, name))
            with open(path) as f:
                entries[key.casefold() if fold else key] = f.read()
    return entries


def markers(root):
    """Marker text -> the folders holding it (each must hold exactly one)."""
    found = {}
    for parent, _, files in os.walk(root):
        if MARKER in files:
            with open(os.path.join(parent, MARKER)) as f:
                found.setdefault(f.read(), []).append(parent)
    return found


def listed(path):
    """Whether the parent's listing holds the folder's name exactly as `path` spells it."""
    parent, name = os.path.split(path.rstrip("/"))
    return name in os.listdir(parent)


class Cell:
    def __init__(self, cli, fs, column, operation, answers):
        self.cli, self.fs, self.column = cli, fs, column
        self.operation, self.answers = operation, answers
        self.base = os.path.join(fs.mount_point, column)

    def folders(self):
        return sorted(os.path.join(self.base, n) for n in os.listdir(self.base))

    def cli_run(self, *args):
        return run([self.cli, *args], check=False)

    def apply(self, journal):
        """Status, then apply; checks the one against the other and against the disk."""
        common = ["--operation", self.operation, *self.answers, "--subfolders"]
        folders = self.folders()
        status = self.cli_run(*common, "--status", *folders)
        if status.returncode != 0:
            raise Failure(f"--status exited {status.returncode}: {status.stderr.decode()}")
        rows = [line.split("\t") for line in status.stdout.decode().splitlines()]
        before_markers = markers(self.base)
        marker_of = {}
        for old, _, _ in rows:
            with open(os.path.join(old, MARKER)) as f:
                marker_of[old] = f.read()
        applied = self.cli_run(*common, "--apply", "--quiet", "--journal", journal, *folders)
        now = applied.stdout.decode().splitlines()
        if len(now) != len(rows):
            raise Failure(f"--apply gave {len(now)} rows, --status {len(rows)}: "
                          f"{applied.stderr.decode().strip()}")
        problems = []
        fold = self.fs.ignore_case_listing
        all_fine = True
        for (old, new, keyword), at in zip(rows, now):
            fine = keyword in ("ok", "unchanged", "may-fail")
            all_fine = all_fine and fine
            expected = os.path.basename(new.rstrip("/") if fine else old.rstrip("/"))
            got = os.path.basename(at.rstrip("/"))
            if (got.casefold() != expected.casefold()) if fold else (got != expected):
                problems.append(f"'{old}' predicted {keyword} -> '{expected}', the run left "
                                f"'{got}'")
                continue
            if not os.path.isdir(at):
                problems.append(f"'{at}' is not on the disk")
            elif not fold and not listed(at):
                problems.append(f"'{at}' is not listed under that spelling")
            else:
                with open(os.path.join(at, MARKER)) as f:
                    if f.read() != marker_of[old]:
                        problems.append(f"'{at}' holds another folder's marker")
            # A case change must work, unless the preview foresaw that the folder cannot move
            # at all (a lower layer of an overlay).
            if self.column in CASE_COLUMNS and not fine and keyword != "failed":
                problems.append(f"'{old}': a case change predicted {keyword}")
        if (applied.returncode == 0) != all_fine:
            problems.append(f"--apply exited {applied.returncode} where --status predicted "
                            f"{'no' if all_fine else 'some'} failures: "
                            f"{applied.stderr.decode().strip()}")
        after_markers = markers(self.base)
        if sorted(after_markers) != sorted(before_markers) or any(
                len(v) != 1 for v in after_markers.values()):
            problems.append("a folder was lost, replaced or doubled")
        for parent, folders_here, _ in os.walk(self.base):
            for name in folders_here:
                if name.startswith(".trellisane"):
                    problems.append(f"temporary name left: {os.path.join(parent, name)}")
        if problems:
            raise Failure("; ".join(problems[:4]) + (" ..." if len(problems) > 4 else ""))

    def undo(self, journal, before, replugged=False):
        dry = self.cli_run("--undo", journal)
        refuses = replugged and self.fs.renumbers
        if refuses and (dry.returncode != 1 or b"--trust-paths" not in dry.stderr):
            raise Failure(f"the undo's dry run exited {dry.returncode} without naming "
                          f"--trust-paths: {dry.stderr.decode().strip()[:300]}")
        if not refuses and dry.returncode != 0:
            raise Failure(f"the undo's dry run exited {dry.returncode}: "
                          f"{dry.stderr.decode().strip()[:300]}")
        done = self.cli_run("--undo", journal, "--apply", *(["--trust-paths"] if refuses else []))
        if done.returncode != 0:
            raise Failure(f"--undo --apply exited {done.returncode}: "
                          f"{done.stderr.decode().strip()[:300]}")
        if snapshot(self.base, self.fs.ignore_case_listing) != before:
            raise Failure("the undo did not bring back the exact tree")


def check_names(cli, fs):
    """Each probe name: refused by the preview exactly when the driver refuses or changes it."""
    probe = os.path.join(fs.mount_point, NAMES_COLUMN, "probe")
    scratch = os.path.join(fs.mount_point, NAMES_COLUMN, "scratch")
    os.makedirs(probe)  # through the mount: on an overlay, in its upper layer
    os.mkdir(scratch)
    problems = []
    for name in PROBE_NAMES:
        status = run([cli, "--operation", "find and replace", "--find", "probe", "--replace",
                      name, "--status", probe], check=False)
        fields = status.stdout.decode().rstrip("\n").split("\t")
        predicted = fields[2] if len(fields) == 3 else f"? ({status.stderr.decode().strip()})"
        try:
            os.mkdir(os.path.join(scratch, name))
            listed = os.listdir(scratch)
            takes = name in listed or (fs.ignore_case_listing and
                                        name.casefold() in [n.casefold() for n in listed])
        except OSError:
            takes = False
        for made in os.listdir(scratch):
            os.rmdir(os.path.join(scratch, made))
        agrees = takes == (predicted == "ok") or (
            fs.stricter_names and takes and predicted == "refused")
        if not agrees:
            problems.append(f"{name!r}: the driver {'takes' if takes else 'refuses or changes'} "
                            f"it, the preview says {predicted}")
    if problems:
        raise Failure("; ".join(problems))


def run_file_system(cli, fs, journals):
    """The row of one file system: column -> ("pass" | "FAIL" | "skip", detail)."""
    missing = [p for p in fs.needs() if not have(p)]
    if missing:
        raise Skip(f"{', '.join(missing)} not installed")
    fs.set_up(make_tree)
    row = {}
    fold = fs.ignore_case_listing
    replug_journals = []
    for column, operation, answers in OPERATIONS:
        cell = Cell(cli, fs, column, operation, answers)
        journal = os.path.join(journals, f"{fs.name}-{column}.journal")
        try:
            before = snapshot(cell.base, fold)
            cell.apply(journal)
            cell.undo(journal, before)
            row[column] = ("pass", "")
        except Failure as failure:
            row[column] = ("FAIL", str(failure))
    # A run that renames every folder, undone after an unmount and a mount.
    cell = Cell(cli, fs, REPLUG_COLUMN, "add x to end", ["--x", "x"])
    journal = os.path.join(journals, f"{fs.name}-{REPLUG_COLUMN}.journal")
    try:
        before = snapshot(cell.base, fold)
        cell.apply(journal)
        fs.remount()
        cell.undo(journal, before, replugged=True)
        row[REPLUG_COLUMN] = ("pass", "")
    except Failure as failure:
        row[REPLUG_COLUMN] = ("FAIL", str(failure))
    try:
        check_names(cli, fs)
        row[NAMES_COLUMN] = ("pass", "")
    except Failure as failure:
        row[NAMES_COLUMN] = ("FAIL", str(failure))
    return row


def main():
    if len(sys.argv) < 2:
        print(__doc__.strip().splitlines()[2], file=sys.stderr)
        return 2
    cli = os.path.abspath(sys.argv[1])
    only = set(sys.argv[2:])
    if os.geteuid() != 0:
        print("fs_matrix: skipped: it needs root (it mounts loop images and FUSE file systems)")
        return SKIP
    started = time.monotonic()
    work = tempfile.mkdtemp(prefix="trellisane-fs-matrix-")
    journals = os.path.join(work, "journals")
    os.mkdir(journals)
    # A signal ends the matrix through the normal teardown.
    for sig in (signal.SIGTERM, signal.SIGINT, signal.SIGHUP):
        signal.signal(sig, lambda *_: sys.exit(1))
    grid = {}
    failed = False
    ran = 0
    try:
        for fs in file_systems(work):
            if only and fs.name not in only:
                continue
            fs_started = time.monotonic()
            try:
                try:
                    row = run_file_system(cli, fs, journals)
                finally:
                    fs.mounts.close()
            except Skip as skip:
                print(f"fs_matrix: {fs.name}: skipped: {skip}")
                grid[fs.name] = None
                continue
            except Failure as failure:
                row = {column: ("FAIL", f"set-up: {failure}") for column in COLUMNS}
            ran += 1
            for column in COLUMNS:
                verdict, detail = row[column]
                known = KNOWN.get((fs.name, column)) or KNOWN.get((fs.name, None))
                if known and verdict == "FAIL":
                    row[column] = ("known", known)
                elif known:
                    row[column] = ("FAIL", f"passes now: drop it from KNOWN ({known})")
                    failed = True
                elif verdict == "FAIL":
                    failed = True
                if row[column][0] != "pass":
                    print(f"fs_matrix: {fs.name} {column}: {row[column][0]}: {row[column][1]}")
            grid[fs.name] = row
            print(f"fs_matrix: {fs.name}: {time.monotonic() - fs_started:.1f} s")
    finally:
        shutil.rmtree(work, ignore_errors=True)
    width = max(len(name) for name in grid) if grid else 10
    print("\n" + "file system".ljust(width) + "  " + "  ".join(COLUMNS))
    for name, row in grid.items():
        cells = ["skip".ljust(len(c)) for c in COLUMNS] if row is None else [
            row[c][0].ljust(len(c)) for c in COLUMNS]
        print(name.ljust(width) + "  " + "  ".join(cells))
    print(f"fs_matrix: {time.monotonic() - started:.0f} s")
    if ran == 0:
        print("fs_matrix: FAILED: run as root, yet every file system was skipped")
        return 1
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
