#pragma once

#include "archive/EventWait.h"
#include "archive/ProgressWindow.h"
#include "platform/WebEngine.h"

#include <functional>
#include <memory>

namespace tickwell {

// What headline saving needs beyond the controller's platform. Each is made when first needed:
// the web engine is large and most runs never save anything.
struct ArchiveServices {
    // Nothing, or a factory giving nothing: no engine, and every save reports an error.
    std::function<std::unique_ptr<WebEngine>()> makeWebEngine;
    // Nothing: a window that only records its lines (RecordingProgressWindow).
    std::function<std::unique_ptr<ProgressWindow>()> makeProgressWindow;
    // Nothing: waits in nested Qt event loops (QtEventWait).
    std::function<std::unique_ptr<EventWait>()> makeEventWait;
};

// How long a save waits for the web engine before it gives up and says so.
struct ArchiveTimeouts {
    double pageLoad = 90.0;    // seconds for a page to finish loading
    double engineAnswer = 30.0; // seconds for a measurement, a PDF, an archive or the page text
    double stopSettle = 2.0;    // seconds for a stopped load to report its end
};

} // namespace tickwell
