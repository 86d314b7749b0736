// The "Split Data" page of the form: the card data box's change handler and
// the "Split Data" button.
#include "form/frm_corvel.h"
#include "split/card_bits.h"
#include "split/split_card.h"

namespace proxcred {
namespace {

struct ResultBoxes {
    CardFormat format;
    TextBox frmCorvel::*number;
    TextBox frmCorvel::*facility;
    TextBox frmCorvel::*third;  // nullptr for the formats without a third field
};

// In the order the "Split Data" button fills them, which the boxes' change
// events follow.
constexpr ResultBoxes kResultBoxes[] = {
    {CardFormat::Bit26, &frmCorvel::txt26Num, &frmCorvel::txt26Fac, nullptr},
    {CardFormat::Bit34, &frmCorvel::txt34Num, &frmCorvel::txt34Fac, nullptr},
    {CardFormat::Bit35X, &frmCorvel::txt35XNum, &frmCorvel::txt35XFac, nullptr},
    {CardFormat::Bit36X, &frmCorvel::txt36XNum, &frmCorvel::txt36XFac, nullptr},
    {CardFormat::Bit37X, &frmCorvel::txt37XNum, &frmCorvel::txt37XFac, nullptr},
    {CardFormat::Bit35, &frmCorvel::txt35Num, &frmCorvel::txt35Fac, nullptr},
    {CardFormat::Bit37, &frmCorvel::txt37Num, &frmCorvel::txt37Fac, &frmCorvel::txt37Number},
    {CardFormat::Proxif, &frmCorvel::txtProxifNum, &frmCorvel::txtProxifFac,
     &frmCorvel::txtProxifVer},
    {CardFormat::Casi, &frmCorvel::txtCasiNum, &frmCorvel::txtCasiFac, nullptr},
};

static_assert(coversEveryFormatOnce(kResultBoxes,
                                    [](const ResultBoxes& boxes) { return boxes.format; }),
              "every format has its result boxes, once");
static_assert(std::all_of(std::begin(kResultBoxes), std::end(kResultBoxes),
                          [](const ResultBoxes& boxes) {
                              return (boxes.third != nullptr) == hasThirdField(boxes.format);
                          }),
              "a third box for exactly the formats with a third field");

}  // namespace

void frmCorvel::txtData_Change() {
    TextBox* const emptied[] = {
        &txt26Num,     &txtBits,    &txt35XNum,  &txt35XFac,   &txt36XNum,    &txt36XFac,
        &txt37XNum,    &txt37XFac,  &txt35Num,   &txt35Fac,    &txt34Num,     &txt34Fac,
        &txt26Fac,     &txt37Num,   &txt37Fac,   &txt37Number, &txtProxifNum, &txtProxifFac,
        &txtProxifVer, &txtCasiNum, &txtCasiFac,
    };
    for (TextBox* box : emptied) box->setText("");
}

void frmCorvel::cmdStart_Click() {
    txtData_Change();
    // Card data with any character other than "0" to "7" leaves the page empty.
    const std::optional<SplitResult> split = splitCardData(txtData.text());
    if (!split) return;
    txtBits.setText(cardDataToBits(txtData.text()).bits);
    for (const FormatReading& reading : split->readings) {
        this->*kVerdictFlags[static_cast<std::size_t>(reading.format)].flag = reading.match;
    }
    for (const ResultBoxes& boxes : kResultBoxes) {
        const FormatReading& reading = split->readings[static_cast<std::size_t>(boxes.format)];
        if (reading.match) {
            (this->*boxes.number).setText(fieldText(reading.fields.hotstamp));
            (this->*boxes.facility).setText(fieldText(reading.fields.facilityCode));
            if (boxes.third != nullptr)
                (this->*boxes.third).setText(fieldText(reading.fields.third));
            continue;
        }
        const std::string verdict(verdictText(boxes.format));
        (this->*boxes.number).setText(verdict);
        // The number without facility code is the same card read another way:
        // its box shows the verdict too.
        if (formatInfo(boxes.format).third == ThirdField::NumberWithoutFacilityCode)
            (this->*boxes.third).setText(verdict);
    }
}

}  // namespace proxcred
