#pragma once

#include <QString>

namespace zel {

// What the serial component asks or tells the user; the texts belong to the
// program's text table.
struct ComPrompt {
    enum class Kind {
        OpenFailed,       // "Error opening COM<port>: " (Abort, Retry)
        ResponseTimeout,  // "Timeout waiting for response." (Abort, Retry)
        PortInUse,        // "Port is in use -- operation aborted" (OK)
    };
    // Why the system refused to open the port.
    enum class Reason {
        Unknown,           // `detail` holds the system's own words
        NoDevice,          // nothing at that device path (adapter unplugged)
        PermissionDenied,  // the user may not open serial devices
        Busy,              // another program holds the port
    };
    Kind kind = Kind::OpenFailed;
    int port = 0;
    Reason reason = Reason::Unknown;
    QString detail;  // the device and the system's words
};

// The serial component's own modal dialogs, behind an interface so that the
// window shows them and tests answer them.
class ComPrompts {
public:
    enum class Answer { Abort, Retry };
    virtual ~ComPrompts() = default;
    // A warning with the buttons Abort and Retry.
    virtual Answer abortRetry(const ComPrompt& prompt) = 0;
    // A plain message with an OK button.
    virtual void message(const ComPrompt& prompt) = 0;
};

} // namespace zel
