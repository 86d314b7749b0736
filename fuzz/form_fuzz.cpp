// Arbitrary clipboard text to Form_Load, then arbitrary operator input: the
// first line is the clipboard; each further line is an action chosen by its
// first byte, with the rest of the line as its text. No crash, no hang, no
// undefined behaviour, and the prox data box holds nothing but a valid text.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "fakes/fake_platform.h"
#include "form/frm_corvel.h"

namespace {

using proxcred::frmCorvel;

void act(frmCorvel& form, unsigned char action, std::string_view text) {
    proxcred::TextBox* const boxes[] = {&form.txtBoxSerialNo, &form.txtFacilityCode,
                                        &form.txtVersion, &form.txtData};
    proxcred::Control* const clickable[] = {
        &form.opt26Bit,  &form.opt34Bit,     &form.opt35Bit,       &form.opt35BitX,
        &form.opt36BitX, &form.opt37bitX,    &form.opt37Bit,       &form.optProxif,
        &form.optCasi,   &form.chkZELFormat, &form.chkZELFormat29, &form.cmdConvert,
        &form.cmdStart,  &form.cmdGetCard,   &form.cmdCopyToCB};
    switch (action % 5) {
        case 0:
            form.typeText(*boxes[text.size() % 4], text);
            break;
        case 1:
            form.pasteText(*boxes[text.size() % 4], text);
            break;
        case 2:
            form.click(*clickable[text.size() % std::size(clickable)]);
            break;
        case 3:
            form.pressEnter(form.txtBoxSerialNo);
            break;
        default:
            form.setFocus(*boxes[text.size() % 4]);
            break;
    }
}

bool validProxData(const std::string& text) {
    if (text.empty() || text == "????????????????") return true;
    return text.size() == 16 && text.find_first_not_of("01234567") == std::string::npos;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string_view input(reinterpret_cast<const char*>(data), size);
    proxcred::fakes::FakePlatform fakes;
    fakes.serialPort.openable = {1};
    const auto firstLine = input.find('\n');
    fakes.clipboard.content = std::string(input.substr(0, firstLine));
    frmCorvel form(fakes.platform);
    form.Form_Load();
    form.activate();
    input = firstLine == std::string_view::npos ? std::string_view() : input.substr(firstLine + 1);
    while (!input.empty() && !form.unloaded()) {
        const auto end = input.find('\n');
        const std::string_view line = input.substr(0, end);
        if (!line.empty()) act(form, static_cast<unsigned char>(line.front()), line.substr(1));
        if (!validProxData(form.txtBoxProxData.text())) __builtin_trap();
        input = end == std::string_view::npos ? std::string_view() : input.substr(end + 1);
    }
    return 0;
}
