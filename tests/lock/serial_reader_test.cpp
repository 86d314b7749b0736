// The card-reader component, the serial port control and the form's lock
// reader on real pseudo-terminals, against proxcred-locksim.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QSerialPort>
#include <QTemporaryDir>
#include <QThread>
#include <memory>
#include <sstream>

#include "fakes/fake_platform.h"
#include "form/frm_corvel.h"
#include "serial/qt_serial_port.h"
#include "serial/serial_lock_reader.h"
#include "serial_port_contract.h"

namespace proxcred {
namespace {

// A simulated lock on a pseudo-terminal, reached through a link in a
// temporary folder.
class Simulator {
  public:
    explicit Simulator(const QStringList& answers) {
        link_ = dir_.filePath("lock");
        process_.start(PROXCRED_LOCKSIM, QStringList{"--link", link_} + answers);
        QElapsedTimer waited;
        waited.start();
        while (!QFileInfo::exists(link_) && waited.elapsed() < 5000) QThread::msleep(5);
    }
    ~Simulator() {
        process_.terminate();
        process_.waitForFinished(2000);
    }
    Simulator(const Simulator&) = delete;
    Simulator& operator=(const Simulator&) = delete;

    const QString& link() const { return link_; }

  private:
    QTemporaryDir dir_;
    QString link_;
    QProcess process_;
};

struct ReadCase {
    QStringList answers;
    bool testRead;
    std::int32_t status;
    std::string data;  // card data, test result or error text
    std::int32_t errorCode;
};

TEST(SerialLockReader, EveryOutcomeOfARead) {
    using R = lock::LockReader;
    const ReadCase cases[] = {
        {{"--card", "0000000600400002"}, false, R::kStatusOK, "0000000600400002", 0},
        {{"--test", "lock KL-1 ready"}, true, R::kStatusOK, "lock KL-1 ready", 0},
        {{"--no-card"}, false, R::kStatusTimeout, "", 0},
        {{"--error", "2", "reader unreachable"}, false, R::kStatusError, "reader unreachable", 2},
        {{"--error", "7", "Lock jammed"}, false, R::kStatusError, "Lock jammed", 7},
        {{"--garbage"},
         false,
         R::kStatusError,
         "The lock sent bytes that are not part of the protocol",
         R::kBadByte},
        {{"--cut"}, false, R::kStatusError, "The lock's reply was cut off", R::kLineCutOff},
        {{"--hangup"},
         false,
         R::kStatusError,
         "The serial device went away during the read",
         R::kDeviceLost},
    };
    for (const ReadCase& read : cases) {
        Simulator lock(read.answers);
        const PortDirectory ports({lock.link()});
        SerialLockReader serial(ports);
        lock::LockReader& reader = serial.reader();
        reader.setReaderPort(1);
        // A read that ends on an answer gets the time a busy machine may
        // need; the ones that end on the wait limit (no card, a line cut
        // off) get little.
        const bool endsOnTheLimit =
            read.status == R::kStatusTimeout || read.errorCode == R::kLineCutOff;
        reader.setReadTimeout(endsOnTheLimit ? 400 : 10000);
        const std::int32_t status = read.testRead ? reader.TestRead() : reader.ReadCard();
        const std::string where = read.answers.join(' ').toStdString();
        EXPECT_EQ(status, read.status) << where;
        const std::string data = status == R::kStatusOK
                                     ? (read.testRead ? reader.TestResult() : reader.CardData())
                                     : reader.ErrorText();
        EXPECT_EQ(data, read.data) << where;
        EXPECT_EQ(reader.ErrorCode(), read.errorCode) << where;
    }
}

// A lock that answers a read the reader gave up (it ignores STOP and answers
// late): that card must never pass for the next read's.
TEST(SerialLockReader, ALateAnswerToAnAbandonedReadIsNotTaken) {
    for (const bool lockHonoursStop : {false, true}) {
        QStringList answers{"--delay",          "600",    "--card",
                            "0000000600400002", "--card", "0000777777777777"};
        if (!lockHonoursStop) answers << "--ignore-stop";
        Simulator lock(answers);
        const PortDirectory ports({lock.link()});
        SerialLockReader serial(ports);
        lock::LockReader& reader = serial.reader();
        reader.setReaderPort(1);
        reader.setReadTimeout(300);
        ASSERT_EQ(reader.ReadCard(), lock::LockReader::kStatusTimeout);
        reader.setReadTimeout(3000);
        EXPECT_EQ(reader.ReadCard(), lock::LockReader::kStatusOK) << reader.ErrorText();
        EXPECT_EQ(reader.CardData(), "0000777777777777")
            << "lock honours STOP: " << lockHonoursStop;
    }
}

TEST(SerialLockReader, APortThatCannotBeOpened) {
    const PortDirectory ports({"/nonexistent/serial/device"});
    SerialLockReader serial(ports);
    lock::LockReader& reader = serial.reader();
    reader.setReaderPort(1);
    EXPECT_EQ(reader.ReadCard(), lock::LockReader::kStatusError);
    EXPECT_EQ(reader.ErrorCode(), lock::LockReader::kPortNotOpened);
    reader.setReaderPort(5);
    EXPECT_EQ(reader.ReadCard(), lock::LockReader::kStatusError);
    EXPECT_NE(reader.InfoText().find("Port 5: no serial device"), std::string::npos);
}

// Relative paths in the override are taken from the current directory, and
// messages name the path that was opened.
TEST(PortDirectory, RelativePathsAreTakenFromTheCurrentDirectory) {
    const Simulator lock({"--card", "0000000600400002"});
    const QString before = QDir::currentPath();
    const QFileInfo link(lock.link());
    QDir::setCurrent(link.dir().path());
    qputenv(PortDirectory::kOverrideVariable, "lock,null");
    const PortDirectory ports = PortDirectory::fromSystem();
    qunsetenv(PortDirectory::kOverrideVariable);
    SerialLockReader serial(ports);
    lock::LockReader& reader = serial.reader();
    reader.setReaderPort(1);
    EXPECT_EQ(reader.ReadCard(), lock::LockReader::kStatusOK) << reader.ErrorText();
    EXPECT_EQ(reader.CardData(), "0000000600400002");
    reader.setReaderPort(2);
    EXPECT_EQ(reader.ReadCard(), lock::LockReader::kStatusError);
    EXPECT_EQ(
        reader.ErrorText().rfind("Cannot open " + link.dir().filePath("null").toStdString(), 0), 0U)
        << reader.ErrorText();
    QDir::setCurrent(before);
}

TEST(PortDirectory, AdaptersFirstThenBuiltInPortsInNameOrder) {
    EXPECT_EQ(PortDirectory::ordered({"/dev/ttyS10", "/dev/ttyS2", "/dev/ttyACM0", "/dev/ttyUSB1",
                                      "/dev/ttyUSB0", "/dev/ttyS0"}),
              (QStringList{"/dev/ttyACM0", "/dev/ttyUSB0", "/dev/ttyUSB1", "/dev/ttyS0",
                           "/dev/ttyS2", "/dev/ttyS10"}));
    const PortDirectory ports({"a", "b", "c", "d", "e", "f", "g", "h", "i", "j"});
    EXPECT_EQ(ports.devices().size(), 9);
    EXPECT_EQ(ports.device(9), QString("i"));
    EXPECT_FALSE(ports.device(0));
    EXPECT_FALSE(ports.device(10));
}

// The form with the real serial control and card reader; messages and the
// clipboard are fakes.
class FormOnSerialLines : public ::testing::Test {
  protected:
    void load(const QStringList& devices) { load(PortDirectory(devices)); }
    void load(PortDirectory directory) {
        ports_ = std::make_unique<PortDirectory>(std::move(directory));
        serial_ = std::make_unique<QtSerialPortControl>(*ports_);
        reader_ = std::make_unique<SerialLockReader>(*ports_);
        platform_ =
            std::make_unique<Platform>(Platform{fakes_.messageBox, fakes_.clipboard, fakes_.keys,
                                                *serial_, reader_->reader(), fakes_.unloader});
        form_ = std::make_unique<frmCorvel>(*platform_);
        form_->Form_Load();
        form_->activate();
        form_->showPage(1);
    }
    // The messages one click of "Read Card From Lock" showed.
    std::vector<std::string> clickRead() {
        messages_.clear();
        form_->typeText(form_->txtData, "0123");
        form_->click(form_->cmdGetCard);
        EXPECT_EQ(form_->cmdGetCard.caption(), "Read Card From Lock");
        return messages_;
    }

    std::vector<std::string> messages_;
    fakes::FakePlatform fakes_{[this](const std::string& line) {
        if (line.rfind("message: ", 0) == 0) messages_.push_back(line.substr(9));
    }};
    std::unique_ptr<PortDirectory> ports_;
    std::unique_ptr<QtSerialPortControl> serial_;
    std::unique_ptr<SerialLockReader> reader_;
    std::unique_ptr<Platform> platform_;
    std::unique_ptr<frmCorvel> form_;
};

TEST_F(FormOnSerialLines, ReadsCardsAndReportsEveryOutcome) {
    Simulator lock({"--card", "0000000600400002", "--no-card", "--error", "2", "x", "--error", "9",
                    "Lock jammed", "--garbage"});
    load({lock.link()});
    ASSERT_EQ(form_->ComboComPort.entries(), std::vector<std::string>{"1"});
    // The reader waits 7.5 s for a card; the simulator answers at once but
    // for the one read that gets none.
    EXPECT_TRUE(clickRead().empty());
    EXPECT_EQ(form_->txtData.text(), "0000000600400002");
    EXPECT_EQ(clickRead(), std::vector<std::string>{"Timeout"});
    EXPECT_EQ(form_->txtData.text(), "");
    EXPECT_EQ(clickRead(), std::vector<std::string>{"Error Opening Com Port"});
    EXPECT_EQ(form_->txtData.text(), "");
    EXPECT_EQ(clickRead(), std::vector<std::string>{"Lock jammed"});
    EXPECT_EQ(clickRead(),
              std::vector<std::string>{"The lock sent bytes that are not part of the protocol"});
    EXPECT_EQ(form_->txtData.text(), "");

    fakes_.keys.shift = true;
    EXPECT_EQ(clickRead(), std::vector<std::string>{"lock simulator ready"});
    EXPECT_EQ(form_->txtData.text(), "0123");
    fakes_.keys.shift = false;
    fakes_.keys.ctrl = true;
    const std::vector<std::string> info = clickRead();
    ASSERT_EQ(info.size(), 1U);
    EXPECT_NE(info.front().find(lock.link().toStdString()), std::string::npos);
    EXPECT_EQ(fakes_.clipboard.content, "");
}

// An adapter plugged in after start-up is offered at the next rebuild of the
// port list, and the port numbers then name the devices listed now.
TEST_F(FormOnSerialLines, EveryRebuildOfThePortListLooksForDevicesAgain) {
    Simulator first({"--card", "1"});
    Simulator second({"--card", "2"});
    qputenv(PortDirectory::kOverrideVariable, "");
    load(PortDirectory::fromSystem());
    EXPECT_TRUE(form_->ComboComPort.entries().empty());

    qputenv(PortDirectory::kOverrideVariable, first.link().toLocal8Bit());
    EXPECT_EQ(clickRead(), std::vector<std::string>{"No comport selected"});
    EXPECT_EQ(form_->ComboComPort.entries(), std::vector<std::string>{"1"});
    EXPECT_TRUE(clickRead().empty());
    EXPECT_EQ(form_->txtData.text(), "1");

    // The first device is taken by another program and a second one appears:
    // the failed open rebuilds the list, and port 1 now names the second.
    qputenv(PortDirectory::kOverrideVariable, second.link().toLocal8Bit());
    QSerialPort thief(first.link());
    ASSERT_TRUE(thief.open(QIODevice::ReadWrite));
    EXPECT_EQ(clickRead(), std::vector<std::string>{"Error opening selected comport"});
    EXPECT_EQ(form_->ComboComPort.entries(), std::vector<std::string>{"1"});
    EXPECT_EQ(ports_->device(1), second.link());
    EXPECT_TRUE(clickRead().empty());
    EXPECT_EQ(form_->txtData.text(), "2");
    qunsetenv(PortDirectory::kOverrideVariable);
}

TEST_F(FormOnSerialLines, APortHeldByAnotherProgramIsLeftOut) {
    Simulator first({"--card", "1"});
    Simulator second({"--card", "2"});
    QSerialPort holder(second.link());
    ASSERT_TRUE(holder.open(QIODevice::ReadWrite));
    load({first.link(), second.link()});
    EXPECT_EQ(form_->ComboComPort.entries(), std::vector<std::string>{"1"});
    EXPECT_FALSE(serial_->portOpen());

    // The chosen port taken away: the message, then the list is built anew.
    holder.close();
    QSerialPort thief(first.link());
    ASSERT_TRUE(thief.open(QIODevice::ReadWrite));
    EXPECT_EQ(clickRead(), std::vector<std::string>{"Error opening selected comport"});
    EXPECT_EQ(form_->ComboComPort.entries(), std::vector<std::string>{"2"});
}

// The control on Qt Serial Port answers as every serial port control does:
// port 1 a simulated lock, port 2 one another program holds, port 3 none.
TEST(SerialPortContract, QtSerialPort) {
    Simulator free({"--card", "1"});
    Simulator taken({"--card", "2"});
    QSerialPort holder(taken.link());
    ASSERT_TRUE(holder.open(QIODevice::ReadWrite));
    PortDirectory ports({free.link(), taken.link()});
    QtSerialPortControl control(ports);
    testing::checkSerialPortContract(control, {1, 3, 2});
}

}  // namespace
}  // namespace proxcred

int main(int argc, char** argv) {
    // The reader waits in an event loop of the application's.
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
