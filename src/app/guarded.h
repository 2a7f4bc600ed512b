// Qt must never see an exception leave an event handler: a command that runs out of memory or
// of a system resource (a thread, a file handle) ends in a message box that names it instead.
// The core's operations change nothing before they have everything they need, so the project
// is as it was; the caller brings the views back to it.
#pragma once

#include <functional>
#include <new>
#include <string_view>
#include <system_error>

#include "app/dialogs.h"
#include "files/file_messages.h"

namespace vantrel {

// True when `command` ran to its end.
inline bool RunGuarded(Dialogs& dialogs, std::string_view operation,
                       const std::function<void()>& command) {
    try {
        command();
        return true;
    } catch (const std::bad_alloc&) {
        dialogs.Inform(OperationFailedText(operation, "there is not enough memory"));
    } catch (const std::system_error& error) {
        dialogs.Inform(OperationFailedText(operation, error.code().message()));
    }
    return false;
}

}  // namespace vantrel
