#!/usr/bin/python3
"""The companion's history: a recorded run listed, exported as CSV (read back by Python's csv
module, as a spreadsheet would read it), and two runs over the same folders undone in order."""

import csv
import datetime
import io
import os
import stat
import subprocess
import sys
import tempfile

CLI = sys.argv[1]


def cli(*args, env, expect=0):
    done = subprocess.run([CLI, *args], env=env, capture_output=True, timeout=120)
    if done.returncode != expect:
        sys.exit(f"{args}: exit {done.returncode}, expected {expect}\n{done.stderr.decode()}")
    return done


def main():
    with tempfile.TemporaryDirectory() as root:
        env = dict(os.environ, XDG_STATE_HOME=os.path.join(root, "state"), LC_ALL="C.UTF-8")
        names = ["a,1", 'b"2', "c\n3", "dä4"]
        tree = os.path.join(root, "t")
        for name in names:
            os.makedirs(os.path.join(tree, name, "inner"))
            open(os.path.join(tree, name, "inner", "marker"), "w").close()
        folders = [os.path.join(tree, name) for name in names]

        cli("--operation", "remove numeric", "--apply", "--record", *folders, env=env)
        history_folder = os.path.join(root, "state", "trellisane", "history")
        assert stat.S_IMODE(os.stat(history_folder).st_mode) == 0o700
        lines = cli("--history", env=env).stdout.decode().splitlines()
        assert len(lines) == 1, lines
        first, started, state, renamed, origin, operation = lines[0].split("\t")
        assert (state, renamed, origin) == ("done", "4", "companion"), lines
        assert operation == "Remove numeric character(s) in folder(s)", operation

        # The CSV, as the csv module reads it: header, then one row per folder, in run order.
        exported = cli("--export-csv", first, env=env).stdout
        rows = list(csv.reader(io.StringIO(exported.decode("utf-8"), newline="")))
        assert rows[0] == ["time", "old path", "new path", "outcome"], rows[0]
        assert [row[1] for row in rows[1:]] == folders, rows
        assert [row[2] for row in rows[1:]] == [f[:-1] for f in folders], rows
        assert all(row[3] == "renamed" for row in rows[1:]), rows
        assert all(row[0] == started for row in rows[1:]), (rows, started)
        when = datetime.datetime.fromisoformat(started.replace("Z", "+00:00"))
        assert when.utcoffset() == datetime.timedelta(0), started

        # A second run over the same folders: the first cannot be undone before it.
        renamed_now = [f[:-1] for f in folders]
        cli("--operation", "add x to end", "--x", "_old", "--apply", "--record", *renamed_now,
            env=env)
        second = cli("--history", env=env).stdout.decode().splitlines()[0].split("\t")[0]
        refused = cli("--undo", first, "--apply", env=env, expect=1)
        assert second.encode() in refused.stderr, refused.stderr
        cli("--undo", second, "--apply", env=env)
        cli("--undo", first, "--apply", env=env)
        states = [line.split("\t")[2] for line in
                  cli("--history", env=env).stdout.decode().splitlines()]
        assert states == ["undone", "undone"], states
        assert sorted(os.listdir(tree)) == sorted(names), os.listdir(tree)
        for name in names:
            assert os.path.exists(os.path.join(tree, name, "inner", "marker")), name
    print("history companion: ok")


main()
