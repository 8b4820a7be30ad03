#include "popup/AutostartSwitch.h"

#include "platform/AutostartStore.h"
#include "platform/Prompts.h"

namespace kx::popup {

namespace {

const std::string kEntryName = "[Kalmotex]";
// An older way of registering the program; removed at every start.
const std::string kStaleEntryName = "Kalmotex";

std::string withSeparator(const std::string& folder)
{
    if (folder.empty() || folder.back() == '/' || folder.back() == '\\')
        return folder;
    // The start-up folder comes from the platform; keep its own separator style.
    return folder + (folder.find('\\') != std::string::npos ? "\\" : "/");
}

} // namespace

AutostartSwitch::AutostartSwitch(
    platform::AutostartStore& store, platform::Prompts& prompts, std::string executablePath)
    : m_store(store)
    , m_prompts(prompts)
    , m_executablePath(std::move(executablePath))
{
}

text::Result AutostartSwitch::removeStaleEntry() { return m_store.removeEntry(kStaleEntryName); }

bool AutostartSwitch::initialState()
{
    const std::string folder = m_store.startupFolder();
    const std::string shortcut = withSeparator(folder) + kEntryName + ".lnk";
    if (!folder.empty() && m_store.isPlainFile(shortcut)) {
        if (!m_store.clearAttributes(shortcut))
            m_prompts.message("Attribute nicht löschbar: " + shortcut,
                platform::PromptIcon::Information,
                platform::PromptButtons::Ok,
                platform::PromptAnswer::Ok);
        if (!m_store.deleteFile(shortcut))
            m_prompts.message("Datei nicht löschbar: " + shortcut,
                platform::PromptIcon::Information,
                platform::PromptButtons::Ok,
                platform::PromptAnswer::Ok);
        // Like a click on the box, a refused entry shows no message; the box shows it on.
        static_cast<void>(apply(true));
        return true;
    }
    return m_store.hasEntry(kEntryName);
}

text::Result AutostartSwitch::apply(bool checked)
{
    return checked ? m_store.addEntry(kEntryName, m_executablePath, kArguments)
                   : m_store.removeEntry(kEntryName);
}

} // namespace kx::popup
