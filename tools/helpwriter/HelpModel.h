// What a help file says, as read from the topic sources: topics made of paragraphs, and the
// outline of the contents file. All texts are in the Windows ANSI code page (1252).
#pragma once

#include <string>
#include <vector>

namespace kestrix {

struct Span {
    std::string text;
    bool bold = false;
    std::string jumpTarget;  // the context id a hotspot leads to; empty for plain text
};

enum class ParagraphKind { Body, Heading, Bullet, Numbered };

struct Paragraph {
    ParagraphKind kind = ParagraphKind::Body;
    std::string marker;  // "1." and so on for numbered items
    std::vector<Span> spans;
};

struct Topic {
    std::string contextId;
    std::string title;
    std::vector<std::string> keywords;
    std::vector<Paragraph> paragraphs;
    std::string sourceName;  // for messages
};

struct ContentsEntry {
    int level = 1;
    std::string title;
    std::string contextId;  // empty for a book heading
};

struct Contents {
    std::string base;   // the help file the entries jump into
    std::string title;  // also the help file's title
    std::vector<ContentsEntry> entries;
};

struct HelpProject {
    Contents contents;
    std::vector<Topic> topics;  // the first is the contents topic
};

}  // namespace kestrix
