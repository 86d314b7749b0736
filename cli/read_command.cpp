#include "cli/read_command.h"

#include "cli/split_command.h"
#include "platform/read_outcome.h"

namespace proxcred::cli {

int readCommand(CardReaderControl& reader, const ReadOptions& options,
                const std::function<bool()>& interrupted, StandardOutput& output, TextSink& err) {
    TextSink& out = output.stream();
    reader.setReaderPort(static_cast<std::int16_t>(options.port));
    reader.setReadTimeout(static_cast<std::int16_t>(options.timeoutMs));
    const std::int32_t status = reader.ReadCard();
    if (status == reader.StatusOK()) {
        // The card was taken from the lock: if it cannot be written out, it
        // still reaches the operator on the error stream.
        const std::string kept = "the card read was " + reader.CardData();
        out << reader.CardData() << '\n';
        if (output.finish(0, err, kept) != 0) return 1;
        if (!options.split) return 0;
        out << '\n';
        return output.finish(splitCommand({reader.CardData()}, stdin, SplitStyle::Table, out, err),
                             err, kept);
    }
    // The window's message; for an error also its code, and the reader's own
    // words where the message is a summary ("Error Opening Com Port").
    const std::string message =
        readOutcomeMessage(reader, status, ReadKind::Card).value_or("Read failed");
    err << message;
    if (status == reader.StatusError()) {
        err << " (error " << reader.ErrorCode();
        if (message != reader.ErrorText()) err << ": " << reader.ErrorText();
        err << ")";
    }
    err << '\n';
    return status == reader.StatusCancelled() && interrupted() ? kInterruptedStatus : 1;
}

}  // namespace proxcred::cli
