#pragma once

#include <QDialog>

namespace kx::ui {

// Program title and version (major.minor.revision); shown without modality.
class AboutDialog : public QDialog
{
    Q_OBJECT
public:
    explicit AboutDialog(QWidget* parent = nullptr);

    static QString versionText();
};

} // namespace kx::ui
