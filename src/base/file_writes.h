// Files written whole or not at all. The bytes go to a hidden name beside the final one;
// every write and the close are checked, and only then is the file renamed into place. A
// reader of the final name never sees a partial file, whether the disk fills up or the run
// is stopped on the way.
#pragma once

#include <string>
#include <string_view>

// The hidden name beside file that a process writes it under: "DIR/.NAME.partial-PID".
std::string partialFileName(const std::string& file, long processId);

// Writes bytes to partial, then renames partial to file. On a failure returns false with
// the system's reason in *reason (for instance "No space left on device"), removes partial
// and leaves file as it was.
bool writeFileWhole(const std::string& file, const std::string& partial, std::string_view bytes,
                    std::string* reason);
