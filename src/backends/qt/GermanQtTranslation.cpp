#include "backends/qt/GermanQtTranslation.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

#include <memory>

namespace kx::platform {

bool loadGermanQtTranslation(QCoreApplication& application)
{
    auto translator = std::make_unique<QTranslator>();
    // By file name, not QLocale::system(): an English or C locale gets German buttons too.
    if (!translator->load(QStringLiteral("qtbase_de"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        return false;
    if (!QCoreApplication::installTranslator(translator.get()))
        return false;
    translator.release()->setParent(&application);
    return true;
}

} // namespace kx::platform
