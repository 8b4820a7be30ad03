#pragma once

#include <functional>
#include <string>
#include <vector>

namespace kx::transmit {

// Where the last-used-window search lists its candidates, for the window debugger.
class WindowDebugLog
{
public:
    virtual ~WindowDebugLog() = default;
    virtual void clear() = 0;
    virtual void addLine(const std::string& line) = 0;
};

// Keeps the lines, whether or not a debugger window shows them; a window that does can
// listen for changes.
class WindowDebugLines : public WindowDebugLog
{
public:
    void clear() override
    {
        m_lines.clear();
        notify();
    }
    void addLine(const std::string& line) override
    {
        m_lines.push_back(line);
        notify();
    }

    const std::vector<std::string>& lines() const { return m_lines; }
    // Called after every change; pass an empty function to stop listening.
    void setOnChanged(std::function<void()> onChanged) { m_onChanged = std::move(onChanged); }

private:
    void notify()
    {
        if (m_onChanged)
            m_onChanged();
    }

    std::vector<std::string> m_lines;
    std::function<void()> m_onChanged;
};

} // namespace kx::transmit
