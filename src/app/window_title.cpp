#include "app/window_title.h"

namespace plu {

WideString WindowTitle(WideStringView modelName, bool preset55, WideStringView fileName) {
    WideString title(modelName);
    title += preset55 ? u" QTP Formular" : u" QT Formular";
    title += u" - ";
    title += fileName.empty() ? WideStringView(u"Book1") : fileName;
    return title;
}

}  // namespace plu
