// Start-up: the host's preset on the clipboard, or the 37-bit format with
// facility code 9 without one. Every control write runs its handler, so the
// net result comes from the cascades as much as from the steps here.
#include "form/frm_corvel.h"
#include "preset/preset.h"

namespace proxcred {
namespace {

struct PresetOptions {
    std::string_view key;
    // The four buttons a preset key sets, in the order they are set.
    std::array<std::pair<OptionButton frmCorvel::*, bool>, 4> settings;
};

constexpr PresetOptions kPresetOptions[] = {
    {"26",
     {{{&frmCorvel::opt35Bit, false},
       {&frmCorvel::opt37Bit, false},
       {&frmCorvel::opt26Bit, true},
       {&frmCorvel::opt35BitX, false}}}},
    {"35",
     {{{&frmCorvel::opt35Bit, true},
       {&frmCorvel::opt37Bit, false},
       {&frmCorvel::opt26Bit, false},
       {&frmCorvel::opt35BitX, false}}}},
    {"35X",
     {{{&frmCorvel::opt35BitX, true},
       {&frmCorvel::opt35Bit, false},
       {&frmCorvel::opt37Bit, false},
       {&frmCorvel::opt26Bit, false}}}},
    {"37",
     {{{&frmCorvel::opt26Bit, false},
       {&frmCorvel::opt37Bit, true},
       {&frmCorvel::opt35Bit, false},
       {&frmCorvel::opt35BitX, false}}}},
};

}  // namespace

void frmCorvel::Form_Load() {
    cmdOK.setEnabled(false);
    bDataOnlyReply = false;
    const std::string clipboardText = platform_.clipboard.text();

    if (!isPreset(clipboardText)) {
        opt37Bit.setValue(true);
        txtFacilityCode.setText("9");
        lFacilityCode = 9;
    } else {
        bDataOnlyReply = !wantsFullReply(clipboardText);
        const std::vector<std::string_view> fields = presetFields(clipboardText);
        // A preset of fewer than three fields applies nothing more.
        if (fields.size() == 3) {
            lFacilityCode = ParseForFacilityCode(fields[0]);
            txtFacilityCode.setText(std::to_string(lFacilityCode));
            sCardFormat = ParseForCardFormat(fields[1]);
            for (const PresetOptions& preset : kPresetOptions) {
                if (preset.key != sCardFormat) continue;
                for (const auto& [option, selected] : preset.settings)
                    (this->*option).setValue(selected);
            }
            vZELFlag = ParseForZELFormatFlag(fields[2]);
            Control* const locked[] = {&fraCardFormat, &opt26Bit,        &opt35Bit,       &opt37Bit,
                                       &opt35BitX,     &lblFacilityCode, &txtFacilityCode};
            chkZELFormat.setValue(*vZELFlag ? CheckBox::kChecked : CheckBox::kUnchecked);
            for (Control* control : locked) control->setEnabled(!*vZELFlag);
            // The tick above ran the click handler, which disabled the 29 box,
            // unless the box was ticked already and no handler ran.
            if (*vZELFlag) chkZELFormat29.setEnabled(false);
        }
    }
    txtVersion.setText("0");
    FillComPortList();
}

}  // namespace proxcred
