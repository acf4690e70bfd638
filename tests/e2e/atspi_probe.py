"""Reads the running program as assistive technology reads it, through AT-SPI.

Started by harness.Desktop inside the private session (its own X display and session bus), so
that pyatspi binds to that session's accessibility bus. Reads one JSON request a line on
standard input and answers with one JSON line on standard output:

  {"cmd": "ping"}                      -> {"ok": true}
  {"cmd": "windows", "app": NAME}      -> {"windows": [window, ...]}: the application's top-level
                                          windows that are showing, each with its role, name,
                                          screen extents, states and the controls inside it
  {"cmd": "rows", "app": NAME, "limit": N}
                                       -> {"count": rows, "columns": [...], "rows": [[cell, ...]]}:
                                          the first N rows of the window's table, as read aloud
  {"cmd": "cells", "app": NAME, "limit": N}
                                       -> as "rows", each cell [name, description]: what a screen
                                          reader says of the cell beyond its text (a row's mark)
Errors come back as {"error": text}. Nothing is cached between requests: every answer is read
from the program at the time it is asked.
"""

import json
import sys

import pyatspi
from gi.repository import Atspi

# How deep below a top-level window controls are listed; a table's cells are never listed
# (its rows are read with "rows").
MAX_DEPTH = 8
MAX_CONTROLS = 400


def extents(accessible):
    """Screen extents [x, y, width, height] or None when the object has no component."""
    try:
        box = accessible.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
        return [box.x, box.y, box.width, box.height]
    except Exception:  # pylint: disable=broad-except
        return None


def states(accessible):
    """The state names that matter to a test: showing, focused, active, enabled, checked..."""
    wanted = {
        pyatspi.STATE_ACTIVE: "active",
        pyatspi.STATE_FOCUSED: "focused",
        pyatspi.STATE_SHOWING: "showing",
        pyatspi.STATE_VISIBLE: "visible",
        pyatspi.STATE_ENABLED: "enabled",
        pyatspi.STATE_CHECKED: "checked",
        pyatspi.STATE_MODAL: "modal",
        pyatspi.STATE_SENSITIVE: "sensitive",
    }
    held = accessible.getState()
    return [name for state, name in wanted.items() if held.contains(state)]


def text_of(accessible):
    """The text a screen reader would read for a label or a text field, else ''."""
    try:
        text = accessible.queryText()
        return text.getText(0, text.characterCount)
    except Exception:  # pylint: disable=broad-except
        return ""


def controls(accessible, depth, found):
    """Appends every control below `accessible` (not table cells) to `found`."""
    if depth > MAX_DEPTH or len(found) >= MAX_CONTROLS:
        return
    for index in range(accessible.childCount):
        try:
            child = accessible.getChildAtIndex(index)
            if child is None:
                continue
            role = child.getRoleName()
            found.append({
                "role": role,
                "name": child.name or "",
                "text": text_of(child) if role in ("label", "text", "entry", "static") else "",
                "description": child.description or "",
                "extents": extents(child),
                "states": states(child),
            })
        except Exception:  # pylint: disable=broad-except
            continue  # gone while it was read: a box closing, a popup hiding
        if role not in ("table", "tree table", "list"):
            controls(child, depth + 1, found)
        elif role == "list" and "showing" in found[-1]["states"]:
            # An open popup list (the operation selector's) lists its entries; a closed one
            # is left out, which keeps a reading of the window short.
            for item in range(min(child.childCount, 40)):
                entry = child.getChildAtIndex(item)
                if entry is not None:
                    found.append({
                        "role": entry.getRoleName(),
                        "name": entry.name or "",
                        "text": "",
                        "description": "",
                        "extents": extents(entry),
                        "states": states(entry),
                    })


def applications(name):
    desktop = pyatspi.Registry.getDesktop(0)
    found = []
    for index in range(desktop.childCount):
        app = desktop.getChildAtIndex(index)
        if app is None:
            continue
        try:
            app.set_cache_mask(Atspi.Cache.NONE)
            app.clear_cache()
        except Exception:  # pylint: disable=broad-except
            pass
        if app.name == name:
            found.append(app)
    return found


def windows(name):
    result = []
    for app in applications(name):
        for index in range(app.childCount):
            try:
                window = app.getChildAtIndex(index)
                if window is None:
                    continue
                held = states(window)
                if "showing" not in held and "visible" not in held:
                    continue
                found = []
                controls(window, 1, found)
                result.append({
                    "role": window.getRoleName(),
                    "name": window.name or "",
                    "extents": extents(window),
                    "states": held,
                    "controls": found,
                })
            except Exception:  # pylint: disable=broad-except
                continue  # closed while it was read
    return result


def find_table(accessible, depth=0):
    if accessible is None or depth > MAX_DEPTH:
        return None
    if accessible.getRoleName() in ("table", "tree table"):
        return accessible
    for index in range(accessible.childCount):
        table = find_table(accessible.getChildAtIndex(index), depth + 1)
        if table is not None:
            return table
    return None


def rows(name, limit, described=False):
    for app in applications(name):
        for index in range(app.childCount):
            table = find_table(app.getChildAtIndex(index))
            if table is None:
                continue
            grid = table.queryTable()
            columns = [grid.getColumnDescription(c) or "" for c in range(grid.nColumns)]
            if not any(columns):
                columns = []
                for c in range(grid.nColumns):
                    header = grid.getColumnHeader(c)
                    columns.append(header.name if header is not None else "")
            listed = []
            for r in range(min(grid.nRows, limit)):
                cells = []
                for c in range(grid.nColumns):
                    cell = grid.getAccessibleAt(r, c)
                    if described:
                        cells.append([cell.name, cell.description or ""] if cell is not None
                                     else ["", ""])
                    else:
                        cells.append(cell.name if cell is not None else "")
                listed.append(cells)
            return {"count": grid.nRows, "columns": columns, "rows": listed}
    return {"error": "no table in a window of %s" % name}


def answer(request):
    command = request.get("cmd")
    if command == "ping":
        pyatspi.Registry.getDesktop(0)
        return {"ok": True}
    if command == "windows":
        return {"windows": windows(request["app"])}
    if command == "rows":
        return rows(request["app"], int(request.get("limit", 1000)))
    if command == "cells":
        return rows(request["app"], int(request.get("limit", 1000)), described=True)
    return {"error": "unknown command %r" % command}


def main():
    for line in sys.stdin:
        try:
            reply = answer(json.loads(line))
        except Exception as error:  # pylint: disable=broad-except
            reply = {"error": "%s: %s" % (type(error).__name__, error)}
        sys.stdout.write(json.dumps(reply) + "\n")
        sys.stdout.flush()


if __name__ == "__main__":
    main()
