#pragma once

#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

#include "platform/platform.h"

// The serial devices behind port numbers 1 to 9. On Windows these are COM1 to
// COM9. Elsewhere they are the serial devices the system lists, USB and ACM
// adapters first and then built-in ports, each in name order; the first nine
// count. PROXCRED_SERIAL_PORTS, a comma-separated list of device paths,
// replaces that list, for a simulator's pseudo-terminal or an unusual device.
namespace proxcred {

class PortDirectory {
  public:
    static constexpr int kPorts = kSerialPortCount;
    static constexpr const char* kOverrideVariable = "PROXCRED_SERIAL_PORTS";

    // A fixed list of devices.
    explicit PortDirectory(QStringList devices);
    // The system's devices as they are now; refresh() lists them again, so
    // an adapter plugged in later is found.
    // `listNow` false leaves the list empty until the first refresh(), for a
    // caller that refreshes at once anyway (the form builds its port list
    // when it loads).
    static PortDirectory fromSystem(bool listNow = true);

    void refresh();

    // The device behind a port number, or nothing.
    std::optional<QString> device(int portNumber) const;
    const QStringList& devices() const { return devices_; }

    // The system's list in the order described above (exposed for tests).
    static QStringList ordered(QStringList systemDevices);

  private:
    PortDirectory(std::function<QStringList()> lister, bool listNow);

    std::function<QStringList()> lister_;
    QStringList devices_;
};

}  // namespace proxcred
