#include "tools/helpwriter/ContentsFile.h"

#include <sstream>

#include "tools/helpwriter/ByteWriter.h"
#include "tools/helpwriter/TopicSource.h"

namespace kestrix {

namespace {

constexpr int kMaxLevel = 9;  // one digit, as the viewers read it

[[noreturn]] void Fail(const std::string& where, int line, const std::string& message) {
    throw HelpWriterError(where + ":" + std::to_string(line) + ": " + message);
}

std::string TrimRight(std::string text) {
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r')) text.pop_back();
    return text;
}

bool ReadCommand(const std::string& line, const std::string& name, std::string& value) {
    if (line.compare(0, name.size() + 1, name + " ") != 0) return false;
    value = line.substr(name.size() + 1);
    return true;
}

ContentsEntry ParseEntry(const std::string& line, const std::string& where, int number) {
    ContentsEntry entry;
    if (line.size() < 3 || line[0] < '1' || line[0] > '0' + kMaxLevel || line[1] != ' ')
        Fail(where, number, "an entry must read \"N Title\" or \"N Title=context_id\"");
    entry.level = line[0] - '0';
    std::string rest = line.substr(2);
    size_t equals = rest.find('=');
    if (equals != std::string::npos) {
        entry.contextId = rest.substr(equals + 1);
        rest.resize(equals);
        if (!IsValidContextId(entry.contextId)) Fail(where, number, "bad context id \"" + entry.contextId + "\"");
    }
    entry.title = ToWindows1252(TrimRight(rest), where);
    if (entry.title.empty()) Fail(where, number, "an entry needs a title");
    return entry;
}

}  // namespace

Contents ParseContents(const std::string& source, const std::string& sourceName) {
    Contents contents;
    std::istringstream in(source);
    std::string line;
    int number = 0;
    int deepestAllowed = 1;  // a topic cannot hold entries, a book holds the level below it
    while (std::getline(in, line)) {
        ++number;
        line = TrimRight(line);
        if (line.empty() || line[0] == ';') continue;
        if (line[0] == ':') {
            if (ReadCommand(line, ":BASE", contents.base)) continue;
            if (ReadCommand(line, ":TITLE", contents.title)) {
                contents.title = ToWindows1252(contents.title, sourceName);
                continue;
            }
            Fail(sourceName, number, "unknown command " + line);
        }
        ContentsEntry entry = ParseEntry(line, sourceName, number);
        if (entry.level > deepestAllowed)
            Fail(sourceName, number, "level " + std::to_string(entry.level) + " has no book above it");
        deepestAllowed = entry.contextId.empty() ? entry.level + 1 : entry.level;
        contents.entries.push_back(entry);
    }
    if (contents.base.empty() || contents.title.empty())
        Fail(sourceName, 1, "the contents need a :BASE and a :TITLE line");
    return contents;
}

std::string WriteContents(const Contents& contents) {
    std::string out = ":BASE " + contents.base + "\r\n:TITLE " + contents.title + "\r\n";
    for (const ContentsEntry& entry : contents.entries) {
        out += std::to_string(entry.level) + " " + entry.title;
        if (!entry.contextId.empty()) out += "=" + entry.contextId;
        out += "\r\n";
    }
    return out;
}

}  // namespace kestrix
