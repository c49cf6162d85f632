// The worksheet area of the main window: the active worksheet's grid view.
// One GridView per sheet that has been shown, made when the sheet first
// becomes active and dropped when its sheet goes; the sheet tab strip will
// sit below it.
#pragma once

#include <QStackedWidget>
#include <unordered_map>

namespace plu {

class GridView;
class TVexaGridSheet;
class TVexaSheetControl;

class SheetArea : public QStackedWidget {
  public:
    SheetArea(TVexaSheetControl& control, QWidget* parent = nullptr);

    // Shows the active sheet's view (creating it on first use).
    void Sync();
    // The view of the active sheet, nullptr without one.
    GridView* ActiveView() const;
    GridView* ViewOf(const TVexaGridSheet& sheet) const;

  private:
    void Forget(const TVexaGridSheet* sheet);

    TVexaSheetControl& control_;
    std::unordered_map<const TVexaGridSheet*, GridView*> views_;
};

}  // namespace plu
