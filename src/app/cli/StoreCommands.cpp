#include "app/cli/Cli.h"

#include "config/ConfigAccess.h"
#include "store/EntryCommands.h"
#include "store/EntryStore.h"
#include "store/Escaping.h"
#include "store/IgnoredTitles.h"
#include "store/Scrambling.h"
#include "text/Text.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <ostream>

namespace kx::app::cli {

namespace {

constexpr int kMaxEntries = store::EntryStore::kMaxEntries;

bool hasLineBreak(std::string_view text) { return text.find_first_of("\r\n") != std::string_view::npos; }

std::string inQuotes(std::string_view text) { return "'" + std::string(text) + "'"; }

// The text as lines for a terminal: CR LF, CR and LF each end a line.
std::string asLines(std::string_view text)
{
    std::string lines;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r') {
            lines += '\n';
            if (i + 1 < text.size() && text[i + 1] == '\n')
                ++i;
        } else {
            lines += text[i];
        }
    }
    return lines;
}

// "0" or "1" as a flag value; other values are usage errors.
std::optional<bool> flagArgument(const CliContext& context, std::string_view what, const std::string& value)
{
    if (value == "0" || value == "1")
        return value == "1";
    context.usageError(std::string(what) + " must be 0 or 1, not " + inQuotes(value));
    return std::nullopt;
}

int writeFailed(const CliContext& context) { return context.failure("cannot write " + context.configPath); }

int list(CliContext& context, const std::vector<std::string>& args)
{
    if (!args.empty())
        return context.usageError("list takes no arguments");
    for (const auto& item : context.entries.enumerateEntries())
        context.out << item.number << '\t' << item.name << '\n';
    return kExitOk;
}

int show(CliContext& context, const std::vector<std::string>& args)
{
    std::optional<std::string> numberText;
    bool json = false;
    for (const auto& arg : args) {
        if (arg == "--json")
            json = true;
        else if (arg.starts_with("--"))
            return context.usageError("unknown option " + inQuotes(arg) + " for show");
        else if (!numberText)
            numberText = arg;
        else
            return context.usageError("show takes one entry number");
    }
    if (!numberText)
        return context.usageError("show needs an entry number");
    const auto number = context.entryNumber(*numberText);
    if (!number)
        return kExitUsage;
    if (!context.requireEntry(*number))
        return kExitFailure;

    const store::Entry entry = context.entries.readEntry(static_cast<int>(*number));
    const std::string text = store::unescapeText(entry.text);
    auto& out = context.out;
    if (json) {
        out << "{\"number\":" << *number << ",\"name\":" << jsonString(entry.name)
            << ",\"title\":" << jsonString(entry.title) << ",\"crypt\":" << entry.crypt
            << ",\"dosbox\":" << entry.dosBox << ",\"text\":" << jsonString(text) << "}\n";
    } else {
        out << "number: " << *number << "\nname: " << entry.name << "\ntitle: " << entry.title
            << "\ncrypt: " << entry.crypt << "\ndosbox: " << entry.dosBox << "\ntext:\n"
            << asLines(text) << '\n';
    }
    return kExitOk;
}

std::optional<std::string> readTextFile(const CliContext& context, const std::string& path)
{
    std::error_code ec;
    if (!std::filesystem::is_regular_file(path, ec)) {
        context.failure("cannot read " + path);
        return std::nullopt;
    }
    std::ifstream in(path, std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (!in && !in.eof()) {
        context.failure("cannot read " + path);
        return std::nullopt;
    }
    return text::decodeFileText(bytes);
}

int add(CliContext& context, const std::vector<std::string>& args)
{
    std::optional<std::string> name, text, textFile, title;
    bool crypt = true; // new entries are scrambled, as the program creates them
    bool dosBox = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (!arg.starts_with("--")) {
            if (name)
                return context.usageError("add takes one name (quote names with blanks)");
            name = arg;
            continue;
        }
        if (arg != "--text" && arg != "--text-file" && arg != "--title" && arg != "--crypt"
            && arg != "--dosbox")
            return context.usageError("unknown option " + inQuotes(arg) + " for add");
        if (i + 1 >= args.size())
            return context.usageError(arg + " needs a value");
        const std::string& value = args[++i];
        if (arg == "--text") {
            text = value;
        } else if (arg == "--text-file") {
            textFile = value;
        } else if (arg == "--title") {
            title = value;
        } else {
            const auto flag = flagArgument(context, arg, value);
            if (!flag)
                return kExitUsage;
            (arg == "--crypt" ? crypt : dosBox) = *flag;
        }
    }
    if (!name)
        return context.usageError("add needs a name");
    if (text && textFile)
        return context.usageError("give either --text or --text-file");

    store::Entry entry = store::makeNewEntry(text::trimSpaces(*name));
    if (entry.name.empty())
        return context.failure("the name is empty");
    if (hasLineBreak(entry.name))
        return context.failure("a name cannot hold a line break");
    if (title && hasLineBreak(*title))
        return context.failure("a title cannot hold a line break");
    if (textFile) {
        text = readTextFile(context, *textFile);
        if (!text)
            return kExitFailure;
    }
    entry.text = store::escapeText(text.value_or(""));
    entry.title = title.value_or("");
    entry.crypt = crypt;
    entry.dosBox = dosBox;

    if (context.entries.entryCount() >= kMaxEntries)
        return context.failure("the configuration already holds " + std::to_string(kMaxEntries) + " entries");
    const store::EntryStore::Stored appended = context.entries.appendEntry(entry);
    if (!appended.written)
        return writeFailed(context);
    context.out << appended.number << '\n';
    return kExitOk;
}

int set(CliContext& context, const std::vector<std::string>& args)
{
    if (args.size() != 3)
        return context.usageError("usage: set N name|title|text|crypt|dosbox VALUE");
    const auto numberArg = context.entryNumber(args[0]);
    if (!numberArg)
        return kExitUsage;
    const std::string& field = args[1];
    std::string value = args[2];
    if (field != "name" && field != "title" && field != "text" && field != "crypt" && field != "dosbox")
        return context.usageError("unknown field " + inQuotes(field));
    std::optional<bool> flag;
    if (field == "crypt" || field == "dosbox") {
        flag = flagArgument(context, field, value);
        if (!flag)
            return kExitUsage;
    }
    if (!context.requireEntry(*numberArg))
        return kExitFailure;
    const int number = static_cast<int>(*numberArg);
    auto& entries = context.entries;

    text::Result written;
    if (field == "name") {
        value = text::trimSpaces(value);
        if (value.empty())
            return context.failure("the name is empty");
        if (hasLineBreak(value))
            return context.failure("a name cannot hold a line break");
        written = entries.writeEntryField(number, "Name", value);
    } else if (field == "title") {
        if (hasLineBreak(value))
            return context.failure("a title cannot hold a line break");
        written = entries.writeEntryField(number, "Title", value);
    } else if (field == "text") {
        // Only Text changes, stored in the form the entry's current Crypt asks for.
        const bool crypt = entries.readEntry(number).crypt;
        const std::string stored = store::escapeText(value);
        written = entries.writeEntryField(number,
            "Text",
            crypt ? store::scrambleText(stored, true, context.random) : stored);
    } else if (field == "crypt") {
        written = entries.writeText(number, entries.readEntry(number).text, *flag);
    } else {
        written = entries.writeEntryField(number, "DosBox", *flag ? "1" : "0");
    }
    return written ? kExitOk : writeFailed(context);
}

int remove(CliContext& context, const std::vector<std::string>& args)
{
    if (args.size() != 1)
        return context.usageError("delete takes one entry number");
    const auto number = context.entryNumber(args[0]);
    if (!number)
        return kExitUsage;
    if (!context.requireEntry(*number))
        return kExitFailure;
    // The program's delete: the highest entry moves into the freed number.
    if (!context.entries.deleteEntry(static_cast<int>(*number)))
        return writeFailed(context);
    return kExitOk;
}

int ignore(CliContext& context, const std::vector<std::string>& args)
{
    store::IgnoredTitles ignored(context.config);
    if (args.size() == 1 && args[0] == "list") {
        // Only what the file holds: the default titles belong to the program's start-up.
        ignored.readFromFile();
        for (std::size_t i = 1; i <= ignored.count(); ++i)
            context.out << i << '\t' << ignored.title(i) << '\n';
        return kExitOk;
    }
    if (args.size() == 2 && args[0] == "add") {
        const std::string& title = args[1];
        if (title.empty())
            return context.failure("the title is empty");
        if (hasLineBreak(title))
            return context.failure("a title cannot hold a line break");
        ignored.readFromFile();
        if (!ignored.addIgnoredTitle(title))
            return writeFailed(context);
        context.out << ignored.count() << '\n';
        return kExitOk;
    }
    return context.usageError("usage: ignore list | ignore add TITLE");
}

} // namespace

void addStoreCommands(CommandTable& table)
{
    table.add({ "list", "list", false, list });
    table.add({ "show", "show N [--json]", false, show });
    table.add({ "add",
        "add NAME [--text TEXT | --text-file FILE] [--title T] [--crypt 0|1] [--dosbox 0|1]",
        true,
        add });
    table.add({ "set", "set N name|title|text|crypt|dosbox VALUE", true, set });
    table.add({ "delete", "delete N", true, remove });
    table.add({ "ignore", "ignore list | ignore add TITLE", true, ignore });
}

} // namespace kx::app::cli
