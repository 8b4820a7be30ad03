#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace kx::test {

// A fresh folder under the system's temporary folder, removed with everything in it when
// the object goes away.
class TempDir
{
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& path() const { return m_path; }
    std::filesystem::path file(std::string_view name) const { return m_path / name; }

    // Writes `bytes` to the file `name` in this folder and returns its path.
    std::filesystem::path write(std::string_view name, std::string_view bytes) const;

private:
    std::filesystem::path m_path;
};

// The whole contents of a file as bytes; empty when it cannot be read.
std::string readBytes(const std::filesystem::path& file);

} // namespace kx::test
