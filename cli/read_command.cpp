#include "read_command.h"

#include <QCoreApplication>

#include "host/lock/serial_lock_reader.h"
#include "split_command.h"

namespace proxcred::cli {

int readCommand(int argc, char** argv, const ReadOptions& options, std::ostream& out,
                std::ostream& err) {
    const QCoreApplication app(argc, argv);  // the read's event loop needs one
    const PortDirectory directory = PortDirectory::fromSystem();
    SerialLockReader reader(directory);
    reader.setReaderPort(static_cast<std::int16_t>(options.port));
    reader.setReadTimeout(static_cast<std::int16_t>(options.timeoutMs));
    const std::int32_t status = reader.ReadCard();
    if (status == reader.StatusOK()) {
        out << reader.CardData() << '\n';
        if (!options.split) return 0;
        out << '\n';
        return splitCommand({reader.CardData()}, stdin, SplitStyle::Table, out, err);
    }
    if (status == reader.StatusTimeout()) {
        err << "Timeout\n";
    } else if (status == reader.StatusCancelled()) {
        err << "Cancelled\n";
    } else {
        err << reader.ErrorText() << " (error " << reader.ErrorCode() << ")\n";
    }
    return 1;
}

}  // namespace proxcred::cli
