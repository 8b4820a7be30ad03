#pragma once

#include <QComboBox>

namespace kx::ui {

// The editable title box: reports when its list is about to drop down, so the typed text
// can join the list first.
class TitleComboBox : public QComboBox
{
    Q_OBJECT
public:
    using QComboBox::QComboBox;

    void showPopup() override
    {
        emit aboutToDropDown();
        QComboBox::showPopup();
    }

signals:
    void aboutToDropDown();
};

} // namespace kx::ui
