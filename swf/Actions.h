// The frame actions this engine runs: timeline control only. Everything else in a DoAction
// block is skipped without being run.
#pragma once

#include <vector>

#include "swf/Characters.h"
#include "swf/Reader.h"

namespace kestrix::swf {

// Reads action records up to the end action or the end of the bytes. Control flow (jumps,
// branches) ends the list, since running what follows unconditionally could be wrong; actions
// aimed at other timelines through SetTarget are left out.
std::vector<ActionOp> ParseActions(Reader& reader);

}  // namespace kestrix::swf
