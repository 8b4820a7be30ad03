#include "app/qt/StartFolder.h"

#include <filesystem>

namespace kx::app {

namespace fs = std::filesystem;

bool enterConfigFolder(const ui::StartupPaths& paths)
{
    const fs::path config(paths.configFilePath);
    const fs::path folder = config.parent_path();
    const fs::path sampleFolder = fs::path(paths.sampleIniPath).parent_path();
    std::error_code error;
    if (!fs::exists(config, error) && !fs::equivalent(sampleFolder, folder, error)) {
        // "Signatur aus Datei" in the sample inserts this file.
        for (const char* name : { "signatur.txt" }) {
            std::error_code ignored;
            fs::copy_file(sampleFolder / name, folder / name, fs::copy_options::skip_existing, ignored);
        }
    }
    fs::current_path(folder, error);
    return !error;
}

} // namespace kx::app
