// Which commands of the main window are usable: the rules that lock the user
// interface during transfers and unlock it afterwards.
#pragma once

namespace plu {

struct UiActions {
    // File and Edit
    bool New = true, Open = true, Save = true, SaveAs = true;
    bool Cut = true, Copy = true, Paste = true;
    // Serial
    bool SerialMenu = true;
    bool UpLoad = true, DownLoad = true, Start = true, Stop = true, Pair = true;
    bool SerialSet = true;

    bool operator==(const UiActions&) const = default;

    // Start-up: nothing to transfer until a scale answers, nothing to stop.
    void FormCreate();
    // During a transfer: file and edit commands off; for a download UpLoad,
    // Start, Pair and Serial Set off with Stop on (the Serial menu stays so
    // that Stop can be chosen); for an upload or a pairing the whole Serial
    // menu off.
    void LockUi(bool download);
    // After a transfer (and on every tick without a link): everything on
    // again, UpLoad, DownLoad and Pair only while connected, Stop off.
    void UnlockUi(bool connected);
    // UpLoad, DownLoad and Pair.
    void SetTransferMenus(bool enabled);
};

}  // namespace plu
