#pragma once
// The tabbed dialog control: rows of tabs (TabsPerRow a row) over one page.
//
// Controls are placed on a page with Add<T>(name, Tabs1.Page(i)). As in VB,
// the controls of the pages not shown are kept 75000 twips to the left of
// their place: once the host is loaded, reading Left of a control on a hidden
// page gives that shifted value, and choosing its tab moves it back.

#include <string>

#include "platform/forms/Control.h"
#include "platform/forms/Picture.h"

namespace forms {

class TabControl : public Control {
public:
    explicit TabControl(Init init);
    ~TabControl() override;

    int Tabs() const;  // 3 at creation
    void SetTabs(int count);
    // The tab shown; setting another tab raises Click(PreviousTab).
    int Tab() const;
    void SetTab(int tab);
    int TabsPerRow() const;  // 3 at creation
    void SetTabsPerRow(int n);
    double TabHeight() const;  // twips
    void SetTabHeight(double twips);
    std::string TabCaption(int tab) const;
    void SetTabCaption(int tab, const std::string& caption);
    forms::Picture TabPicture(int tab) const;
    void SetTabPicture(int tab, const forms::Picture& picture);
    bool TabEnabled(int tab) const;
    void SetTabEnabled(int tab, bool v);
    bool TabVisible(int tab) const;
    void SetTabVisible(int tab, bool v);
    std::string Caption() const;  // the caption of the tab shown
    void SetCaption(const std::string& caption);

    Container& Page(int tab);

    platform::Event<int> Click;  // PreviousTab
};

}  // namespace forms
