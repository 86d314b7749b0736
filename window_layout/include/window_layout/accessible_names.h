#pragma once

#include <array>
#include <string>
#include <string_view>

#include "form/frm_corvel.h"
#include "window_layout/window_layout.h"

// What a screen reader calls each control of the window, for both views: a
// control with a caption by its caption, one without by the label that
// names it, a result box by its column's header and its row's label, and the
// rest in words of their own.
namespace proxcred::layout {

// The label (or frame) that names a control with no caption of its own; the
// views make it the control's buddy.
struct LabelFor {
    std::string_view label;
    std::string_view control;
};
inline constexpr std::array kLabelFor{
    LabelFor{"lblSerialNo", "txtBoxSerialNo"},
    LabelFor{"lblFacilityCode", "txtFacilityCode"},
    LabelFor{"lblVersion", "txtVersion"},
    LabelFor{"Label1", "txtBoxProxData"},
    LabelFor{"Label10", "txtData"},
    LabelFor{"Label7", "txtBits"},
    LabelFor{"Frame1", "ComboComPort"},
};

// A result box of the Split Data page: its column's header and its row's
// label, which name it together ("26 Bit, Hotstamp No.").
struct ResultCell {
    std::string_view control;
    std::string_view header;
    std::string_view row;
};

namespace detail {
constexpr std::string_view kNumberRow = "Label40";
constexpr std::string_view kFacilityRow = "Label50";
constexpr std::string_view kVersionRow = "Label3";
constexpr auto resultCells() {
    std::array<ResultCell, 2 * kResultColumns.size() + 2> cells{};
    std::size_t at = 0;
    for (const ResultColumn& column : kResultColumns) {
        cells[at++] = {column.number, column.header, kNumberRow};
        cells[at++] = {column.facility, column.header, kFacilityRow};
    }
    // Proxif's version, and the 37-bit number without facility code, whose
    // label stands under it.
    cells[at++] = {"txtProxifVer", "lblProxif", kVersionRow};
    cells[at++] = {"txt37Number", "Label80", kNumberRow};
    return cells;
}
}  // namespace detail
inline constexpr auto kResultCells = detail::resultCells();

// Controls named in words of their own: no caption or label says what they are.
struct OwnName {
    std::string_view control;
    std::string_view name;
};
inline constexpr std::array kOwnNames{
    OwnName{"Text2", "Data Input instructions"},
    OwnName{"Text1", "Split Data instructions"},
    OwnName{"Picture1", "Proximity Credential Translator logo"},
};

namespace detail {
// Each table names controls the layout places.
template <class Table, class Name>
constexpr bool namesPlacedControls(const Table& table, Name name) {
    for (const auto& entry : table) {
        if (!placeOf(name(entry))) return false;
    }
    return true;
}
static_assert(namesPlacedControls(kLabelFor, [](const LabelFor& e) { return e.label; }) &&
                  namesPlacedControls(kLabelFor, [](const LabelFor& e) { return e.control; }) &&
                  namesPlacedControls(kResultCells,
                                      [](const ResultCell& e) { return e.control; }) &&
                  namesPlacedControls(kResultCells, [](const ResultCell& e) { return e.row; }) &&
                  namesPlacedControls(kOwnNames, [](const OwnName& e) { return e.control; }),
              "every control the names speak of has a place");
}  // namespace detail

// A caption as a screen reader says it: without the mnemonic's & (&& is one
// &) and without a trailing colon.
inline std::string spokenCaption(std::string_view caption) {
    std::string spoken;
    for (std::size_t at = 0; at < caption.size(); ++at) {
        if (caption[at] == '&' && at + 1 < caption.size()) ++at;
        spoken.push_back(caption[at]);
    }
    while (!spoken.empty() && (spoken.back() == ':' || spoken.back() == ' ')) spoken.pop_back();
    return spoken;
}

inline std::string captionOf(const frmCorvel& form, std::string_view control) {
    const auto* captioned = dynamic_cast<const CaptionedControl*>(form.findControl(control));
    return captioned == nullptr ? std::string() : spokenCaption(captioned->caption());
}

// What a screen reader calls the control; empty for a label or frame, which
// names others.
inline std::string accessibleName(const frmCorvel& form, std::string_view control) {
    for (const OwnName& own : kOwnNames) {
        if (own.control == control) return std::string(own.name);
    }
    for (const LabelFor& labelled : kLabelFor) {
        if (labelled.control == control) return captionOf(form, labelled.label);
    }
    for (const ResultCell& cell : kResultCells) {
        if (cell.control == control)
            return captionOf(form, cell.header) + ", " + captionOf(form, cell.row);
    }
    const Control* found = form.findControl(control);
    if (found == nullptr || found->kind() == ControlKind::Label ||
        found->kind() == ControlKind::Frame)
        return {};
    if (const auto* button = dynamic_cast<const CommandButton*>(found);
        button != nullptr && button->caption().empty())
        return button->toolTip();
    return captionOf(form, control);
}

}  // namespace proxcred::layout
