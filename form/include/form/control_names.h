#pragma once

#include <array>
#include <string_view>

namespace proxcred {

// The names of the translator form's controls, in the order the form keeps
// them: what a view of the form has to show. The window's layout is checked
// against it when it is compiled, and the form against it by its tests.
inline constexpr std::array<std::string_view, 71> kControlNames{
    "SSTab1",         "cmdCancel",       "cmdOK",           "Label2",       "lblSerialNo",
    "txtBoxSerialNo", "lblFacilityCode", "txtFacilityCode", "lblVersion",   "txtVersion",
    "fraCardFormat",  "opt26Bit",        "opt34Bit",        "opt35Bit",     "opt35BitX",
    "opt36BitX",      "opt37bitX",       "opt37Bit",        "optProxif",    "optCasi",
    "chkZELFormat",   "chkZELFormat29",  "cmdConvert",      "Label1",       "txtBoxProxData",
    "cmdCopyToCB",    "Text2",           "Picture1",        "Label100",     "Label10",
    "txtData",        "Label7",          "txtBits",         "Text1",        "cmdStart",
    "cmdGetCard",     "Frame1",          "ComboComPort",    "Label40",      "Label50",
    "Label3",         "lbl26Bit",        "Label6",          "lbl35Bit",     "lbl35X",
    "Label4",         "Label5",          "lbl37Bit",        "Label80",      "lblProxif",
    "lblCasi",        "txt26Num",        "txt26Fac",        "txt34Num",     "txt34Fac",
    "txt35Num",       "txt35Fac",        "txt35XNum",       "txt35XFac",    "txt36XNum",
    "txt36XFac",      "txt37XNum",       "txt37XFac",       "txt37Num",     "txt37Fac",
    "txt37Number",    "txtProxifNum",    "txtProxifFac",    "txtProxifVer", "txtCasiNum",
    "txtCasiFac",
};

}  // namespace proxcred
