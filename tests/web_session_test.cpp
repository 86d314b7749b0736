// The web app's form session and card tools, native (the WebAssembly build
// runs the same under node): answers as changes, messages as events, and
// input read from memory.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "web/card_tools.h"
#include "web/form_session.h"

namespace proxcred::web {
namespace {

using nlohmann::json;

TEST(WebFormSession, AnswersEveryControlFirstThenOnlyTheChanges) {
    FormSession form("FC=12;CF=26;ZELF=F");
    const json first = json::parse(form.start());
    EXPECT_EQ(first["focus"], "txtBoxSerialNo");
    EXPECT_EQ(first["controls"]["txtFacilityCode"]["text"], "12");
    EXPECT_TRUE(first["controls"].contains("Label2"));
    const json typed = json::parse(form.edit("txtBoxSerialNo", "12345"));
    EXPECT_EQ(typed["controls"]["txtBoxProxData"]["text"], "0000000406060163");
    EXPECT_FALSE(typed["controls"].contains("Label2"));
    EXPECT_TRUE(typed["events"].empty());
}

TEST(WebFormSession, MessagesAndClipboardWritesAreEvents) {
    FormSession form("FC=1;CF=26;ZELF=F");
    form.start();
    const json overflow = json::parse(form.edit("txtFacilityCode", "99999999999"));
    ASSERT_EQ(overflow["events"].size(), 1U);
    EXPECT_EQ(overflow["events"][0]["text"], "6 Overflow");
    form.edit("txtFacilityCode", "1");
    form.edit("txtBoxSerialNo", "1");
    const json copied = json::parse(form.click("cmdCopyToCB", false, false));
    ASSERT_EQ(copied["events"].size(), 1U);
    EXPECT_EQ(copied["events"][0]["kind"], "clipboard");
    EXPECT_EQ(copied["events"][0]["text"], "0000000600400002");
    EXPECT_EQ(json::parse(form.edit("txtNoSuchBox", "1"))["error"],
              "the form has no control txtNoSuchBox");
}

TEST(WebCardTools, ReadTheirInputFromMemory) {
    CardTools tools;
    const CommandResult split = tools.split("0000000600400002\n\n12345678", true);
    EXPECT_EQ(split.status, 1);
    EXPECT_NE(split.out.find("\"hotstamp\": 1"), std::string::npos);
    EXPECT_EQ(tools.split("", false).out, "");
    const CommandResult file =
        tools.wiegandEncode("H10301", {"12", "345", "", ""}, "flipper", false);
    ASSERT_EQ(file.status, 0) << file.err;
    const CommandResult read = tools.wiegandDecode(file.out, "flipper", "", "H10301", true);
    EXPECT_NE(read.out.find("\"facility\": 12, \"card\": 345"), std::string::npos) << read.out;
    EXPECT_NE(tools.setFormats("{\"formats\": [{}]}"), "");
    const CommandResult encoded = tools.encode("26", "1", "0", "1\n\n70000");
    // As the command line answers: an empty hotstamp is an empty line.
    EXPECT_EQ(encoded.out, "0000000600400002\n\n????????????????\n");
}

}  // namespace
}  // namespace proxcred::web
