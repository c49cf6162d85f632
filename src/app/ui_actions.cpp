#include "app/ui_actions.h"

namespace plu {

void UiActions::FormCreate() {
    UpLoad = DownLoad = Pair = Stop = false;
}

void UiActions::LockUi(bool download) {
    New = Open = Save = SaveAs = false;
    Cut = Copy = Paste = false;
    if (download) {
        UpLoad = false;
        Start = false;
        Stop = true;
        Pair = false;
        SerialSet = false;
    } else {
        SerialMenu = false;
    }
}

void UiActions::UnlockUi(bool connected) {
    New = Open = Save = SaveAs = true;
    Cut = Copy = Paste = true;
    SetTransferMenus(connected);
    Start = true;
    Stop = false;
    SerialSet = true;
    SerialMenu = true;
}

void UiActions::SetTransferMenus(bool enabled) { UpLoad = DownLoad = Pair = enabled; }

}  // namespace plu
