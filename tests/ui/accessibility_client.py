#!/usr/bin/python3
"""Reads the running plu-editor through the AT-SPI bus, as a screen reader
does: finds the sheet's accessible table, reads the PLU sheet's header cell
"Unit", types a value into the current cell with the keyboard and reads it
back from the table, then moves with an arrow key and reads the focused cell, opens the unit
cell's list and reads its items, and reads the sheet tabs with the active one.

Exit 0 when everything holds; a message and exit 1 otherwise."""
import sys
import time

import pyatspi

from atspi_support import fail, find, find_app, key, shot, wait_for


def main():
    app = wait_for("the plu-editor application on the bus", find_app)
    table_node = wait_for("the sheet's table",
                          lambda: find(app, lambda n: n.getRole() == pyatspi.ROLE_TABLE))
    table = table_node.queryTable()

    def cell_text(row, col):
        return table.getAccessibleAt(row, col).name

    # The PLU sheet's captions: find "Unit" among the first rows.
    unit = None
    for row in range(0, 4):
        for col in range(0, table.nColumns):
            if cell_text(row, col) == "Unit":
                unit = (row, col)
    if unit is None:
        fail("no cell reads 'Unit' in the first rows of the sheet")
    print("accessibility: header cell 'Unit' at row %d, column %d" % unit)

    # Click the first PLU row's product name, as a person would, and type.
    name = None
    for row in range(0, 4):
        for col in range(0, table.nColumns):
            if cell_text(row, col) == "Product Name":
                name = (row + 1, col)
    if name is None:
        fail("no cell reads 'Product Name'")
    extents = table.getAccessibleAt(*name).queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
    x, y = extents.x + extents.width // 2, extents.y + extents.height // 2
    pyatspi.Registry.generateMouseEvent(x, y, "abs")
    pyatspi.Registry.generateMouseEvent(x, y, "b1c")
    time.sleep(0.5)

    def focused():
        for row in range(0, 12):
            for col in range(0, table.nColumns):
                acc = table.getAccessibleAt(row, col)
                if acc.getState().contains(pyatspi.STATE_FOCUSED):
                    return (row, col)
        return None

    wait_for("the clicked cell to become the current cell", lambda: focused() == name)
    for ch in "Apple":
        key(ch)
    key("Return")
    wait_for("the typed value in the table", lambda: cell_text(*name) == "Apple")
    print("accessibility: typed Apple into row %d, column %d" % name)

    after_enter = wait_for("the focused cell after Enter", focused)
    key("Right")
    moved = wait_for("the focus to move right",
                     lambda: focused() if focused() == (after_enter[0], after_enter[1] + 1) else None)
    print("accessibility: the current cell moved to row %d, column %d" % moved)

    # The unit cell's list, opened by its drop-down button (a small square at
    # the cell's top right): a screen reader reads its items.
    unit_cell = table.getAccessibleAt(name[0], unit[1])
    e = unit_cell.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
    for x, y in ((e.x + e.width // 2, e.y + e.height // 2), (e.x + e.width - 6, e.y + 6)):
        pyatspi.Registry.generateMouseEvent(x, y, "abs")
        pyatspi.Registry.generateMouseEvent(x, y, "b1c")
        time.sleep(0.4)

    def open_list():
        for i in range(app.childCount):
            hit = find(app.getChildAtIndex(i), lambda n: n.getRole() == pyatspi.ROLE_LIST
                       and n.getState().contains(pyatspi.STATE_SHOWING) and n.childCount > 0)
            if hit is not None:
                return hit
        return None

    items = wait_for("the unit list's items", lambda: [open_list().getChildAtIndex(i).name
                                                     for i in range(open_list().childCount)])
    if "kg" not in items:
        fail("the unit list reads %s, without kg" % items)
    print("accessibility: the open unit list reads %s" % items)
    shot("plu-unit-list")
    key("Escape")

    # The tab strip: the sheets' captions, the active one selected.
    tabs = wait_for("the sheet tabs",
                    lambda: find(app, lambda n: n.getRole() == pyatspi.ROLE_PAGE_TAB_LIST))
    names = [tabs.getChildAtIndex(i).name for i in range(tabs.childCount)]
    if "Sheet1" not in names:
        fail("no tab reads 'Sheet1' (tabs: %s)" % names)
    active = [tabs.getChildAtIndex(i).name for i in range(tabs.childCount)
              if tabs.getChildAtIndex(i).getState().contains(pyatspi.STATE_SELECTED)]
    if active != ["Sheet1"]:
        fail("the active tab is %s, not Sheet1" % active)
    print("accessibility: tabs %s, active %s" % (names, active[0]))

    return 0


if __name__ == "__main__":
    sys.exit(main())
