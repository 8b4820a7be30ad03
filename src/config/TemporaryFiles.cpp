#include "config/FileSystem.h"

#include <random>
#include <string>

// The temporary files of replaceFile(), named alike on every system.
namespace kx::config {

namespace fs = std::filesystem;

namespace {

constexpr std::string_view temporarySuffix = ".tmp";
constexpr std::size_t temporaryTagLength = 16; // hex digits between the name and the suffix

bool isTemporaryOf(const fs::path& name, const fs::path& targetName)
{
    const std::u8string candidate = name.u8string();
    const std::u8string target = targetName.u8string();
    const std::u8string_view suffix(reinterpret_cast<const char8_t*>(temporarySuffix.data()),
        temporarySuffix.size());
    if (candidate.size() != target.size() + 1 + temporaryTagLength + suffix.size()
        || !candidate.starts_with(target) || candidate[target.size()] != u8'.'
        || !candidate.ends_with(suffix))
        return false;
    const std::u8string_view tag
        = std::u8string_view(candidate).substr(target.size() + 1, temporaryTagLength);
    return tag.find_first_not_of(u8"0123456789abcdef") == std::u8string_view::npos;
}

} // namespace

fs::path temporaryFileFor(const fs::path& target)
{
    static std::mt19937_64 generator { std::random_device {}() };
    char tag[temporaryTagLength + 1];
    std::snprintf(tag, sizeof tag, "%016llx", static_cast<unsigned long long>(generator()));
    fs::path name = target.filename();
    name += "." + std::string(tag) + std::string(temporarySuffix);
    return target.parent_path() / name;
}

void removeLeftoverTemporaries(const fs::path& target)
{
    const fs::path targetName = target.filename();
    std::error_code ec;
    for (fs::directory_iterator it(target.parent_path().empty() ? "." : target.parent_path(), ec), end;
         !ec && it != end;
         it.increment(ec)) {
        if (isTemporaryOf(it->path().filename(), targetName)) {
            std::error_code ignored;
            fs::remove(it->path(), ignored);
        }
    }
}

} // namespace kx::config
