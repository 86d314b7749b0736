#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

#include "form/control_names.h"
#include "formats/card_format.h"

// Where each control of the translator form sits, written once for both
// views of the window. Captions (with their & mnemonics), maximum lengths and
// what a control is come from the form model; this says where it is drawn,
// how its text is aligned, and in which order Tab visits it. Positions are in
// pixels at 96 dots per inch (each view scales them to its screen), relative
// to the page a control is on, or to the window's client area for the
// controls below the pages. The window fits a 1024x768 screen.
namespace proxcred::layout {

struct Size {
    int width = 0;
    int height = 0;
};

struct Rect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    friend constexpr bool operator==(const Rect&, const Rect&) = default;
};

enum class Page : std::int8_t { Window = -1, DataInput = 0, SplitData = 1 };
enum class Align : std::uint8_t { Left, Right, Center };

struct Place {
    std::string_view control;  // the form control's name
    Page page = Page::Window;
    Rect rect;
    Align align = Align::Left;  // of a label's text
    int tab = 0;                // its place in the tab order, 1 first; 0: not visited
};

// The client area, and the tab control in it; a page's controls are placed
// within the tab control's page area, which starts kPageOrigin below and
// right of the tab control's corner.
inline constexpr Size kClientSize{1000, 456};
inline constexpr Rect kTabs{8, 8, 984, 404};
inline constexpr Size kPageOrigin{4, 30};

namespace detail {
// The result grid of the Split Data page: a column every kColumnStep pixels.
constexpr int kColumnX = 112;
constexpr int kColumnStep = 86;
constexpr int kBoxWidth = 80;
constexpr int kHeaderY = 120;
constexpr int kNumberY = 144;
constexpr int kFacilityY = 172;
constexpr int kVersionY = 200;
constexpr int kRowHeight = 24;
constexpr Rect column(int index, int y) {
    return {kColumnX + index * kColumnStep, y, kBoxWidth, kRowHeight};
}
// One column per card format, in the format table's order; the 37-bit
// format's number without facility code takes the column after its own.
constexpr int resultColumn(CardFormat format) {
    const auto index = static_cast<int>(format);
    return index + (index > static_cast<int>(CardFormat::Bit37) ? 1 : 0);
}
constexpr Rect resultBox(CardFormat format, int y) {
    return column(resultColumn(format), y);
}
constexpr Rect header(CardFormat format) {
    return resultBox(format, kHeaderY);
}
constexpr Rect numberBox(CardFormat format) {
    return resultBox(format, kNumberY);
}
constexpr Rect facilityBox(CardFormat format) {
    return resultBox(format, kFacilityY);
}
constexpr int kNumberWithoutFacilityColumn = resultColumn(CardFormat::Bit37) + 1;
constexpr Page kD = Page::DataInput;
constexpr Page kS = Page::SplitData;
constexpr Page kW = Page::Window;
constexpr Align kRight = Align::Right;
constexpr Align kCenter = Align::Center;
}  // namespace detail

// clang-format off
inline constexpr std::array kPlaces{
    // Data Input: the input rows, the format frame, instructions and logo.
    Place{"lblSerialNo", detail::kD, {8, 12, 96, 24}, detail::kRight},
    Place{"txtBoxSerialNo", detail::kD, {108, 12, 412, 24}, Align::Left, 1},
    Place{"lblFacilityCode", detail::kD, {8, 42, 96, 24}, detail::kRight},
    Place{"txtFacilityCode", detail::kD, {108, 42, 412, 24}, Align::Left, 2},
    Place{"lblVersion", detail::kD, {8, 72, 96, 24}, detail::kRight},
    Place{"txtVersion", detail::kD, {108, 72, 412, 24}, Align::Left, 3},
    Place{"chkZELFormat", detail::kD, {12, 104, 400, 24}, Align::Left, 6},
    Place{"chkZELFormat29", detail::kD, {12, 132, 400, 24}, Align::Left, 7},
    Place{"cmdConvert", detail::kD, {108, 164, 412, 28}, Align::Left, 4},
    Place{"fraCardFormat", detail::kD, {532, 4, 160, 288}},
    Place{"opt26Bit", detail::kD, {544, 30, 140, 24}, Align::Left, 8},
    Place{"opt34Bit", detail::kD, {544, 56, 140, 24}, Align::Left, 9},
    Place{"opt35Bit", detail::kD, {544, 82, 140, 24}, Align::Left, 10},
    Place{"opt35BitX", detail::kD, {544, 108, 140, 24}, Align::Left, 11},
    Place{"opt36BitX", detail::kD, {544, 134, 140, 24}, Align::Left, 12},
    Place{"opt37bitX", detail::kD, {544, 160, 140, 24}, Align::Left, 13},
    Place{"opt37Bit", detail::kD, {544, 186, 140, 24}, Align::Left, 14},
    Place{"optProxif", detail::kD, {544, 212, 140, 24}, Align::Left, 15},
    Place{"optCasi", detail::kD, {544, 238, 140, 24}, Align::Left, 16},
    Place{"Text2", detail::kD, {704, 12, 264, 150}, Align::Left, 18},
    Place{"Picture1", detail::kD, {756, 180, 160, 120}},
    Place{"Label1", detail::kD, {8, 316, 96, 24}, detail::kRight},
    Place{"txtBoxProxData", detail::kD, {108, 316, 540, 24}, Align::Left, 17},
    Place{"cmdCopyToCB", detail::kD, {656, 314, 28, 28}, Align::Left, 5},

    // Split Data: card data, buttons, port and instructions, then the results.
    Place{"Label100", detail::kS, {8, 8, 480, 22}},
    Place{"Label10", detail::kS, {8, 38, 80, 24}, detail::kRight},
    Place{"txtData", detail::kS, {92, 38, 170, 24}, Align::Left, 19},
    Place{"cmdStart", detail::kS, {270, 36, 96, 28}, Align::Left, 20},
    Place{"cmdGetCard", detail::kS, {374, 36, 150, 28}, Align::Left, 21},
    Place{"Label7", detail::kS, {8, 72, 80, 24}, detail::kRight},
    Place{"txtBits", detail::kS, {92, 72, 432, 24}, Align::Left, 23},
    Place{"Frame1", detail::kS, {536, 16, 108, 80}},
    Place{"ComboComPort", detail::kS, {548, 46, 84, 26}, Align::Left, 22},
    Place{"Text1", detail::kS, {652, 6, 316, 108}, Align::Left, 24},
    Place{"Label40", detail::kS, {4, detail::kNumberY, 104, 24}, detail::kRight},
    Place{"Label50", detail::kS, {4, detail::kFacilityY, 104, 24}, detail::kRight},
    Place{"Label3", detail::kS, {4, detail::kVersionY, 104, 24}, detail::kRight},
    Place{"lbl26Bit", detail::kS, detail::header(CardFormat::Bit26), detail::kCenter},
    Place{"txt26Num", detail::kS, detail::numberBox(CardFormat::Bit26)},
    Place{"txt26Fac", detail::kS, detail::facilityBox(CardFormat::Bit26)},
    Place{"Label6", detail::kS, detail::header(CardFormat::Bit34), detail::kCenter},
    Place{"txt34Num", detail::kS, detail::numberBox(CardFormat::Bit34)},
    Place{"txt34Fac", detail::kS, detail::facilityBox(CardFormat::Bit34)},
    Place{"lbl35Bit", detail::kS, detail::header(CardFormat::Bit35), detail::kCenter},
    Place{"txt35Num", detail::kS, detail::numberBox(CardFormat::Bit35)},
    Place{"txt35Fac", detail::kS, detail::facilityBox(CardFormat::Bit35)},
    Place{"lbl35X", detail::kS, detail::header(CardFormat::Bit35X), detail::kCenter},
    Place{"txt35XNum", detail::kS, detail::numberBox(CardFormat::Bit35X)},
    Place{"txt35XFac", detail::kS, detail::facilityBox(CardFormat::Bit35X)},
    Place{"Label4", detail::kS, detail::header(CardFormat::Bit36X), detail::kCenter},
    Place{"txt36XNum", detail::kS, detail::numberBox(CardFormat::Bit36X)},
    Place{"txt36XFac", detail::kS, detail::facilityBox(CardFormat::Bit36X)},
    Place{"Label5", detail::kS, detail::header(CardFormat::Bit37X), detail::kCenter},
    Place{"txt37XNum", detail::kS, detail::numberBox(CardFormat::Bit37X)},
    Place{"txt37XFac", detail::kS, detail::facilityBox(CardFormat::Bit37X)},
    Place{"lbl37Bit", detail::kS, detail::header(CardFormat::Bit37), detail::kCenter},
    Place{"txt37Num", detail::kS, detail::numberBox(CardFormat::Bit37)},
    Place{"txt37Fac", detail::kS, detail::facilityBox(CardFormat::Bit37)},
    // The 37-bit number without facility code: its label stands under the box.
    Place{"txt37Number", detail::kS,
          detail::column(detail::kNumberWithoutFacilityColumn, detail::kNumberY)},
    Place{"Label80", detail::kS,
          detail::column(detail::kNumberWithoutFacilityColumn, detail::kFacilityY), detail::kCenter},
    Place{"lblProxif", detail::kS, detail::header(CardFormat::Proxif), detail::kCenter},
    Place{"txtProxifNum", detail::kS, detail::numberBox(CardFormat::Proxif)},
    Place{"txtProxifFac", detail::kS, detail::facilityBox(CardFormat::Proxif)},
    Place{"txtProxifVer", detail::kS, detail::resultBox(CardFormat::Proxif, detail::kVersionY)},
    Place{"lblCasi", detail::kS, detail::header(CardFormat::Casi), detail::kCenter},
    Place{"txtCasiNum", detail::kS, detail::numberBox(CardFormat::Casi)},
    Place{"txtCasiFac", detail::kS, detail::facilityBox(CardFormat::Casi)},

    // Below the pages.
    Place{"Label2", detail::kW, {12, 420, 200, 28}},
    Place{"cmdOK", detail::kW, {796, 420, 92, 28}, Align::Left, 25},
    Place{"cmdCancel", detail::kW, {896, 420, 96, 28}, Align::Left, 26},
};
// clang-format on

// The place of a control, by name.
constexpr std::optional<Place> placeOf(std::string_view control) {
    for (const Place& place : kPlaces) {
        if (place.control == control) return place;
    }
    return std::nullopt;
}

// The result controls of each card format on the Split Data page, in the
// format table's order.
struct ResultColumn {
    CardFormat format;
    std::string_view header;
    std::string_view number;
    std::string_view facility;
};

inline constexpr std::array<ResultColumn, kFormatCount> kResultColumns{{
    {CardFormat::Bit26, "lbl26Bit", "txt26Num", "txt26Fac"},
    {CardFormat::Bit34, "Label6", "txt34Num", "txt34Fac"},
    {CardFormat::Bit35, "lbl35Bit", "txt35Num", "txt35Fac"},
    {CardFormat::Bit35X, "lbl35X", "txt35XNum", "txt35XFac"},
    {CardFormat::Bit36X, "Label4", "txt36XNum", "txt36XFac"},
    {CardFormat::Bit37X, "Label5", "txt37XNum", "txt37XFac"},
    {CardFormat::Bit37, "lbl37Bit", "txt37Num", "txt37Fac"},
    {CardFormat::Proxif, "lblProxif", "txtProxifNum", "txtProxifFac"},
    {CardFormat::Casi, "lblCasi", "txtCasiNum", "txtCasiFac"},
}};
static_assert(inFormatOrder(kResultColumns,
                            [](const ResultColumn& column) { return column.format; }),
              "the result columns are indexed by CardFormat");

// How many controls Tab visits.
constexpr std::size_t tabStopCount() {
    std::size_t count = 0;
    for (const Place& place : kPlaces) count += place.tab > 0 ? 1 : 0;
    return count;
}

// The controls Tab visits, in order: their names.
constexpr auto tabOrder() {
    std::array<std::string_view, tabStopCount()> order{};
    for (const Place& place : kPlaces) {
        if (place.tab > 0 && static_cast<std::size_t>(place.tab) <= order.size())
            order[static_cast<std::size_t>(place.tab - 1)] = place.control;
    }
    return order;
}

namespace detail {
// Every tab position from 1 to the last is taken once.
constexpr bool tabOrderIsWhole() {
    for (const std::string_view name : tabOrder()) {
        if (name.empty()) return false;
    }
    return true;
}
// Every control lies inside its page (or the client area).
constexpr bool placesFit() {
    const Size page{kTabs.width - 2 * kPageOrigin.width, kTabs.height - kPageOrigin.height - 4};
    for (const Place& place : kPlaces) {
        const Size area = place.page == Page::Window ? kClientSize : page;
        if (place.rect.x < 0 || place.rect.y < 0 || place.rect.x + place.rect.width > area.width ||
            place.rect.y + place.rect.height > area.height)
            return false;
    }
    return true;
}
static_assert(tabOrderIsWhole(), "each tab position is taken by exactly one control");
// Every format's header and boxes stand in its own column.
constexpr bool resultColumnsPlaced() {
    for (const ResultColumn& column : kResultColumns) {
        const auto at = [&](std::string_view control, int y) {
            const std::optional<Place> place = placeOf(control);
            return place && place->rect == resultBox(column.format, y);
        };
        if (!at(column.header, kHeaderY) || !at(column.number, kNumberY) ||
            !at(column.facility, kFacilityY))
            return false;
    }
    return true;
}
// Every control of the form has a place (the tab control is the frame of
// the pages), and every place names a control of the form: a control added
// without a place would otherwise silently not be drawn.
constexpr bool everyControlPlaced() {
    for (const std::string_view name : kControlNames) {
        if (name != "SSTab1" && !placeOf(name)) return false;
    }
    for (const Place& place : kPlaces) {
        bool named = false;
        for (const std::string_view name : kControlNames) named = named || name == place.control;
        if (!named) return false;
    }
    return true;
}
static_assert(everyControlPlaced(), "every form control has exactly the place the layout gives it");
static_assert(placesFit(), "every control lies inside its page or the window");
static_assert(resultColumnsPlaced(), "each format's results stand in the column of its place");
}  // namespace detail

}  // namespace proxcred::layout
