// The arrangement the operator reads: on "Data Input" the input rows, the two
// check boxes and Convert in the left column, the format frame to their
// right, instructions and logo at the right and "Prox Data:" along the bottom;
// on "Split Data" the card data and bit rows, the buttons and the port frame,
// and the result grid. OK, Exit and the version note sit below the tabs.
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

#include "gui/artwork.h"
#include "gui/form_window.h"
#include "gui/qt_text.h"

namespace proxcred::gui {
namespace {

constexpr int kInstructionsWidth = 250;
constexpr QSize kLogoSize{160, 120};
// The card data box shows this many digits without scrolling.
constexpr int kCardDataDigitsShown = 20;
// Lines of the instructions on the Split Data page shown without scrolling.
constexpr int kSplitInstructionLines = 6;
// A result box holds the longest verdict and a 32-bit number, plus the
// frame and margins of the box.
constexpr std::string_view kWidestResult = "Not 37 Bit X";
constexpr int kResultBoxPadding = 14;

}  // namespace

void FormWindow::buildWindow() {
    auto* central = new QWidget;
    auto* layout = new QVBoxLayout(central);
    tabs_ = new QTabWidget;
    tabs_->setObjectName("SSTab1");
    tabs_->addTab(buildDataInputPage(), fromUtf8(form_.SSTab1.pageCaptions()[0]));
    tabs_->addTab(buildSplitDataPage(), fromUtf8(form_.SSTab1.pageCaptions()[1]));
    widgets_[&form_.SSTab1] = tabs_;
    connect(tabs_, &QTabWidget::currentChanged, this, [this](int page) { form_.showPage(page); });
    layout->addWidget(tabs_);

    auto* bottom = new QHBoxLayout;
    bottom->addWidget(label(form_.Label2));
    bottom->addStretch();
    bottom->addWidget(button(form_.cmdOK));
    bottom->addWidget(button(form_.cmdCancel));
    layout->addLayout(bottom);
    setCentralWidget(central);
}

QWidget* FormWindow::buildDataInputPage() {
    auto* page = new QWidget;
    auto* grid = new QGridLayout(page);

    auto* inputs = new QGridLayout;
    inputs->addWidget(label(form_.lblSerialNo, true), 0, 0);
    inputs->addWidget(lineEdit(form_.txtBoxSerialNo), 0, 1);
    inputs->addWidget(label(form_.lblFacilityCode, true), 1, 0);
    inputs->addWidget(lineEdit(form_.txtFacilityCode), 1, 1);
    inputs->addWidget(label(form_.lblVersion, true), 2, 0);
    inputs->addWidget(lineEdit(form_.txtVersion), 2, 1);
    inputs->addWidget(checkBox(form_.chkZELFormat), 3, 0, 1, 2);
    inputs->addWidget(checkBox(form_.chkZELFormat29), 4, 0, 1, 2);
    inputs->addWidget(button(form_.cmdConvert), 5, 1);
    inputs->setRowStretch(6, 1);
    grid->addLayout(inputs, 0, 0);

    auto* frame = new QGroupBox;
    bind(form_.fraCardFormat, frame);
    auto* options = new QVBoxLayout(frame);
    for (OptionButton* format : form_.cardFormatGroup) options->addWidget(option(*format));
    options->addStretch();
    grid->addWidget(frame, 0, 1);

    auto* aside = new QVBoxLayout;
    QPlainTextEdit* text2 = instructions(form_.Text2);
    text2->setFixedWidth(kInstructionsWidth);
    aside->addWidget(text2);
    auto* picture = new QLabel;
    picture->setAlignment(Qt::AlignCenter);
    picture->setPixmap(logoPixmap(kLogoSize, devicePixelRatioF()));
    bind(form_.Picture1, picture);
    aside->addWidget(picture);
    grid->addLayout(aside, 0, 2, 2, 1);

    auto* proxRow = new QHBoxLayout;
    proxRow->addWidget(label(form_.Label1, true));
    proxRow->addWidget(lineEdit(form_.txtBoxProxData), 1);
    auto* copy = static_cast<QPushButton*>(button(form_.cmdCopyToCB));
    copy->setIcon(copyIcon());
    proxRow->addWidget(copy);
    grid->addLayout(proxRow, 1, 0, 1, 2);
    return page;
}

QWidget* FormWindow::buildSplitDataPage() {
    auto* page = new QWidget;
    auto* layout = new QVBoxLayout(page);
    layout->addWidget(label(form_.Label100));

    auto* top = new QGridLayout;
    top->addWidget(label(form_.Label10, true), 0, 0);
    auto* cardData = lineEdit(form_.txtData);
    cardData->setMinimumWidth(
        cardData->fontMetrics().horizontalAdvance(QString(kCardDataDigitsShown, '0')));
    top->addWidget(cardData, 0, 1);
    top->addWidget(label(form_.Label7, true), 1, 0);
    top->addWidget(lineEdit(form_.txtBits), 1, 1, 1, 3);
    top->addWidget(button(form_.cmdStart), 0, 2);
    top->addWidget(button(form_.cmdGetCard), 0, 3);
    auto* portFrame = new QGroupBox;
    bind(form_.Frame1, portFrame);
    auto* portLayout = new QVBoxLayout(portFrame);
    portLayout->addWidget(comboBox(form_.ComboComPort));
    top->addWidget(portFrame, 0, 4, 2, 1);
    QPlainTextEdit* text1 = instructions(form_.Text1);
    text1->setFixedHeight(text1->fontMetrics().lineSpacing() * kSplitInstructionLines);
    top->addWidget(text1, 0, 5, 2, 1);
    top->setColumnStretch(5, 1);
    layout->addLayout(top);
    layout->addWidget(buildResultGrid());
    layout->addStretch();
    return page;
}

QWidget* FormWindow::buildResultGrid() {
    auto* grid = new QWidget;
    auto* layout = new QGridLayout(grid);
    layout->addWidget(label(form_.Label40, true), kNumberRow, 0);
    layout->addWidget(label(form_.Label50, true), kFacilityRow, 0);
    layout->addWidget(label(form_.Label3, true), kVersionRow, 0);
    const int boxWidth =
        grid->fontMetrics().horizontalAdvance(fromUtf8(kWidestResult)) + kResultBoxPadding;
    int column = 1;
    for (const ResultColumn& boxes : resultColumns()) {
        addResultColumn(*layout, column, boxes, boxWidth);
        // The "No Facility" column has its label under the box.
        if (boxes.number == &form_.txt37Number) {
            QWidget* noFacility = label(form_.Label80);
            static_cast<QLabel*>(noFacility)->setAlignment(Qt::AlignCenter);
            layout->addWidget(noFacility, kFacilityRow, column);
        }
        ++column;
    }
    return grid;
}

// The result columns from left to right.
std::vector<FormWindow::ResultColumn> FormWindow::resultColumns() {
    frmCorvel& f = form_;
    return {
        {&f.lbl26Bit, &f.txt26Num, &f.txt26Fac, nullptr},
        {&f.Label6, &f.txt34Num, &f.txt34Fac, nullptr},
        {&f.lbl35Bit, &f.txt35Num, &f.txt35Fac, nullptr},
        {&f.lbl35X, &f.txt35XNum, &f.txt35XFac, nullptr},
        {&f.Label4, &f.txt36XNum, &f.txt36XFac, nullptr},
        {&f.Label5, &f.txt37XNum, &f.txt37XFac, nullptr},
        {&f.lbl37Bit, &f.txt37Num, &f.txt37Fac, nullptr},
        {nullptr, &f.txt37Number, nullptr, nullptr},
        {&f.lblProxif, &f.txtProxifNum, &f.txtProxifFac, &f.txtProxifVer},
        {&f.lblCasi, &f.txtCasiNum, &f.txtCasiFac, nullptr},
    };
}

void FormWindow::addResultColumn(QGridLayout& layout, int column, const ResultColumn& boxes,
                                 int boxWidth) {
    const auto resultBox = [this, boxWidth](TextBox& box) {
        QLineEdit* edit = lineEdit(box);
        edit->setMinimumWidth(boxWidth);
        return edit;
    };
    if (boxes.header != nullptr) {
        QWidget* header = label(*boxes.header);
        static_cast<QLabel*>(header)->setAlignment(Qt::AlignCenter);
        layout.addWidget(header, kHeaderRow, column);
    }
    layout.addWidget(resultBox(*boxes.number), kNumberRow, column);
    if (boxes.facility != nullptr)
        layout.addWidget(resultBox(*boxes.facility), kFacilityRow, column);
    if (boxes.version != nullptr) layout.addWidget(resultBox(*boxes.version), kVersionRow, column);
    layout.setColumnStretch(column, 1);
}

void FormWindow::setTabOrder() {
    frmCorvel& f = form_;
    const Control* order[] = {
        &f.txtBoxSerialNo, &f.txtFacilityCode, &f.txtVersion, &f.cmdConvert, &f.cmdCopyToCB,
        &f.chkZELFormat,   &f.chkZELFormat29,  &f.opt26Bit,   &f.opt34Bit,   &f.opt35Bit,
        &f.opt35BitX,      &f.opt36BitX,       &f.opt37bitX,  &f.opt37Bit,   &f.optProxif,
        &f.optCasi,        &f.txtBoxProxData,  &f.Text2,      &f.txtData,    &f.cmdStart,
        &f.cmdGetCard,     &f.ComboComPort,    &f.txtBits,    &f.Text1,      &f.cmdOK,
        &f.cmdCancel,
    };
    for (std::size_t i = 1; i < std::size(order); ++i) {
        QWidget::setTabOrder(widgetFor(*order[i - 1]), widgetFor(*order[i]));
    }
}

}  // namespace proxcred::gui
