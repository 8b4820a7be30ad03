#pragma once

class QListWidget;

namespace kx::platform {
class Clipboard;
}

namespace kx::diag {

// Ctrl+C in the list puts its marked line on the clipboard, so a title seen there can be
// pasted into the configuration file or a report. The clipboard must outlive the list.
void copyMarkedLineOnCtrlC(QListWidget* list, platform::Clipboard& clipboard);

} // namespace kx::diag
