#include "support/TempDir.h"

#include <atomic>
#include <chrono>
#include <fstream>
#include <stdexcept>

namespace kx::test {

TempDir::TempDir()
{
    static std::atomic<unsigned> counter { 0 };
    const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
    for (int attempt = 0; attempt < 100; ++attempt) {
        auto candidate = std::filesystem::temp_directory_path()
            / ("kx-test-" + std::to_string(stamp) + "-" + std::to_string(counter++));
        if (std::filesystem::create_directory(candidate)) {
            m_path = std::move(candidate);
            return;
        }
    }
    throw std::runtime_error("cannot create a temporary folder");
}

TempDir::~TempDir()
{
    std::error_code ignored;
    // Tests may leave read-only files or folders behind; make them removable first.
    for (auto it = std::filesystem::recursive_directory_iterator(m_path, ignored);
         it != std::filesystem::recursive_directory_iterator();
         it.increment(ignored))
        std::filesystem::permissions(it->path(),
            std::filesystem::perms::owner_all,
            std::filesystem::perm_options::add,
            ignored);
    std::filesystem::permissions(m_path,
        std::filesystem::perms::owner_all,
        std::filesystem::perm_options::add,
        ignored);
    std::filesystem::remove_all(m_path, ignored);
}

std::filesystem::path TempDir::write(std::string_view name, std::string_view bytes) const
{
    const auto target = file(name);
    std::ofstream out(target, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return target;
}

std::string readBytes(const std::filesystem::path& file)
{
    // In one read, as some tests compare files of 100 MB.
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
