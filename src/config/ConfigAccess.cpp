#include "config/ConfigAccess.h"

#include "config/IniFile.h"

#include <cstdio>
#include <filesystem>

namespace kx::config {

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

ConfigAccess::ConfigAccess(std::string fileName)
    : m_file(std::make_unique<IniFile>(std::move(fileName)))
{
}

ConfigAccess::~ConfigAccess() = default;

const std::string& ConfigAccess::fileName() const { return m_file->name(); }

ConfigAccess::ReadScope::ReadScope(ConfigAccess& config)
    : m_config(config)
{
    if (m_config.m_readScopes++ == 0)
        m_config.m_file->setConsistentReads(true);
}

ConfigAccess::ReadScope::~ReadScope()
{
    if (--m_config.m_readScopes == 0)
        m_config.m_file->setConsistentReads(false);
}

ConfigAccess::WriteScope::WriteScope(ConfigAccess& config)
    : m_config(config)
    , m_held(config.m_file->holdLock())
{
}

ConfigAccess::WriteScope::~WriteScope() { m_config.m_file->releaseLock(); }

std::string ConfigAccess::readIniString(
    const std::string& section, const std::string& key, const std::string& defaultValue)
{
    if (auto value = m_file->read(section, key))
        return std::move(*value);
    return cutToBuffer(defaultValue);
}

bool ConfigAccess::hasSection(const std::string& section) { return m_file->hasSection(section); }

text::Result ConfigAccess::writeIniString(
    const std::string& section, const std::string& key, const std::string& value)
{
    if (!m_file->write(section, key, value))
        return text::Result::failure("cannot write [" + section + "] " + key + " to " + fileName());
    ++m_writeCount;
    return {};
}

ConfigFileState inspectConfigFile(const std::string& path)
{
    std::error_code ec;
    const auto status = std::filesystem::status(path, ec);
    if (status.type() == std::filesystem::file_type::not_found)
        return ConfigFileState::missing;
    if (ec || std::filesystem::is_directory(status))
        return ConfigFileState::unreadable;
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file)
        return ConfigFileState::unreadable;
    char first;
    const bool readable = std::fread(&first, 1, 1, file) == 1 || std::feof(file);
    std::fclose(file);
    return readable ? ConfigFileState::readable : ConfigFileState::unreadable;
}

std::int32_t valueInRange(std::int32_t value, std::int32_t min, std::int32_t max, std::int32_t defaultValue)
{
    return (value >= min && value <= max) ? value : defaultValue;
}

std::string withTrailingSlash(const std::string& path)
{
    if (!path.empty() && path.back() == '/')
        return path;
    return path + '/';
}

} // namespace kx::config
