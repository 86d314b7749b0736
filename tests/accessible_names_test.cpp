// The names a screen reader hears, as both windows take them from the layout.
#include "window_layout/accessible_names.h"

#include <gtest/gtest.h>

#include <set>

#include "fakes/fake_platform.h"

namespace proxcred {
namespace {

TEST(AccessibleNames, EveryControlAUserWorksWithHasANameOfItsOwn) {
    fakes::FakePlatform fakes;
    frmCorvel form(fakes.platform);
    form.Form_Load();
    std::set<std::string> names;
    for (const layout::Place& place : layout::kPlaces) {
        const Control& control = *form.findControl(place.control);
        const std::string name = layout::accessibleName(form, place.control);
        if (control.kind() == ControlKind::Label || control.kind() == ControlKind::Frame) {
            EXPECT_EQ(name, "") << place.control;
            continue;
        }
        EXPECT_NE(name, "") << place.control;
        EXPECT_EQ(name.find('&'), std::string::npos) << place.control;
        EXPECT_TRUE(names.insert(name).second) << place.control << " shares " << name;
    }
    EXPECT_EQ(layout::accessibleName(form, "txt26Num"), "26 Bit, Hotstamp No.");
    EXPECT_EQ(layout::accessibleName(form, "txtProxifVer"), "Proxif, Version");
    EXPECT_EQ(layout::accessibleName(form, "ComboComPort"), "Com Port");
    EXPECT_EQ(layout::accessibleName(form, "cmdCopyToCB"), "Copy to Clipboard");
}

TEST(AccessibleNames, CaptionsAreSpokenWithoutMnemonicsOrColons) {
    const std::pair<const char*, const char*> cases[] = {
        {"&OK", "OK"},
        {"E&xit", "Exit"},
        {"Hotstamp No.:", "Hotstamp No."},
        {"Fish && Chips", "Fish & Chips"},
        {"Ends with &", "Ends with &"},
        {"", ""},
        {"Card Data: ", "Card Data"},
    };
    for (const auto& [caption, spoken] : cases)
        EXPECT_EQ(layout::spokenCaption(caption), spoken) << caption;
}

}  // namespace
}  // namespace proxcred
