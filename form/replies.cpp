// The answers to the host: OK hands back the prox data, Exit "Cancel"; both
// then unload the form, which ends the program.
#include "form/frm_corvel.h"

namespace proxcred {

void frmCorvel::cmdOK_Click() {
    const std::string data = txtBoxProxData.text().empty() ? "Invalid" : txtBoxProxData.text();
    if (bDataOnlyReply) {
        platform_.clipboard.setText(data);
    } else {
        const bool zelFormat = vZELFlag.value_or(false);
        platform_.clipboard.setText("OK;" + data + ";FC=" + std::to_string(lFacilityCode) +
                                    ";CF=" + sCardFormat + ";ZELF=" + (zelFormat ? "T" : "F"));
    }
    unload();
}

void frmCorvel::cmdCancel_Click() {
    platform_.clipboard.setText("Cancel");
    unload();
}

}  // namespace proxcred
