// Help projects for the tests, built from topic sources as an author writes them.
#pragma once

#include <string>
#include <vector>

#include "tools/helpwriter/HelpModel.h"

namespace kestrix::test {

// A topic source with the given header values and body (blocks separated by blank lines).
std::string TopicSource(const std::string& context, const std::string& title, const std::string& body,
                        const std::string& keywords = "");

// The topics under one book of a contents file that lists each of them.
HelpProject ProjectOf(std::vector<Topic> topics);

// What the reader gives back for a paragraph of the model (see ReadParagraph).
std::string ExpectedText(const Paragraph& paragraph);

std::string HashText(const std::string& contextId);

}  // namespace kestrix::test
