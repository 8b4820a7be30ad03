#pragma once

class QCoreApplication;

namespace kx::platform {

// Installs Qt's own German texts (standard buttons "Ja"/"Nein"/"Abbrechen", key names
// "Strg"/"Entf" in menus) in `application`, whatever the user's locale: the interface is
// German throughout. Reads qtbase_de.qm from Qt's translations folder (Debian package
// qt6-translations-l10n). Returns false, leaving Qt's English texts, when it is missing.
bool loadGermanQtTranslation(QCoreApplication& application);

} // namespace kx::platform
