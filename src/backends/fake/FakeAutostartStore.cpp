#include "backends/fake/FakeAutostartStore.h"

namespace kx::platform {

text::Result FakeAutostartStore::addEntry(
    const std::string& name, const std::string& program, const std::string& arguments)
{
    if (!m_failure.empty())
        return text::Result::failure(m_failure);
    m_entries[name] = arguments.empty() ? program : program + " " + arguments;
    return {};
}

text::Result FakeAutostartStore::removeEntry(const std::string& name)
{
    if (!m_failure.empty())
        return text::Result::failure(m_failure);
    m_entries.erase(name);
    return {};
}

bool FakeAutostartStore::isPlainFile(const std::string& path)
{
    const auto file = m_files.find(path);
    return file != m_files.end() && !file->second.hidden;
}

bool FakeAutostartStore::clearAttributes(const std::string& path)
{
    const auto file = m_files.find(path);
    if (file == m_files.end() || file->second.attributesStick)
        return false;
    file->second.hidden = false;
    return true;
}

bool FakeAutostartStore::deleteFile(const std::string& path)
{
    const auto file = m_files.find(path);
    if (file == m_files.end() || file->second.undeletable)
        return false;
    m_files.erase(file);
    return true;
}

} // namespace kx::platform
