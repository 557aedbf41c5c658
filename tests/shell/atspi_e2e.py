"""zel driven through the accessibility bus as a screen reader or GUI test tool drives it.

Runs inside atspi_e2e.sh, which provides the X display, the session bus, the accessibility bus, a
kestatid on a simulated RADEON 9500 PRO and a zel on its first run. Prints "N passed, N failed".
"""
import sys
import time

import pyatspi

results = {"passed": 0, "failed": 0}


def check(what, ok, detail=""):
    results["passed" if ok else "failed"] += 1
    print(("ok   " if ok else "FAIL ") + what + ("" if ok else "  (" + str(detail) + ")"))


def wait_for(probe, seconds=10.0):
    """Polls until probe() gives something true: the program samples once a second."""
    end = time.monotonic() + seconds
    while True:
        try:
            value = probe()
        except Exception:
            value = None
        if value or time.monotonic() > end:
            return value
        time.sleep(0.1)


def find(node, pred):
    try:
        if pred(node):
            return node
        for i in range(node.childCount):
            found = find(node.getChildAtIndex(i), pred)
            if found is not None:
                return found
    except Exception:
        pass
    return None


def zel():
    desktop = pyatspi.Registry.getDesktop(0)
    for i in range(desktop.childCount):
        app = desktop.getChildAtIndex(i)
        if app is not None and app.name == "zel":
            return app
    return None


def act(node, name):
    actions = node.queryAction()
    for i in range(actions.nActions):
        if actions.getName(i).lower() == name.lower():
            return actions.doAction(i)
    return False


app = wait_for(zel)
check("zel is on the accessibility bus", app is not None)
if app is None:
    print("0 passed, 1 failed")
    sys.exit(1)

box = wait_for(lambda: find(app, lambda n: n.name == "Enable Hardware Monitor"))
detail = find(app, lambda n: n.name == "Detail")
check("Detail is off while the monitor is off", not detail.getState().contains(pyatspi.STATE_ENABLED))
act(box, "Toggle")
check("Toggle ticks the box", wait_for(lambda: box.getState().contains(pyatspi.STATE_CHECKED)))
check("and the program hears it: Detail comes on",
      wait_for(lambda: detail.getState().contains(pyatspi.STATE_ENABLED)))
chart = find(app, lambda n: n.name == "Fan speed and VPU temperature history")
check("the panel chart has a name", chart is not None)
check("and tells its newest readings",
      wait_for(lambda: chart.description.startswith("Newest first: ") and " RPM, " in chart.description),
      chart.description if chart else None)
for name in ("VPU SPEED", "MEMORY SPEED"):
    check(name + " names its trackbar",
          find(app, lambda n: n.name == name and n.getRoleName() == "slider") is not None)

act(detail, "Press")
items = wait_for(lambda: find(zel(), lambda n: n.name == "ITEM:" and n.getRoleName() == "list"))
check("Press on Detail opens the details dialog", items is not None)
if items is not None:
    dialog = items.parent
    for line, unit in (("Memory Core Voltage", "UNIT:   V"), ("FAN Speed", "UNIT: RPM")):
        row = find(items, lambda n: n.name == line)
        act(row, "Toggle")
        label = wait_for(lambda: find(dialog, lambda n: n.name == unit))
        check("choosing " + line + " shows its unit", label is not None)
        history = wait_for(lambda: find(dialog, lambda n: n.name == line + " history"))
        check("and names the chart after it", history is not None)

print("%d passed, %d failed" % (results["passed"], results["failed"]))
sys.exit(1 if results["failed"] else 0)
