#include "serial/port_directory.h"

#include <QDir>
#include <QSerialPortInfo>
#include <QtGlobal>
#include <algorithm>

namespace proxcred {
namespace {

bool isAdapter(const QString& device) {
    return device.contains(QLatin1String("USB"), Qt::CaseInsensitive) ||
           device.contains(QLatin1String("ACM"), Qt::CaseInsensitive);
}

// Name order with numbers compared as numbers: ttyS2 before ttyS10.
bool naturalLess(const QString& a, const QString& b) {
    qsizetype i = 0;
    qsizetype j = 0;
    while (i < a.size() && j < b.size()) {
        if (a[i].isDigit() && b[j].isDigit()) {
            qsizetype endA = i;
            qsizetype endB = j;
            while (endA < a.size() && a[endA].isDigit()) ++endA;
            while (endB < b.size() && b[endB].isDigit()) ++endB;
            const qulonglong numberA = a.mid(i, endA - i).toULongLong();
            const qulonglong numberB = b.mid(j, endB - j).toULongLong();
            if (numberA != numberB) return numberA < numberB;
            i = endA;
            j = endB;
        } else {
            if (a[i] != b[j]) return a[i] < b[j];
            ++i;
            ++j;
        }
    }
    return a.size() - i < b.size() - j;
}

// A relative path names a file under the current directory, as it does
// everywhere else; Qt Serial Port would look for it under /dev (so "null"
// would open /dev/null). COM port names on Windows are not paths.
QString fromWorkingDirectory(const QString& device) {
#ifdef Q_OS_WIN
    return device;
#else
    return QDir::isRelativePath(device) ? QDir::current().absoluteFilePath(device) : device;
#endif
}

QStringList systemDevices() {
    if (qEnvironmentVariableIsSet(PortDirectory::kOverrideVariable)) {
        QStringList devices;
        for (const QString& device :
             qEnvironmentVariable(PortDirectory::kOverrideVariable).split(',')) {
            if (!device.trimmed().isEmpty()) devices << fromWorkingDirectory(device.trimmed());
        }
        return devices;
    }
#ifdef Q_OS_WIN
    QStringList devices;
    for (int port = 1; port <= PortDirectory::kPorts; ++port)
        devices << QStringLiteral("COM%1").arg(port);
    return devices;
#else
    QStringList devices;
    for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts())
        devices << info.systemLocation();
    return PortDirectory::ordered(devices);
#endif
}

}  // namespace

PortDirectory::PortDirectory(QStringList devices)
    : PortDirectory([fixed = std::move(devices)] { return fixed; }, true) {}

PortDirectory::PortDirectory(std::function<QStringList()> lister, bool listNow)
    : lister_(std::move(lister)) {
    if (listNow) refresh();
}

PortDirectory PortDirectory::fromSystem(bool listNow) {
    return PortDirectory(std::function<QStringList()>(systemDevices), listNow);
}

void PortDirectory::refresh() {
    devices_ = lister_();
    if (devices_.size() > kPorts) devices_ = devices_.first(kPorts);
}

QStringList PortDirectory::ordered(QStringList systemDevices) {
    std::sort(systemDevices.begin(), systemDevices.end(), [](const QString& a, const QString& b) {
        if (isAdapter(a) != isAdapter(b)) return isAdapter(a);
        return naturalLess(a, b);
    });
    return systemDevices;
}

std::optional<QString> PortDirectory::device(int portNumber) const {
    if (portNumber < 1 || portNumber > devices_.size()) return std::nullopt;
    return devices_[portNumber - 1];
}

}  // namespace proxcred
