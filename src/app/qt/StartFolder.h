#pragma once

#include "ui/MainWindow.h"

namespace kx::app {

// Makes the configuration's folder the current folder, so that a relative name in a
// "%datei=" placeholder is looked up beside Kalmotex.ini: in a portable copy or a build
// folder that is the program's folder, as on Windows where the program starts in its own
// folder. When the configuration does not exist yet (it is about to be seeded from the
// sample), the files the sample's entries name are copied there from the sample's folder,
// each only when missing. Returns false when the folder cannot be entered.
bool enterConfigFolder(const ui::StartupPaths& paths);

} // namespace kx::app
