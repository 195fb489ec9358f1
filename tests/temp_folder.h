// A folder of its own for each test's files, so that two runs of the suite
// side by side (the normal and the sanitizer build, say) never share one and
// never delete each other's.
#pragma once

#include <filesystem>

// Makes a new empty folder under the temporary directory, named after the
// running test and made unique by mkdtemp. It is removed when that test
// ends (or when the process that made it exits first, as a death test's
// child does); nothing else is ever removed.
std::filesystem::path MakeTestFolder();
