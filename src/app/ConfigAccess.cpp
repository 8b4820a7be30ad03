#include "app/ConfigAccess.h"

#include "app/IniFile.h"

namespace kx::app {

namespace {

constexpr std::size_t maxValueCharacters = 32766;

// The default passes through the same 32767-character buffer as a value read from the file.
std::string cutToBuffer(const std::string& text)
{
    if (text.size() <= maxValueCharacters)
        return text;
    std::size_t characters = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if ((static_cast<unsigned char>(text[i]) & 0xC0) != 0x80 && ++characters > maxValueCharacters)
            return text.substr(0, i);
    }
    return text;
}

} // namespace

ConfigAccess::ConfigAccess() = default;
ConfigAccess::~ConfigAccess() = default;

IniFile& ConfigAccess::fileFor(const std::string& fileName)
{
    if (!fileName.empty())
        m_lastIniFile = fileName;
    if (!m_file || m_file->name() != m_lastIniFile) {
        m_file = std::make_unique<IniFile>(m_lastIniFile);
        m_file->setConsistentReads(m_readScopes > 0);
    }
    return *m_file;
}

ConfigAccess::ReadScope::ReadScope(ConfigAccess& config)
    : m_config(config)
{
    if (m_config.m_readScopes++ == 0 && m_config.m_file)
        m_config.m_file->setConsistentReads(true);
}

ConfigAccess::ReadScope::~ReadScope()
{
    if (--m_config.m_readScopes == 0 && m_config.m_file)
        m_config.m_file->setConsistentReads(false);
}

std::string ConfigAccess::readIniString(const std::string& section,
    const std::string& key,
    const std::string& defaultValue,
    const std::string& fileName)
{
    if (auto value = fileFor(fileName).read(section, key))
        return std::move(*value);
    return cutToBuffer(defaultValue);
}

bool ConfigAccess::writeIniString(
    const std::string& section, const std::string& key, const std::string& value, const std::string& fileName)
{
    return fileFor(fileName).write(section, key, value);
}

std::int32_t ValueInRange(std::int32_t value, std::int32_t min, std::int32_t max, std::int32_t defaultValue)
{
    return (value >= min && value <= max) ? value : defaultValue;
}

std::string IIfStr(const std::string& trueValue, bool condition, const std::string& falseValue)
{
    return condition ? trueValue : falseValue;
}

std::string WithBackslash(const std::string& path)
{
    if (!path.empty() && path.back() == '/')
        return path;
    return path + '/';
}

} // namespace kx::app
