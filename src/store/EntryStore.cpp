#include "store/EntryStore.h"

#include "config/ConfigAccess.h"
#include "platform/Prompts.h"
#include "store/RuntimeNumber.h"
#include "store/Scrambling.h"
#include "text/Text.h"

#include <utility>

namespace kx::store {

namespace {

const std::string kName = "Name";
const std::string kTitle = "Title";
const std::string kText = "Text";
const std::string kCrypt = "Crypt";
const std::string kDosBox = "DosBox";
const std::string kHotkey = "Hotkey";

std::string flagText(bool flag) { return flag ? "1" : "0"; }

} // namespace

EntryStore::EntryStore(config::ConfigAccess& config, RandomSource& random)
    : m_config(config)
    , m_random(random)
{
}

const std::string& EntryStore::configFilePath() const { return m_config.fileName(); }

std::vector<EntryListItem> EntryStore::listEntries(bool onlyWithHotkeys)
{
    const config::ConfigAccess::ReadScope scope(m_config);
    std::vector<EntryListItem> items;
    // Without it, the names need not be read (and indexed: a few MiB for the largest files).
    if (onlyWithHotkeys && !m_config.hasSection(kHotkey))
        return items;
    for (int i = 1; i <= kMaxEntries; ++i) {
        const std::string key = std::to_string(i);
        std::string name = m_config.readIniString(kName, key, "");
        if (name.empty())
            break;
        std::string hotkey = m_config.readIniString(kHotkey, key, "");
        if (onlyWithHotkeys && hotkey.empty())
            continue;
        std::string title = text::trimSpaces(m_config.readIniString(kTitle, key, ""));
        items.push_back({ i, std::move(name), std::move(title), std::move(hotkey) });
    }
    return items;
}

int EntryStore::entryCount()
{
    const config::ConfigAccess::ReadScope scope(m_config);
    int count = 0;
    while (count < kMaxEntries && !m_config.readIniString(kName, std::to_string(count + 1), "").empty())
        ++count;
    return count;
}

Entry EntryStore::readEntry(int number)
{
    const config::ConfigAccess::ReadScope scope(m_config);
    const std::string key = std::to_string(number);
    Entry entry;
    entry.name = m_config.readIniString(kName, key, "");
    entry.crypt = isNonZeroNumber(m_config.readIniString(kCrypt, key, ""));
    entry.text = m_config.readIniString(kText, key, "");
    if (entry.crypt)
        entry.text = scrambleText(entry.text, false, m_random);
    entry.title = m_config.readIniString(kTitle, key, "");
    entry.dosBox = isNonZeroNumber(m_config.readIniString(kDosBox, key, ""));
    entry.hotkey = m_config.readIniString(kHotkey, key, "");
    return entry;
}

text::Result EntryStore::writeEntry(int number, const Entry& entry)
{
    const std::string key = std::to_string(number);
    // Every field is attempted even after a failure, as the program's writes are.
    text::Result result = m_config.writeIniString(kName, key, entry.name);
    result &= m_config.writeIniString(kCrypt, key, flagText(entry.crypt));
    const std::string text = entry.crypt ? scrambleText(entry.text, true, m_random) : entry.text;
    result &= m_config.writeIniString(kText, key, text);
    result &= m_config.writeIniString(kTitle, key, entry.title);
    result &= m_config.writeIniString(kDosBox, key, flagText(entry.dosBox));
    if (!entry.hotkey.empty() || !m_config.readIniString(kHotkey, key, "").empty())
        result &= m_config.writeIniString(kHotkey, key, entry.hotkey);
    return result;
}

text::Result EntryStore::writeEntryField(int number, const std::string& section, const std::string& value)
{
    return m_config.writeIniString(section, std::to_string(number), value);
}

text::Result EntryStore::writeText(int number, const std::string& storedText, bool crypt)
{
    const std::string text = crypt ? scrambleText(storedText, true, m_random) : storedText;
    text::Result result = writeEntryField(number, kText, text);
    result &= writeEntryField(number, kCrypt, flagText(crypt));
    return result;
}

EntryStore::Stored EntryStore::appendEntry(const Entry& entry)
{
    const config::ConfigAccess::WriteScope lock(m_config);
    if (!lock.held())
        return { 0, text::Result::failure("cannot lock " + configFilePath()) };
    const int count = entryCount();
    if (count >= kMaxEntries)
        return { 0, text::Result::failure(configFilePath() + " holds the most entries there can be") };
    return { count + 1, writeEntry(count + 1, entry) };
}

int EntryStore::locateEntry(const ShownEntry& shown)
{
    const config::ConfigAccess::ReadScope scope(m_config);
    if (shown.number >= 1 && m_config.readIniString(kName, std::to_string(shown.number), "") == shown.name)
        return shown.number;
    // Exact letters: a name that differs only in case may be a duplicate the user kept.
    int found = 0;
    const int count = entryCount();
    for (int i = 1; i <= count; ++i) {
        if (m_config.readIniString(kName, std::to_string(i), "") != shown.name)
            continue;
        if (found != 0)
            return 0;
        found = i;
    }
    return found;
}

EntryStore::Stored EntryStore::writeShown(const ShownEntry& shown,
    const std::function<text::Result(int number)>& write)
{
    const config::ConfigAccess::WriteScope lock(m_config);
    if (!lock.held())
        return { 0, text::Result::failure("cannot lock " + configFilePath()) };
    const int number = locateEntry(shown);
    if (number == 0)
        return {};
    return { number, write(number) };
}

text::Result EntryStore::deleteEntry(int deleted)
{
    const config::ConfigAccess::WriteScope lock(m_config);
    if (!lock.held())
        return text::Result::failure("cannot lock " + configFilePath());
    const int highest = entryCount();
    if (deleted < 1 || deleted > highest)
        return {};
    const Entry moved = readEntry(highest);
    text::Result result = writeEntry(deleted, moved);
    result &= writeEntry(highest, Entry {});
    return result;
}

bool reportUnreadableConfig(const std::string& path, platform::Prompts& prompts)
{
    if (config::inspectConfigFile(path) != config::ConfigFileState::unreadable)
        return false;
    prompts.message("Die Konfigurationsdatei '" + path
            + "' kann nicht gelesen werden. Kalmotex wird beendet, damit sie nicht überschrieben wird.",
        platform::PromptIcon::Critical,
        platform::PromptButtons::Ok,
        platform::PromptAnswer::Ok);
    return true;
}

} // namespace kx::store
