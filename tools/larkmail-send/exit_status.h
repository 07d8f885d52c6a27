// The exit status of larkmail-send: one per outcome, as --help and the manual page list them.
#pragma once

enum ExitStatus : int {
    kExitSuccess = 0,
    kExitSendFailed = 1,      // the library reported a failure (printed as the result code)
    kExitUsage = 2,           // unknown or contradicting options, invalid values or addresses
    kExitUnreadableInput = 3, // a body, attachment, image, secret or CA file cannot be read
    kExitLibraryUnusable = 4, // the library cannot be loaded or lacks an export
};
