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

void AutostartSwitch::removeStaleEntry() { note(m_store.removeEntry(kStaleEntryName).error); }

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
        apply(true);
        return true;
    }
    return m_store.hasEntry(kEntryName);
}

bool AutostartSwitch::apply(bool checked)
{
    const platform::AutostartResult result = checked
        ? m_store.addEntry(kEntryName, m_executablePath, kArguments)
        : m_store.removeEntry(kEntryName);
    if (result.ok)
        return true;
    // Like the Windows registry value it stands for, a refused entry is not reported to the
    // user; the box keeps the state the user chose, and the reason is kept for the log.
    note(result.error);
    return false;
}

void AutostartSwitch::note(const std::string& error)
{
    if (!error.empty())
        m_lastError = error;
}

} // namespace kx::popup
