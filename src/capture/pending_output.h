#pragma once
#include <string>

// The output file is written under a temporary name in its own folder and renamed over the
// requested name only once it is complete, so a failed or interrupted capture leaves nothing
// half-written behind (and never clobbers an earlier good file).
class PendingOutput {
  public:
    PendingOutput() = default;
    PendingOutput(const PendingOutput&) = delete;
    PendingOutput& operator=(const PendingOutput&) = delete;
    // Deletes the temporary file unless commit() succeeded.
    ~PendingOutput();

    // Creates the temporary file beside `path`; false with a reason when that folder cannot be
    // written or `path` names a folder.
    bool create(const std::string& path, std::string& error);
    const std::string& tempPath() const { return temp; }
    // Renames the temporary file to the final name.
    bool commit(std::string& error);
    // Deletes the temporary file now.
    void discard();

  private:
    std::string finalPath;
    std::string temp;
};
