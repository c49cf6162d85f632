// The tab strip as an accessible page tab list: one page tab per tab, named
// by its caption, the active sheet's tab selected and focused; the strip's
// scroll bar and rename box follow as ordinary children.
#pragma once

namespace plu {

// Installs the accessibility factory for SheetTabStrip (once per process).
void InstallTabStripAccessibility();

}  // namespace plu
