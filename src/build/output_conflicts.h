#pragma once

#include <string>
#include <vector>

#include "build/build_walk.h"

namespace tidewater {

/// What a planned build would destroy: an output that is one of the inputs
/// (a source, an object, a library, an options file, ...), and a file that
/// two outputs name. Two names are the same file when their clean absolute
/// paths are equal, or when both exist with the same device and inode (hard
/// or symbolic links, other spellings). Each message names both files;
/// paths below "directory" are shown relative to it.
std::vector<std::string> outputConflicts(const BuildPlan& plan, const std::string& directory);

}  // namespace tidewater
