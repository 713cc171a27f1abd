#pragma once
#include <string>
#include <vector>

// Every file Heptad writes is written whole or not at all. Its bytes go to a temporary file
// beside it, hidden and named after the process that owns it (".NAME.PID@HOST.XXXXXX.part"), so
// that a later run can tell one whose owner is gone. Every write is checked, the data is flushed
// and synced to the disk, and only then is the file renamed over the name asked for and its
// folder synced: neither a full disk, a size limit nor a crash soon after leaves a short or an
// empty file where a good one was. On failure the earlier file of that name is untouched, the
// temporary one is removed, and `error` is one line naming the file and the reason
// ("cannot write out/x.png: No space left on device").

// Writes `bytes` to `path` that way.
bool writeFileWhole(const std::string& path, const std::string& bytes, std::string& error);

// The same steps, for a file that something else (a helper program) fills in between.
// Creates the empty temporary file beside `path`, with the permissions a new file gets, and
// returns its name; "" with a reason when that folder cannot be written.
std::string createPartialFile(const std::string& path, std::string& error);
// Fills it with `bytes`, every write checked, then flushes, syncs and closes it; `path`, the
// name the user knows, is the one an error names.
bool fillPartialFile(const std::string& temp, const std::string& bytes, const std::string& path,
                     std::string& error);
// Syncs the finished temporary file, renames it to `path` and syncs the folder. The temporary
// file is the caller's to remove when this fails.
bool commitPartialFile(const std::string& temp, const std::string& path, std::string& error);

// Whose a temporary file is, read from its name (a file name, no folder); false for any name
// that is not one.
struct PartialOwner {
    long pid = 0;
    std::string host;
};
bool partialFileOwner(const std::string& name, PartialOwner& owner);

// Removes the temporary files in `folder` whose processes ran on this host and run no more (a
// recorder killed outright, whose encoder still finished its file), and returns their names.
// Those of other hosts are left alone: a home folder may be shared between machines.
std::vector<std::string> removeAbandonedPartials(const std::string& folder);

// The reason a helper that wrote `path` and failed most likely had, where the file system tells:
// "No space left on device" on a full disk, "File too large" at the size limit; else "".
std::string likelyWriteFailure(const std::string& path);
