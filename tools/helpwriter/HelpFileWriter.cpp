#include "tools/helpwriter/HelpFileWriter.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <sstream>

#include "tools/helpwriter/ContentsFile.h"
#include "tools/helpwriter/ContextFile.h"
#include "tools/helpwriter/FontFile.h"
#include "tools/helpwriter/InternalFileSystem.h"
#include "tools/helpwriter/KeywordFile.h"
#include "tools/helpwriter/SystemFile.h"
#include "tools/helpwriter/TopicFile.h"
#include "tools/helpwriter/TopicSource.h"

namespace kestrix {

namespace {

namespace fs = std::filesystem;

std::string ReadText(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw HelpWriterError("cannot read " + path.string());
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// Context ids meet in hashes that ignore case, so "Overview" and "overview" are one id.
std::string Folded(std::string id) {
    std::transform(id.begin(), id.end(), id.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return id;
}

}  // namespace

HelpProject LoadHelpProject(const std::string& folder) {
    HelpProject project;
    fs::path contentsPath = fs::path(folder) / "contents.txt";
    project.contents = ParseContents(ReadText(contentsPath), contentsPath.string());

    std::vector<fs::path> topicPaths;
    for (const fs::directory_entry& entry : fs::directory_iterator(folder)) {
        if (entry.is_regular_file() && entry.path().extension() == ".topic") topicPaths.push_back(entry.path());
    }
    std::sort(topicPaths.begin(), topicPaths.end());
    for (const fs::path& path : topicPaths) project.topics.push_back(ParseTopic(ReadText(path), path.string()));
    CheckHelpProject(project);
    return project;
}

void CheckHelpProject(const HelpProject& project) {
    if (project.topics.empty()) throw HelpWriterError("the help has no topics");
    std::map<std::string, std::string> owners;  // folded id -> source of the topic
    for (const Topic& topic : project.topics) {
        auto [place, added] = owners.emplace(Folded(topic.contextId), topic.sourceName);
        if (!added)
            throw HelpWriterError(topic.sourceName + ": context id " + topic.contextId + " is also used by " +
                                  place->second);
    }
    auto requireTopic = [&](const std::string& id, const std::string& where) {
        if (owners.count(Folded(id)) == 0) throw HelpWriterError(where + ": no topic has the context id " + id);
    };
    std::set<std::string> listed;
    for (const ContentsEntry& entry : project.contents.entries) {
        if (entry.contextId.empty()) continue;
        requireTopic(entry.contextId, "contents entry \"" + entry.title + "\"");
        listed.insert(Folded(entry.contextId));
    }
    for (const Topic& topic : project.topics) {
        for (const Paragraph& paragraph : topic.paragraphs) {
            for (const Span& span : paragraph.spans) {
                if (!span.jumpTarget.empty()) requireTopic(span.jumpTarget, topic.sourceName);
            }
        }
        if (listed.count(Folded(topic.contextId)) == 0)
            throw HelpWriterError(topic.sourceName + ": the topic is missing from the contents");
    }
}

Bytes WriteHelpFile(const HelpProject& project, uint32_t generated) {
    CheckHelpProject(project);
    TopicFile topicFile = WriteTopicFile(project.topics);
    std::vector<TopicEntry> entries;
    std::vector<KeywordUse> keywordUses;
    for (size_t i = 0; i < project.topics.size(); ++i) {
        const Topic& topic = project.topics[i];
        entries.push_back({topic.contextId, topic.title, topicFile.topicOffsets[i]});
        for (const std::string& keyword : topic.keywords) keywordUses.push_back({keyword, topicFile.topicOffsets[i]});
    }
    KeywordFiles keywords = WriteKeywordFiles(keywordUses);

    SystemInfo system;
    system.title = project.contents.title;
    system.caption = project.contents.title;
    system.contentsTopic = topicFile.topicOffsets.front();
    system.generated = generated;

    InternalFileSystem files;
    files.AddFile("|SYSTEM", WriteSystemFile(system));
    files.AddFile("|TOPIC", std::move(topicFile.data));
    files.AddFile("|FONT", WriteFontFile());
    files.AddFile("|CONTEXT", WriteContextFile(entries));
    files.AddFile("|TTLBTREE", WriteTitleFile(entries));
    files.AddFile("|KWBTREE", std::move(keywords.tree));
    files.AddFile("|KWDATA", std::move(keywords.data));
    files.AddFile("|KWMAP", std::move(keywords.map));
    // Map numbers for context-number calls; none are defined, but viewers look for the file.
    files.AddFile("|CTXOMAP", Bytes{0, 0});
    return files.Build();
}

}  // namespace kestrix
