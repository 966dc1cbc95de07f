#include "tests/tools/TestProject.h"

#include <cstdio>

#include "tools/helpwriter/ContextFile.h"

namespace kestrix::test {

std::string TopicSource(const std::string& context, const std::string& title, const std::string& body,
                        const std::string& keywords) {
    std::string source = "Context: " + context + "\nTitle: " + title + "\n";
    if (!keywords.empty()) source += "Keywords: " + keywords + "\n";
    return source + "\n" + body;
}

HelpProject ProjectOf(std::vector<Topic> topics) {
    HelpProject project;
    project.contents.base = "Test.hlp";
    project.contents.title = "Test Help";
    project.contents.entries.push_back({1, "Everything", ""});
    for (const Topic& topic : topics) project.contents.entries.push_back({2, topic.title, topic.contextId});
    project.topics = std::move(topics);
    return project;
}

std::string HashText(const std::string& contextId) {
    char text[16];
    std::snprintf(text, sizeof text, "%08X", static_cast<uint32_t>(ContextHash(contextId)));
    return text;
}

std::string ExpectedText(const Paragraph& paragraph) {
    std::string text;
    if (paragraph.kind == ParagraphKind::Bullet)
        text = "- ";
    else if (paragraph.kind == ParagraphKind::Numbered)
        text = paragraph.marker + " ";
    bool bold = false;
    for (const Span& span : paragraph.spans) {
        // Headings are bold throughout, so a bold run in them changes nothing.
        bool spanBold = span.bold && paragraph.kind != ParagraphKind::Heading;
        if (spanBold != bold) text += "**";
        bold = spanBold;
        text += span.jumpTarget.empty() ? span.text : "[" + span.text + "](#" + HashText(span.jumpTarget) + ")";
    }
    if (bold) text += "**";
    return text;
}

}  // namespace kestrix::test
