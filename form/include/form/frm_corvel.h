#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "form/controls.h"
#include "formats/card_format.h"
#include "formats/conversion_failure.h"
#include "platform/platform.h"

namespace proxcred {

inline constexpr std::string_view kApplicationTitle = "Proximity Credential Translator";
inline constexpr int kEnterKey = 13;

// The operator instructions of the two pages, lines ending in CR LF.
inline constexpr std::string_view kText2 =
    "1) Select the card format.\r\n"
    "2) Enter the hotstamp number printed \r\n"
    "on the proximity credential.\r\n"
    "3) Enter the Facility Code.\r\n"
    "4) Enter the Version (if applicable)\r\n"
    "5) Press the 'Convert' button\r\n"
    "                  \r\n";
inline constexpr std::string_view kText1 =
    "1) Enter Card Data or press <Read Card From Lock>\r\n"
    "2) Press <Split Data> to attempt to extract hotstamp number, \r\n"
    "facility code and version using known card formats.\r\n";

// A conversion that failed inside a handler; the handlers that catch failures
// report it as "6 Overflow" or "13 Type mismatch".
struct ConversionError {
    ConversionFailure failure;
};

// The translator form: every control with its initial properties, the
// form-level variables, and the event handlers. The handlers live in form/,
// a file per page or concern: data_input_page.cpp, split_data_page.cpp,
// start_up.cpp, replies.cpp, port_list.cpp and lock_button.cpp.
class frmCorvel : private ControlObserver {  // NOLINT(readability-identifier-naming)
  public:
    explicit frmCorvel(Platform& platform);
    ~frmCorvel() override;
    frmCorvel(const frmCorvel&) = delete;
    frmCorvel& operator=(const frmCorvel&) = delete;

    // ---- Controls, outside the tab control ----
    TabControl SSTab1{"SSTab1", {"Data Input", "Split Data"}, 1};
    CommandButton cmdCancel{"cmdCancel", "E&xit", "Exit Application"};
    CommandButton cmdOK{"cmdOK", "&OK"};
    Label Label2{"Label2", "Version 2.3"};

    // ---- Page "Data Input" ----
    Label lblSerialNo{"lblSerialNo", "Hotstamp No.:"};
    TextBox txtBoxSerialNo{"txtBoxSerialNo", TextBox::limitedTo(11)};
    Label lblFacilityCode{"lblFacilityCode", "Facility Code:"};
    TextBox txtFacilityCode{"txtFacilityCode"};
    Label lblVersion{"lblVersion", "Version:"};
    TextBox txtVersion{"txtVersion"};
    Frame fraCardFormat{"fraCardFormat", "Prox Card Format"};
    std::vector<OptionButton*> cardFormatGroup;
    OptionButton opt26Bit{"opt26Bit", "26 Bit", &fraCardFormat, cardFormatGroup};
    OptionButton opt34Bit{"opt34Bit", "34 Bit", &fraCardFormat, cardFormatGroup};
    OptionButton opt35Bit{"opt35Bit", "35 Bit", &fraCardFormat, cardFormatGroup};
    OptionButton opt35BitX{"opt35BitX", "35 Bit Xceed ID", &fraCardFormat, cardFormatGroup};
    OptionButton opt36BitX{"opt36BitX", "36 Bit Xceed ID", &fraCardFormat, cardFormatGroup};
    OptionButton opt37bitX{"opt37bitX", "37 Bit Xceed ID", &fraCardFormat, cardFormatGroup};
    OptionButton opt37Bit{"opt37Bit", "37 Bit", &fraCardFormat, cardFormatGroup};
    OptionButton optProxif{"optProxif", "Proxif", &fraCardFormat, cardFormatGroup};
    OptionButton optCasi{"optCasi", "Casi", &fraCardFormat, cardFormatGroup};
    CheckBox chkZELFormat{"chkZELFormat", "Set as ZEL Format w/ Facility Code = 9"};
    CheckBox chkZELFormat29{"chkZELFormat29", "Set as ZEL Format w/ Facility Code = 29"};
    CommandButton cmdConvert{"cmdConvert", "Convert",
                             "Convert Hotstamp Number, Facility Code, & Version to Prox Data"};
    Label Label1{"Label1", "Prox Data:"};
    TextBox txtBoxProxData{"txtBoxProxData"};
    CommandButton cmdCopyToCB{"cmdCopyToCB", "", "Copy to Clipboard"};
    TextBox Text2{"Text2", TextBox::multiLineText(kText2, true)};
    Control Picture1{ControlKind::PictureBox, "Picture1"};

    // ---- Page "Split Data" ----
    Label Label100{"Label100", "Enter data from card and click the start button"};
    Label Label10{"Label10", "Card Data:"};
    TextBox txtData{"txtData", TextBox::limitedTo(16)};
    Label Label7{"Label7", "Bit Data:"};
    TextBox txtBits{"txtBits"};
    TextBox Text1{"Text1", TextBox::multiLineText(kText1, false)};
    CommandButton cmdStart{"cmdStart", "Split Data",
                           "Split Card Data into Hotstamp Number, Facility Code, & Version"};
    CommandButton cmdGetCard{"cmdGetCard", "Read Card From Lock",
                             "Read Card Data from lock using KLP"};
    Frame Frame1{"Frame1", "Com Port"};
    ComboBox ComboComPort{"ComboComPort", &Frame1};
    Label Label40{"Label40", "Hotstamp No.:"};
    Label Label50{"Label50", "Facility Code:"};
    Label Label3{"Label3", "Version:"};
    Label lbl26Bit{"lbl26Bit", "26 Bit"};
    Label Label6{"Label6", "34 Bit"};
    Label lbl35Bit{"lbl35Bit", "35 Bit"};
    Label lbl35X{"lbl35X", "35 Bit X"};
    Label Label4{"Label4", "36 Bit X"};
    Label Label5{"Label5", "37 Bit X"};
    Label lbl37Bit{"lbl37Bit", "37 Bit"};
    Label Label80{"Label80", "No Facility"};
    Label lblProxif{"lblProxif", "Proxif"};
    Label lblCasi{"lblCasi", "Casi"};
    TextBox txt26Num{"txt26Num", TextBox::readOnlyBox()};
    TextBox txt26Fac{"txt26Fac", TextBox::readOnlyBox()};
    TextBox txt34Num{"txt34Num", TextBox::readOnlyBox()};
    TextBox txt34Fac{"txt34Fac", TextBox::readOnlyBox()};
    TextBox txt35Num{"txt35Num", TextBox::readOnlyBox()};
    TextBox txt35Fac{"txt35Fac", TextBox::readOnlyBox()};
    TextBox txt35XNum{"txt35XNum", TextBox::readOnlyBox()};
    TextBox txt35XFac{"txt35XFac", TextBox::readOnlyBox()};
    TextBox txt36XNum{"txt36XNum", TextBox::readOnlyBox()};
    TextBox txt36XFac{"txt36XFac", TextBox::readOnlyBox()};
    TextBox txt37XNum{"txt37XNum", TextBox::readOnlyBox()};
    TextBox txt37XFac{"txt37XFac", TextBox::readOnlyBox()};
    TextBox txt37Num{"txt37Num", TextBox::readOnlyBox()};
    TextBox txt37Fac{"txt37Fac", TextBox::readOnlyBox()};
    TextBox txt37Number{"txt37Number", TextBox::readOnlyBox()};
    TextBox txtProxifNum{"txtProxifNum", TextBox::readOnlyBox()};
    TextBox txtProxifFac{"txtProxifFac", TextBox::readOnlyBox()};
    TextBox txtProxifVer{"txtProxifVer", TextBox::readOnlyBox()};
    TextBox txtCasiNum{"txtCasiNum", TextBox::readOnlyBox()};
    TextBox txtCasiFac{"txtCasiFac", TextBox::readOnlyBox()};

    // ---- Components ----
    SerialPortControl& MSComm1;
    CardReaderControl& vexor1;

    // ---- Form-level variables, in declaration order ----
    std::optional<bool> vZELFlag;  // empty until a preset or a ZEL box sets it
    bool bDataOnlyReply = false;
    bool bIs26Bit = false;
    bool bIs34Bit = false;
    bool bIs35Bit = false;
    bool bIs35BitX = false;
    bool bIs36BitX = false;
    bool bIs37BitX = false;
    bool bIs37Bit = false;
    bool bIsProxif = false;
    bool bIsCasi = false;
    std::int32_t lFacilityCode = 0;
    std::string sCardFormat;

    // ---- Events ----
    void Form_Load();
    void Form_Activate();

    // Prox data calculation and its buttons.
    std::string CalcProxData(const std::string& sSerialNo, const std::string& sCF,
                             std::int32_t iFC);
    void cmdConvert_Click();
    void cmdCopyToCB_Click();

    // Card format options.
    void opt26Bit_Click();
    void opt34Bit_Click();
    void opt35Bit_Click();
    void opt35BitX_Click();
    void opt36BitX_Click();
    void opt37bitX_Click();
    void opt37Bit_Click();
    void optProxif_Click();
    void optCasi_Click();

    // Input boxes.
    void txtBoxSerialNo_Change();
    void txtBoxSerialNo_KeyDown(int keyCode);
    void txtBoxSerialNo_KeyPress(int character);
    void txtFacilityCode_Change();
    void txtFacilityCode_LostFocus();
    void txtVersion_Change();

    // Fixed-facility format boxes.
    void chkZELFormat_Click();
    void chkZELFormat29_Click();

    // Split Data page.
    void txtData_Change();
    void cmdStart_Click();

    // Host hand-off, ports and the lock reader.
    void cmdOK_Click();
    void cmdCancel_Click();
    void FillComPortList();
    bool CheckComPort(std::int16_t PortNumber);
    void cmdGetCard_Click();

    // ---- The operator's actions ----
    // Activation at start-up runs Form_Activate once; coming back later does not.
    void activate();
    // Types the characters one by one at the end of the box's text.
    void typeText(TextBox& box, std::string_view text);
    // Replaces the whole text, as a paste over a full selection.
    void pasteText(TextBox& box, std::string_view text);
    // An edit in place (a deletion, a character typed or overtyped inside the
    // text): the maximum length limits only growth, so deleting from a longer
    // text that code wrote (a lock read) keeps the rest of it.
    void editText(TextBox& box, std::string_view text);
    // What a view saw the operator do to a box's text, taken apart as the
    // operator did it: one character typed at the end is a keystroke, several
    // put in at once a paste, anything else an edit in place.
    void operatorEdit(TextBox& box, std::string_view edited);
    // Enter: key-down, then key-press.
    void pressEnter(TextBox& box);
    // Clicks an option button, check box or command button, if it is usable.
    void click(Control& control);
    void selectComboEntry(ComboBox& combo, std::string_view entry);
    // The entry at a view's index of the list; an index outside it selects nothing.
    void selectComboIndex(ComboBox& combo, int index);
    // The port number of the entry chosen under Com Port, if one is chosen.
    std::optional<std::int16_t> chosenPort() const;
    void showPage(int page);
    // Closes the window without OK or Exit: nothing is written.
    void close();

    // ---- Focus ----
    const Control* focus() const { return focus_; }
    // Gives a control the focus; the one that loses it gets its lost-focus event.
    void setFocus(Control& control);

    // ---- Looking at the form ----
    const std::vector<Control*>& controls() const { return controls_; }
    Control* findControl(std::string_view name) const;
    bool unloaded() const { return unloaded_; }
    // Told of every change of a control and of the focus.
    void setObserver(ControlObserver* observer) { observer_ = observer; }

  private:
    void controlChanged(const Control& control) override;
    void connectHandlers();

    // Shared by the nine option handlers.
    void cardFormatSelected(CardFormat format);
    // Shared by the two ZEL boxes.
    void zelFormatClicked(CheckBox& box, CheckBox& other, int facilityCode, bool lock35BitX);
    // The facility and version conversions; throw ConversionError.
    std::int32_t wholeNumberOf(const std::string& text) const;
    void recalculateProxData();
    // The change handlers' failure report: the message, then the facility code box emptied.
    void reportCaughtFailure(const ConversionError& error);
    void reportUncaughtFailure(const ConversionError& error);
    void tidyFacilityCode();
    void calculateForOk();
    void showMessage(std::string_view text);
    // The steps of "Read Card From Lock".
    void showReaderInformation();
    std::optional<std::int16_t> chosenPortThatOpens();
    void testReadOnPort(std::int16_t port);
    void readCardOnPort(std::int16_t port);
    void unload();

    Platform& platform_;
    std::vector<Control*> controls_;
    Control* focus_ = nullptr;
    bool activated_ = false;
    bool unloaded_ = false;
    ControlObserver* observer_ = nullptr;
};

// The splitter's verdict variables, in the order of the format table.
struct VerdictFlag {
    CardFormat format;
    std::string_view name;
    bool frmCorvel::*flag;
};

inline constexpr std::array<VerdictFlag, kFormatCount> kVerdictFlags{{
    {CardFormat::Bit26, "bIs26Bit", &frmCorvel::bIs26Bit},
    {CardFormat::Bit34, "bIs34Bit", &frmCorvel::bIs34Bit},
    {CardFormat::Bit35, "bIs35Bit", &frmCorvel::bIs35Bit},
    {CardFormat::Bit35X, "bIs35BitX", &frmCorvel::bIs35BitX},
    {CardFormat::Bit36X, "bIs36BitX", &frmCorvel::bIs36BitX},
    {CardFormat::Bit37X, "bIs37BitX", &frmCorvel::bIs37BitX},
    {CardFormat::Bit37, "bIs37Bit", &frmCorvel::bIs37Bit},
    {CardFormat::Proxif, "bIsProxif", &frmCorvel::bIsProxif},
    {CardFormat::Casi, "bIsCasi", &frmCorvel::bIsCasi},
}};
static_assert(inFormatOrder(kVerdictFlags, [](const VerdictFlag& entry) { return entry.format; }),
              "the verdict variables are indexed by CardFormat");

}  // namespace proxcred
