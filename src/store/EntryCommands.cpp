#include "store/EntryCommands.h"

#include "platform/Prompts.h"
#include "store/EntryStore.h"
#include "text/Text.h"

#include <string_view>
#include <utility>

namespace kx::store {

namespace {

// The position of the first name equal to `candidate` when both are upper-cased, skipping
// position `skipPosition` (the entry being renamed); nothing when there is none.
std::optional<std::size_t> findDuplicateName(const std::vector<std::string>& names,
    std::string_view candidate,
    std::optional<std::size_t> skipPosition)
{
    const std::string wanted = text::upperCase(candidate);
    for (std::size_t i = 0; i < names.size(); ++i) {
        if (skipPosition && *skipPosition == i)
            continue;
        if (text::upperCase(names[i]) == wanted)
            return i;
    }
    return std::nullopt;
}

} // namespace

Entry makeNewEntry(std::string name)
{
    Entry entry;
    entry.name = std::move(name);
    entry.crypt = true;
    return entry;
}

EntryCommands::EntryCommands(EntryStore& entries, platform::Prompts& prompts)
    : m_entries(entries)
    , m_prompts(prompts)
{
}

std::optional<EntryCommands::NewEntry> EntryCommands::createEntry(const std::vector<std::string>& names)
{
    std::optional<std::string> name = askName("Bitte geben Sie einen Namen für den neuen Eintrag an:",
        "[Kalmotex] - Neuen Eintrag erstellen",
        "",
        names,
        std::nullopt);
    if (!name)
        return std::nullopt;
    // Numbered by the file, not the list: another program may have added entries since.
    const EntryStore::Stored appended = m_entries.appendEntry(makeNewEntry(*name));
    report(appended.written);
    if (appended.number == 0)
        return std::nullopt;
    return NewEntry { std::move(*name), appended.number };
}

std::optional<EntryCommands::NewEntry> EntryCommands::renameEntry(
    const std::vector<std::string>& names, std::size_t position, int number)
{
    const std::string& oldName = names.at(position);
    std::optional<std::string> name
        = askName("Bitte geben Sie einen neuen Namen für den Eintrag ''" + oldName + "'' an:",
            "[Kalmotex] - Eintrag umbenennen",
            oldName,
            names,
            position);
    if (!name)
        return std::nullopt;
    const int now = writeShown({ number, oldName },
        [&](int at) { return m_entries.writeEntryField(at, "Name", *name); });
    return NewEntry { std::move(*name), now };
}

bool EntryCommands::deleteEntry(
    const std::vector<std::string>& names, const std::vector<int>& numbers, std::size_t position)
{
    if (m_prompts.message("Wollen Sie den Eintrag '" + names.at(position) + "'\rwirklich löschen?",
            platform::PromptIcon::Question,
            platform::PromptButtons::YesNo,
            platform::PromptAnswer::Yes)
        != platform::PromptAnswer::Yes)
        return false;
    writeShown({ numbers.at(position), names.at(position) },
        [this](int at) { return m_entries.deleteEntry(at); });
    return true;
}

int EntryCommands::writeField(const ShownEntry& shown, const std::string& field, const std::string& value)
{
    return writeShown(shown, [&](int at) { return m_entries.writeEntryField(at, field, value); });
}

int EntryCommands::writeText(const ShownEntry& shown, const std::string& storedText, bool crypt)
{
    return writeShown(shown, [&](int at) { return m_entries.writeText(at, storedText, crypt); });
}

int EntryCommands::writeShown(const ShownEntry& shown, const std::function<text::Result(int number)>& write)
{
    const EntryStore::Stored stored = m_entries.writeShown(shown, write);
    report(stored.written);
    if (stored.number != 0)
        return stored.number;
    if (!stored.written)
        return shown.number; // the file could not be locked: not known to be gone
    m_prompts.message("Der Eintrag '" + shown.name + "' steht nicht mehr in der Datei '"
            + m_entries.configFilePath()
            + "': er wurde inzwischen gelöscht oder umbenannt. Die Änderung wird nicht "
              "gespeichert, die Liste wird neu eingelesen.",
        platform::PromptIcon::Warning,
        platform::PromptButtons::Ok,
        platform::PromptAnswer::Ok);
    return 0;
}

std::optional<std::string> EntryCommands::askName(const std::string& prompt,
    const std::string& title,
    const std::string& defaultText,
    const std::vector<std::string>& names,
    std::optional<std::size_t> ownPosition)
{
    for (;;) {
        const std::string name = text::trimSpaces(m_prompts.input(prompt, title, defaultText).value_or(""));
        if (name.empty())
            return std::nullopt;
        if (!findDuplicateName(names, name, ownPosition))
            return name;
        if (m_prompts.message("Es gibt bereits einen Eintrag mit dem Namen \r'" + name
                    + "'.\r\rMöchten Sie ihn dennoch verwenden?",
                platform::PromptIcon::Question,
                platform::PromptButtons::YesNo,
                platform::PromptAnswer::No)
            == platform::PromptAnswer::Yes)
            return name;
    }
}

void EntryCommands::report(const text::Result& written)
{
    // Once per run: every later change fails the same way, and the user knows by now.
    if (written || m_failureReported)
        return;
    m_failureReported = true;
    m_prompts.message("Die Konfigurationsdatei '" + m_entries.configFilePath()
            + "' kann nicht gespeichert werden. Änderungen an den Textbausteinen gehen "
              "verloren.",
        platform::PromptIcon::Warning,
        platform::PromptButtons::Ok,
        platform::PromptAnswer::Ok);
}

} // namespace kx::store
