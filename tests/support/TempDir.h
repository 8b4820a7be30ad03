#pragma once

#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>
#include <string_view>

namespace kx::test {

// A fresh folder under the system's temporary folder, removed with everything in it when
// the object goes away.
class TempDir
{
public:
    TempDir()
    {
        static std::atomic<unsigned> counter { 0 };
        const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
        for (int attempt = 0; attempt < 100 && m_path.empty(); ++attempt) {
            auto candidate = std::filesystem::temp_directory_path()
                / ("kx-test-" + std::to_string(stamp) + "-" + std::to_string(counter++));
            if (std::filesystem::create_directory(candidate))
                m_path = std::move(candidate);
        }
        if (m_path.empty())
            throw std::runtime_error("cannot create a temporary folder");
    }
    ~TempDir()
    {
        namespace fs = std::filesystem;
        std::error_code ignored;
        // Tests may leave read-only files or folders behind; make them removable first.
        fs::permissions(m_path, fs::perms::owner_all, fs::perm_options::add, ignored);
        for (auto it = fs::recursive_directory_iterator(m_path, ignored);
             it != fs::recursive_directory_iterator();
             it.increment(ignored))
            fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, ignored);
        fs::remove_all(m_path, ignored);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& path() const { return m_path; }
    std::filesystem::path file(std::string_view name) const { return m_path / name; }

    // Writes `bytes` to the file `name` in this folder and returns its path.
    std::filesystem::path write(std::string_view name, std::string_view bytes) const
    {
        std::ofstream(file(name), std::ios::binary | std::ios::trunc)
            .write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        return file(name);
    }

private:
    std::filesystem::path m_path;
};

// The whole contents of a file as bytes; empty when it cannot be read.
inline std::string readBytes(const std::filesystem::path& file)
{
    // In one read, as some files are many megabytes.
    std::error_code ec;
    const auto size = std::filesystem::file_size(file, ec);
    std::ifstream in(file, std::ios::binary);
    if (ec || !in)
        return {};
    std::string bytes(size, '\0');
    in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    bytes.resize(static_cast<std::size_t>(in.gcount()));
    return bytes;
}

} // namespace kx::test
