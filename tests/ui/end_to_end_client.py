#!/usr/bin/python3
"""Drives the whole program through the AT-SPI bus only, as an assistive
tool would: waits for the scale, types a PLU into the sheet, downloads it
with the progress bar moving, uploads the scale's table into a new sheet,
saves it as .xls and .txt, opens the .xls again and pairs the clock. Menu
items are chosen by name, status panels and message boxes read by name,
cells read from the accessible table. With SHOTS_DIR set it takes a
screenshot of each step (SCREEN_GRAB names the grabbing program).

  end_to_end_client.py WORK_DIR

Exit 0 when everything holds; a message and exit 1 otherwise."""
import os
import sys
import time

import pyatspi

from atspi_support import (answer, by_role_and_name, click_at, fail, find, find_app, key,
                           menu_item, message_box, shot, text_of, type_text, wait_for)


def main():
    work = sys.argv[1]
    app = wait_for("the plu-editor application on the bus", find_app)
    frame = wait_for("the main window", lambda: find(app, lambda n: n.getRole() == pyatspi.ROLE_FRAME))
    link = wait_for("the link state panel", lambda: find(app, by_role_and_name(pyatspi.ROLE_LABEL, "Link state")))
    # A panel is named for what it shows; its text is its description.
    wait_for("the scale to be connected", lambda: link.description == "The Scale is connected.")
    print("e2e: The Scale is connected.")
    shot("e2e-1-connected")

    def sheet():
        """The active sheet's table (New, UpLoad and Open replace the sheets)."""
        return wait_for("the sheet's table",
                        lambda: find(app, lambda n: n.getRole() == pyatspi.ROLE_TABLE
                                     and n.getState().contains(pyatspi.STATE_SHOWING))).queryTable()

    def cell(row, col):
        return sheet().getAccessibleAt(row, col).name

    table = sheet()

    def column_of(caption):
        for row in range(0, 4):
            for col in range(0, table.nColumns):
                if table.getAccessibleAt(row, col).name == caption:
                    return row, col
        fail("no column reads " + repr(caption))

    caption_row, name_col = column_of("Product Name")
    plu_row = caption_row + 1

    def type_into(col, text):
        click_at(table.getAccessibleAt(plu_row, col))
        type_text(text)
        key("Return")
        wait_for("%r in the sheet" % text, lambda: table.getAccessibleAt(plu_row, col).name != "")

    type_into(name_col, "APPLE")
    type_into(column_of("Life")[1], "5")
    type_into(column_of("Unit Price")[1], "1.25")
    # Without a unit the row fails the check: the sheet marks it yellow.
    menu_item(app, "Serial", "DownLoad", "Start")
    box = message_box(app, "Data errors.")
    shot("e2e-2-data-errors")
    answer(box, "OK")
    print("e2e: Data errors.")

    type_into(column_of("Unit")[1], "kg")
    type_into(column_of("Tare")[1], "0.1")
    type_into(column_of("Item Code")[1], "42")
    print("e2e: typed a PLU: %s" % [table.getAccessibleAt(plu_row, c).name for c in range(table.nColumns)])

    menu_item(app, "Serial", "DownLoad", "Start")
    progress = wait_for("the transfer's progress bar",
                        lambda: find(app, by_role_and_name(pyatspi.ROLE_PROGRESS_BAR, "Transfer records")))
    value = progress.queryValue()
    first = wait_for("the progress bar to move", lambda: value.currentValue if value.currentValue > 0 else None)
    shot("e2e-3-downloading")
    wait_for("the progress bar to move on", lambda: value.currentValue > first)
    print("e2e: download progress %d of %d" % (value.currentValue, value.maximumValue))
    box = message_box(app, "Download successful.")
    shot("e2e-4-download-successful")
    answer(box, "OK")
    print("e2e: Download successful.")

    menu_item(app, "Serial", "UpLoad")
    answer(message_box(app, "Save the current form?"), "No")
    box = message_box(app, "Upload successful.")
    answer(box, "OK")
    wait_for("the uploaded PLU in the sheet", lambda: cell(plu_row, name_col) == "APPLE")
    print("e2e: Upload successful; the sheet shows the scale's table")
    shot("e2e-5-uploaded")

    def file_dialog(path, picture=None):
        dialog = wait_for("the file dialog", lambda: next(
            (app.getChildAtIndex(i) for i in range(app.childCount)
             if app.getChildAtIndex(i).getRole() in (pyatspi.ROLE_DIALOG, pyatspi.ROLE_FILE_CHOOSER)), None))
        name = wait_for("the file name box", lambda: find(dialog, lambda n: n.getRole() == pyatspi.ROLE_TEXT
                                                           and n.getState().contains(pyatspi.STATE_FOCUSED)))
        name.queryEditableText().setTextContents(path)
        if picture:
            shot(picture)
        key("Return")

    for ext in ("xls", "txt"):
        path = os.path.join(work, "plu." + ext)
        menu_item(app, "File(F)", "Save As")
        file_dialog(path, "e2e-6-save-as" if ext == "xls" else None)
        wait_for("the title to name " + path, lambda: frame.name.endswith(" - " + path))
        wait_for(path + " on disk", lambda: os.path.getsize(path) > 0)
        print("e2e: saved " + path)

    xls = os.path.join(work, "plu.xls")
    menu_item(app, "File(F)", "Open...")
    answer(message_box(app, "Save the current form?"), "No")
    file_dialog(xls)
    wait_for("the title to name " + xls, lambda: frame.name.endswith(" - " + xls))
    wait_for("the opened PLU", lambda: cell(plu_row, name_col) == "APPLE")
    print("e2e: opened " + xls)
    shot("e2e-7-opened")

    menu_item(app, "Serial", "Pair")
    dialog = wait_for("the date and time dialog", lambda: find(app, lambda n: n.getRole() in (
        pyatspi.ROLE_DIALOG, pyatspi.ROLE_FRAME) and n.name == "Date And Time"))
    shot("e2e-8-pair")
    answer(dialog, "Confirm")
    box = message_box(app, "Pair successful.")
    answer(box, "OK")
    print("e2e: Pair successful.")
    return 0


if __name__ == "__main__":
    sys.exit(main())
