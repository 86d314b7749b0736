#include "formats/prox_data.h"

#include <gtest/gtest.h>

namespace proxcred {
namespace {

struct ProxCase {
    const char* hotstamp;
    const char* key;
    std::int32_t facility;
    const char* facilityText;
    const char* versionText;
    const char* text;
    const char* message;
};

const ProxCase kProxCases[] = {
    {"12345", "26", 123, "", "", "0000000475460163", ""},
    {"", "26", 1, "", "", "", ""},
    {"abc", "26", 1, "", "", "", "Invalid Serial Number"},
    {"1", "", 1, "", "", "", "Undefined card format / facility code"},
    {"1", "35x", 1, "", "", "????????????????", ""},
    {"1", "PROXIF", 1, "", "", "????????????????", ""},
    {" 1 ", "26", 1, "", "", "0000000600400002", ""},
    {"70000", "26", 1, "", "", "????????????????", "Hotstamp 70000 is too large. 65535 is max."},
    {"34359738367", "37", 0, "", "", "0000777777777777", ""},
    {"524288", "37", 1, "", "", "????????????????", "Hotstamp 524288 is too large. 524287 is max."},
    // Proxif and Casi read their boxes, not the facility code in effect.
    {"12345", "Proxif", 999999, "100", "1", "0001001440030071", ""},
    {"12345", "Casi", 999999, " 100 ", "", "0144000000030071", ""},
    {"12345", "Proxif", 0, "100", "x", "", "13 Type mismatch"},
    {"12345", "Casi", 0, "99999999999", "", "", "6 Overflow"},
    {"1", "Proxif", 0, "1", "8", "????????????????", "Version 8 is too large. 7 is max."},
    // Beyond the 32-bit range the Xceed ID formats cannot convert the hotstamp.
    {"3000000000", "35X", 0, "", "", "", "6 Overflow"},
    {"1e999", "26", 0, "", "", "", "6 Overflow"},
};

TEST(ProxData, TextAndMessageAsTheEncodePageShowsThem) {
    for (const ProxCase& c : kProxCases) {
        const ProxOutcome outcome =
            calcProxData({c.hotstamp, c.key, c.facility, c.facilityText, c.versionText});
        EXPECT_EQ(outcome.text(), c.text) << c.key << " '" << c.hotstamp << "'";
        EXPECT_EQ(outcome.message(), c.message) << c.key << " '" << c.hotstamp << "'";
    }
}

TEST(ProxData, RefusalCarriesTheFieldForTheCorrection) {
    const ProxOutcome outcome = calcProxData({"1", "34", 65536, "", ""});
    ASSERT_EQ(outcome.kind, ProxOutcome::Kind::Refused);
    EXPECT_EQ(outcome.refusal->field, InputField::FacilityCode);
    EXPECT_EQ(outcome.refusal->correction(), "65535");
}

}  // namespace
}  // namespace proxcred
