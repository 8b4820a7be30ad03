#pragma once

#include <QKeySequenceEdit>

#include <functional>
#include <string>

namespace kx::popup {

// A key-sequence field that takes one combination, not a sequence of up to four: the key
// that completes it (any key but a modifier) ends the recording, since `done` moves the
// focus away. Enter then means the dialog's default button instead of a second combination.
class OneCombinationEdit : public QKeySequenceEdit
{
public:
    OneCombinationEdit(std::function<void()> done, QWidget* parent);

    // The combination in its stored form ("Ctrl+Alt+V"); empty when there is none.
    std::string combinationText() const;
    void setCombinationText(const std::string& text);

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    std::function<void()> m_done;
};

} // namespace kx::popup
