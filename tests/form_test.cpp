#include <gtest/gtest.h>

#include <sstream>

#include "form/control_names.h"
#include "form/form_dump.h"
#include "script_session.h"
#include "serial_port_contract.h"

namespace proxcred {
namespace {

using testing::ScriptSession;

// Script lines against a fresh form.
class FormTest : public ::testing::Test {
  protected:
    std::vector<std::string> run(const std::vector<std::string>& lines) {
        return session_.run(lines);
    }
    frmCorvel& form() { return session_.form(); }
    fakes::FakePlatform& fakes() { return session_.fakes(); }

    ScriptSession session_;
};

struct PresetCase {
    const char* clipboard;
    const char* cardFormat;
    std::int32_t facilityCode;
    const char* facilityText;
    const char* selected;  // the option shown selected, "" for none
    const char* zelFlag;   // Empty, True or False
    bool dataOnlyReply;
};

const PresetCase kPresets[] = {
    {"", "37", 9, "9", "opt37Bit", "Empty", false},
    {"FC=12;CF=35X;ZELF=F", "35X", 12, "12", "opt35BitX", "False", false},
    {"fc=12;cf=26;zelf=T", "37", 9, "9", "opt37Bit", "True", false},
    {"FC=12;CF=26;ZELF=t", "26", 12, "12", "opt26Bit", "False", false},
    {"FC=12;CF=26;ZELF=T;extra", "26", 12, "12", "opt26Bit", "False", false},
    {"FC=12;CF=26;ZELF=T\r\n", "26", 12, "12", "opt26Bit", "False", false},
    {"CF=26;FC=12;ZELF=F", "26", 0, "0", "opt26Bit", "False", true},
    {"FC=12;CF=34;ZELF=F", "34", 12, "12", "", "False", false},
    {"FC=abc;CF=;ZELF=", "26", 0, "0", "opt26Bit", "False", false},
    {"FC=12;CF=26", "37", 9, "9", "opt37Bit", "Empty", false},
    {"FC=40000;CF=35;ZELF=F", "35", 0, "0", "opt35Bit", "False", false},
    {"FC=-5;CF=37;ZELF=F", "37", -5, "-5", "opt37Bit", "False", false},
    {"FC=12.5;CF=35x;ZELF=F", "35x", 12, "12", "", "False", false},
    {"ZELF=T", "", 0, "", "", "Empty", true},
};

TEST(FormStart, StartsFromTheHostsPreset) {
    std::vector<std::string> printed;
    for (const PresetCase& preset : kPresets) {
        ScriptSession session;
        for (const std::string& line :
             session.run({std::string("clipboard ") + preset.clipboard, "load"}))
            printed.push_back(line);
        const frmCorvel& loaded = session.form();
        const std::string where = preset.clipboard;
        EXPECT_EQ(loaded.sCardFormat, preset.cardFormat) << where;
        EXPECT_EQ(loaded.lFacilityCode, preset.facilityCode) << where;
        EXPECT_EQ(loaded.txtFacilityCode.text(), preset.facilityText) << where;
        EXPECT_EQ(loaded.txtVersion.text(), "0") << where;
        EXPECT_EQ(loaded.bDataOnlyReply, preset.dataOnlyReply) << where;
        const std::string flag = loaded.vZELFlag ? (*loaded.vZELFlag ? "True" : "False") : "Empty";
        EXPECT_EQ(flag, preset.zelFlag) << where;
        std::string selected;
        for (const OptionButton* option : loaded.cardFormatGroup) {
            if (option->value()) selected += option->name();
        }
        EXPECT_EQ(selected, preset.selected) << where;
        EXPECT_FALSE(loaded.cmdOK.enabled()) << where;
        EXPECT_EQ(loaded.SSTab1.page(), 0) << where;
        EXPECT_EQ(loaded.focus(), &loaded.txtBoxSerialNo) << where;
    }
    // Only the preset with too few fields converts an empty facility box.
    EXPECT_EQ(printed, std::vector<std::string>{"message: 13 Type mismatch"});
}

TEST_F(FormTest, AZelPresetLocksTheFormatAndFacilityCode) {
    run({"clipboard FC=12;CF=26;ZELF=T", "load"});
    for (const Control* locked : std::initializer_list<const Control*>{
             &form().fraCardFormat, &form().opt26Bit, &form().opt35Bit, &form().opt37Bit,
             &form().opt35BitX, &form().lblFacilityCode, &form().txtFacilityCode,
             &form().chkZELFormat29}) {
        EXPECT_FALSE(locked->enabled()) << locked->name();
    }
    EXPECT_EQ(form().chkZELFormat.value(), CheckBox::kChecked);
}

struct ReplyCase {
    std::vector<std::string> script;
    std::vector<std::string> printed;
};

TEST(FormReplies, RepliesToTheHost) {
    const ReplyCase cases[] = {
        {{"clipboard FC=12;CF=26;ZELF=F", "load", "key txtBoxSerialNo Enter", "click cmdOK"},
         {"clipboard: OK;Invalid;FC=12;CF=26;ZELF=F", "unloaded"}},
        {{"load", "type txtBoxSerialNo 1", "key txtBoxSerialNo Enter", "click cmdOK"},
         {"clipboard: OK;0000000044000002;FC=9;CF=37;ZELF=F", "unloaded"}},
        {{"clipboard CF=26;ZELF=F;x", "load", "key txtBoxSerialNo Enter", "click cmdOK"},
         {"clipboard: Invalid", "unloaded"}},
        {{"load", "type txtBoxSerialNo 1", "click cmdCopyToCB", "click cmdConvert", "click cmdOK"},
         {"clipboard: 0000000044000002", "clipboard: 0000000044000002", "unloaded"}},
        {{"load", "settext txtFacilityCode -5", "key txtBoxSerialNo Enter", "click cmdOK"},
         {"clipboard: OK;Invalid;FC=-5;CF=37;ZELF=F", "unloaded"}},
        {{"clipboard fc=1;cf=26;zelf=T", "load", "key txtBoxSerialNo Enter", "click cmdOK"},
         {"clipboard: OK;Invalid;FC=9;CF=37;ZELF=T", "unloaded"}},
        {{"load", "click cmdOK"}, {}},
        {{"load", "type txtBoxSerialNo 1", "click cmdCancel"}, {"clipboard: Cancel", "unloaded"}},
        {{"clipboard FC=1;CF=26;ZELF=F", "load", "close"}, {"unloaded"}},
    };
    for (const ReplyCase& reply : cases) {
        EXPECT_EQ(ScriptSession().run(reply.script), reply.printed) << reply.script.back();
    }
}

TEST_F(FormTest, CopyToClipboardCopiesWhateverTheBoxShows) {
    EXPECT_EQ(
        run({"clipboard FC=1;CF=35x;ZELF=F", "load", "type txtBoxSerialNo 1", "click cmdCopyToCB"}),
        std::vector<std::string>{"clipboard: ????????????????"});
    EXPECT_TRUE(form().bDataOnlyReply);
}

TEST_F(FormTest, ConvertFillsEmptyBoxesBeforeComputing) {
    run({"load", "type txtBoxSerialNo 1", "settext txtFacilityCode", "click cmdConvert"});
    EXPECT_EQ(form().txtFacilityCode.text(), "0");
    EXPECT_EQ(form().lFacilityCode, 0);
    EXPECT_FALSE(form().cmdOK.enabled());
    run({"click cmdConvert"});
    EXPECT_EQ(form().txtBoxProxData.text(), "0000000000000002");
    EXPECT_TRUE(form().cmdOK.enabled());
    EXPECT_EQ(form().focus(), &form().cmdOK);
}

TEST_F(FormTest, EnterOnAnEmptyHotstampEnablesOk) {
    run({"load", "key txtBoxSerialNo Enter"});
    EXPECT_EQ(form().txtBoxProxData.text(), "");
    EXPECT_TRUE(form().cmdOK.enabled());
}

TEST_F(FormTest, ProxifFillsAnEmptyVersionAndKeepsAGivenOne) {
    run({"load", "type txtBoxSerialNo 12345", "settext txtFacilityCode 100", "click optProxif"});
    EXPECT_TRUE(form().txtVersion.enabled());
    EXPECT_TRUE(form().lblVersion.enabled());
    EXPECT_EQ(form().txtBoxProxData.text(), "0000001440030071");
    run({"settext txtVersion 1"});
    EXPECT_EQ(form().txtBoxProxData.text(), "0001001440030071");
    EXPECT_EQ(run({"settext txtVersion 8"}),
              std::vector<std::string>{"message: Version 8 is too large. 7 is max."});
    EXPECT_EQ(form().txtVersion.text(), "7");
    EXPECT_EQ(form().txtBoxProxData.text(), "????????????????");
    run({"click optCasi"});
    EXPECT_FALSE(form().txtVersion.enabled());
    EXPECT_EQ(form().txtVersion.text(), "7");
}

TEST_F(FormTest, PortListHoldsThePortsThatOpen) {
    run({"ports 1 3", "load"});
    EXPECT_EQ(form().ComboComPort.entries(), (std::vector<std::string>{"1", "3"}));
    EXPECT_EQ(form().ComboComPort.text(), "1");
    EXPECT_FALSE(fakes().serialPort.portOpen());
    EXPECT_TRUE(form().CheckComPort(3));
    EXPECT_FALSE(form().CheckComPort(2));
    EXPECT_FALSE(fakes().serialPort.portOpen());
}

struct ReadCase {
    std::vector<std::string> script;   // after "ports 2", "load" and "page 1"
    std::vector<std::string> printed;  // what the click printed
    const char* cardData;              // txtData afterwards
    int reads;
};

TEST_F(FormTest, ReadsACardFromTheLock) {
    const ReadCase cases[] = {
        {{"reader ok 0000000600400002", "click cmdGetCard"}, {}, "0000000600400002", 1},
        {{"reader ok 00000000000000000600400002", "click cmdGetCard"},
         {},
         "00000000000000000600400002",
         1},
        {{"reader cancel", "click cmdGetCard"}, {"message: Cancelled"}, "", 1},
        {{"click cmdGetCard"}, {"message: Timeout"}, "", 1},
        {{"reader error 2 Port busy", "click cmdGetCard"},
         {"message: Error Opening Com Port"},
         "",
         1},
        {{"reader error 7 Lock said no", "click cmdGetCard"}, {"message: Lock said no"}, "", 1},
        {{"reader testok Lock answers", "modifiers shift", "click cmdGetCard"},
         {"message: Lock answers"},
         "0123",
         1},
        {{"reader timeout", "modifiers shift", "click cmdGetCard"},
         {"message: Timeout"},
         "0123",
         1},
        {{"reader info Reader 1.0", "modifiers ctrl", "click cmdGetCard"},
         {"message: Reader 1.0"},
         "0123",
         0},
    };
    for (const ReadCase& read : cases) {
        ScriptSession session;
        session.run({"ports 2", "load", "page 1", "type txtData 0123"});
        frmCorvel& loaded = session.form();
        auto& reader = session.fakes().cardReader;
        std::string captionWhileReading;
        reader.whileReading = [&] { captionWhileReading = loaded.cmdGetCard.caption(); };
        const std::vector<std::string> printed = session.run(read.script);
        const std::string where = read.script.front();
        EXPECT_EQ(printed, read.printed) << where;
        EXPECT_EQ(loaded.txtData.text(), read.cardData) << where;
        EXPECT_EQ(reader.reads, read.reads) << where;
        EXPECT_EQ(loaded.cmdGetCard.caption(), "Read Card From Lock") << where;
        const bool testRead = read.cardData == std::string("0123");
        if (read.reads == 1) {
            EXPECT_EQ(reader.readerPort, 2) << where;
            EXPECT_EQ(reader.readTimeout, testRead ? kTestReadTimeoutMs : kCardReadTimeoutMs)
                << where;
            EXPECT_EQ(captionWhileReading,
                      testRead ? "Read Card From Lock" : "press 'ESC' to cancel");
        }
    }
}

TEST_F(FormTest, ReadsNeedAPortThatOpens) {
    EXPECT_EQ(run({"load", "click cmdGetCard"}),
              std::vector<std::string>{"message: No comport selected"});
    fakes().serialPort.openable = {4};
    run({"click cmdGetCard"});
    EXPECT_EQ(form().ComboComPort.entries(), std::vector<std::string>{"4"});
    fakes().serialPort.openable.clear();
    EXPECT_EQ(run({"click cmdGetCard"}),
              std::vector<std::string>{"message: Error opening selected comport"});
    EXPECT_TRUE(form().ComboComPort.entries().empty());
    EXPECT_EQ(fakes().cardReader.reads, 0);
}

TEST_F(FormTest, ControlsStartAsTheFormDescribesThem) {
    run({"load"});
    EXPECT_EQ(form().Text2.text().substr(form().Text2.text().size() - 20),
              std::string(18, ' ') + "\r\n");
    EXPECT_TRUE(form().Text2.readOnly());
    EXPECT_FALSE(form().Text1.readOnly());
    EXPECT_EQ(form().cmdCopyToCB.toolTip(), "Copy to Clipboard");
    EXPECT_EQ(fakes().messageBox.lastTitle, "");
    run({"type txtBoxSerialNo abc", "settext txtBoxSerialNo 1e999"});
    EXPECT_EQ(fakes().messageBox.lastTitle, "Proximity Credential Translator");
}

// OK, once enabled, is disabled again by a calculation for OK that is refused.
TEST(FormOk, ARefusalForOkDisablesOkAgain) {
    for (const char* calculation : {"key txtBoxSerialNo Enter", "click cmdConvert"}) {
        ScriptSession session;
        // An empty hotstamp enables OK; a key the table lacks refuses every hotstamp.
        session.run({"clipboard FC=12;CF=35x;ZELF=F", "load", "key txtBoxSerialNo Enter"});
        ASSERT_TRUE(session.form().cmdOK.enabled()) << calculation;
        session.run({"type txtBoxSerialNo 1", calculation});
        EXPECT_EQ(session.form().txtBoxProxData.text(), "????????????????") << calculation;
        EXPECT_FALSE(session.form().cmdOK.enabled()) << calculation;
    }
}

// Deleting from card data longer than the box's limit (a lock read) keeps
// the rest of it; a paste is still cut to the limit.
TEST_F(FormTest, EditsInPlaceKeepTextLongerThanTheLimit) {
    run({"ports 1", "load", "page 1", "reader ok 01234567012345670123", "click cmdGetCard"});
    ASSERT_EQ(form().txtData.text(), "01234567012345670123");
    form().editText(form().txtData, "0123456701234567012");
    EXPECT_EQ(form().txtData.text(), "0123456701234567012");
    form().editText(form().txtData, "01234567012345670129999");
    EXPECT_EQ(form().txtData.text(), "0123456701234567012");
    form().pasteText(form().txtData, "01234567012345670123");
    EXPECT_EQ(form().txtData.text(), "0123456701234567");
}

}  // namespace
}  // namespace proxcred

namespace proxcred {
namespace {

// What every view asks of the model rather than decide itself: which boxes
// take Enter, how long typing may make a text, which list entry an index is,
// and the port the list has chosen.
TEST_F(FormTest, TheRulesEveryViewAsksOfTheModel) {
    fakes().serialPort.openable = {2, 5};
    run({"load"});
    EXPECT_TRUE(form().txtBoxSerialNo.takesEnter());
    EXPECT_FALSE(form().txtFacilityCode.takesEnter());
    EXPECT_EQ(form().txtBoxSerialNo.typingLimit(), form().txtBoxSerialNo.maxLength());
    EXPECT_EQ(form().txtBits.typingLimit(), 0U);
    const std::string lockData(24, '7');
    form().txtData.setText(lockData);
    EXPECT_EQ(form().txtData.typingLimit(), lockData.size());
    EXPECT_EQ(form().chosenPort(), std::optional<std::int16_t>(2));
    form().selectComboIndex(form().ComboComPort, 1);
    EXPECT_EQ(form().chosenPort(), std::optional<std::int16_t>(5));
    for (const int outside : {-1, 2, 99}) {
        form().selectComboIndex(form().ComboComPort, outside);
        EXPECT_EQ(form().chosenPort(), std::optional<std::int16_t>(5)) << outside;
    }
    fakes().serialPort.openable.clear();
    form().FillComPortList();
    EXPECT_EQ(form().chosenPort(), std::nullopt);
}

}  // namespace
}  // namespace proxcred

namespace proxcred {
namespace {

// The fake answers as every serial port control does: port 3 opens, port 4
// another program holds, port 7 has no device.
TEST(SerialPortContract, Fake) {
    fakes::FakeSerialPort fake;
    fake.openable = {3};
    fake.held = {4};
    testing::checkSerialPortContract(fake, {3, 7, 4});
}

// The names a view places are the form's controls, in the form's order.
TEST_F(FormTest, TheFormsControlsAreTheNamedOnes) {
    run({"load"});
    const std::vector<Control*>& controls = form().controls();
    ASSERT_EQ(controls.size(), kControlNames.size());
    for (std::size_t i = 0; i < controls.size(); ++i)
        EXPECT_EQ(controls[i]->name(), kControlNames[i]) << i;
}

}  // namespace
}  // namespace proxcred
