#include "port_directory.h"

#include <QCollator>
#include <QSerialPortInfo>
#include <QtGlobal>
#include <algorithm>

namespace proxcred {
namespace {

bool isAdapter(const QString& device) {
    return device.contains(QLatin1String("USB"), Qt::CaseInsensitive) ||
           device.contains(QLatin1String("ACM"), Qt::CaseInsensitive);
}

}  // namespace

PortDirectory::PortDirectory(QStringList devices) : devices_(std::move(devices)) {
    if (devices_.size() > kPorts) devices_ = devices_.first(kPorts);
}

QStringList PortDirectory::ordered(QStringList systemDevices) {
    QCollator collator;
    collator.setNumericMode(true);  // ttyS2 before ttyS10
    std::sort(systemDevices.begin(), systemDevices.end(),
              [&collator](const QString& a, const QString& b) {
                  if (isAdapter(a) != isAdapter(b)) return isAdapter(a);
                  return collator.compare(a, b) < 0;
              });
    return systemDevices;
}

PortDirectory PortDirectory::fromSystem() {
    if (qEnvironmentVariableIsSet(kOverrideVariable)) {
        QStringList devices;
        for (const QString& device : qEnvironmentVariable(kOverrideVariable).split(',')) {
            if (!device.trimmed().isEmpty()) devices << device.trimmed();
        }
        return PortDirectory(devices);
    }
#ifdef Q_OS_WIN
    QStringList devices;
    for (int port = 1; port <= kPorts; ++port) devices << QStringLiteral("COM%1").arg(port);
    return PortDirectory(devices);
#else
    QStringList devices;
    for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts())
        devices << info.systemLocation();
    return PortDirectory(ordered(devices));
#endif
}

std::optional<QString> PortDirectory::device(int portNumber) const {
    if (portNumber < 1 || portNumber > devices_.size()) return std::nullopt;
    return devices_[portNumber - 1];
}

}  // namespace proxcred
